// reference_model.h - slow, plainly written models of the four effects.
//
// The tests run the real plug-in and compare its output with these. They
// work on their own copy of the pixels and know nothing of callbacks.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace ref {

struct Image {
    int width = 0;
    int height = 0;
    int stride = 0;
    std::vector<uint8_t> bytes;

    Image() = default;
    Image(int w, int h) : width(w), height(h), stride((w * 3 + 3) / 4 * 4),
                          bytes(size_t(stride) * h, 0) {}
    uint8_t& at(int x, int y, int k) { return bytes[size_t(y) * stride + 3 * x + k]; }
    uint8_t at(int x, int y, int k) const { return bytes[size_t(y) * stride + 3 * x + k]; }
};

struct Rect {
    int32_t x, y, width, height;
};

// Is (x, y) inside the rectangle? Done in 64 bits so huge extents cannot wrap.
inline bool InRect(const Rect& r, int x, int y) {
    return x >= r.x && int64_t(x) < int64_t(r.x) + r.width &&
           y >= r.y && int64_t(y) < int64_t(r.y) + r.height;
}

inline uint8_t Clamp(long long v) { return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v); }

// weights[3i + j]: row i is y + 1, y, y - 1 (memory order: address + stride
// first); column j is x - 1, x, x + 1.
inline Image Filter(const Image& in, const Rect& r, const int (&weights)[9], int divisor = 9) {
    Image out = in;
    for (int y = 1; y + 1 < in.height; ++y)
        for (int x = 1; x + 1 < in.width; ++x) {
            if (!InRect(r, x, y)) continue;
            for (int k = 0; k < 3; ++k) {
                long long sum = 0;
                for (int i = 0; i < 3; ++i)
                    for (int j = 0; j < 3; ++j)
                        sum += weights[3 * i + j] * in.at(x - 1 + j, y + 1 - i, k);
                out.at(x, y, k) = Clamp(sum / divisor);  // C++ division truncates toward zero
            }
        }
    return out;
}

inline Image Shade(const Image& in, const Rect& r) {
    const int w[9] = {1, 1, 1, 1, 1, 1, 1, 1, 1};
    return Filter(in, r, w);
}

inline Image Sharp(const Image& in, const Rect& r) {
    const int w[9] = {-1, -1, -1, -1, 17, -1, -1, -1, -1};
    return Filter(in, r, w);
}

// Offsets in the exports' order: byte 2, byte 1, byte 0.
inline Image AdjustTone(const Image& in, const Rect& r, int32_t o2, int32_t o1, int32_t o0) {
    Image out = in;
    const int32_t offset[3] = {o0, o1, o2};
    for (int y = 0; y < in.height; ++y)
        for (int x = 0; x < in.width; ++x)
            if (InRect(r, x, y))
                for (int k = 0; k < 3; ++k)
                    out.at(x, y, k) = Clamp((long long)in.at(x, y, k) + offset[k]);
    return out;
}

// The per-byte power rule, evaluated with pow every time.
inline uint8_t GammaByte(uint8_t byte, double exponent) {
    const double q = std::pow(byte / 256.0, exponent) * 256.0;
    if (std::isnan(q) || std::isinf(q)) return 0;
    if (q >= 9223372036854775808.0 || q < -9223372036854775808.0) return 0;
    return uint8_t(static_cast<long long>(q) & 0xFF);
}

inline Image GammaEffect(const Image& in, const Rect& r, double e2, double e1, double e0) {
    Image out = in;
    const double exponent[3] = {e0, e1, e2};
    for (int y = 0; y < in.height; ++y)
        for (int x = 0; x < in.width; ++x)
            if (InRect(r, x, y))
                for (int k = 0; k < 3; ++k)
                    out.at(x, y, k) = GammaByte(in.at(x, y, k), exponent[k]);
    return out;
}

// The engine's raw output, not a distribution: the same bytes from every
// standard library, so files written from these images are reproducible.
inline Image RandomImage(int w, int h, std::mt19937& rng) {
    Image img(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int k = 0; k < 3; ++k) img.at(x, y, k) = uint8_t(rng());
    return img;
}

// Sizes and rectangles every effect is checked on.
struct Size {
    int width, height;
};
inline const std::vector<Size>& TestSizes() {
    static const std::vector<Size> sizes = {{1, 1}, {1, 3}, {3, 1}, {3, 3},
                                            {2, 2}, {5, 4}, {16, 9}, {33, 17}};
    return sizes;
}

// Rectangles relative to a w x h image: inside, on the edges, partly and
// fully outside, empty and negative.
inline std::vector<Rect> TestRects(int w, int h) {
    return {
        {0, 0, w, h},                  // whole image
        {1, 1, w - 2, h - 2},          // inside, one pixel from every edge
        {w / 2, h / 2, 1, 1},          // one pixel
        {0, 0, 1, h},                  // left edge
        {w - 1, 0, 1, h},              // right edge
        {0, h - 1, w, 1},              // last row
        {-2, -2, w, h},                // sticks out top-left
        {w / 2, h / 2, w, h},          // sticks out bottom-right
        {-5, -5, w + 10, h + 10},      // covers the image and more
        {w, 0, 3, h},                  // fully outside, right
        {0, -h - 1, w, h},             // fully outside, above
        {0, 0, 0, h},                  // empty width
        {0, 0, w, -1},                 // negative height
        {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX},   // huge, does not wrap
        {1, 1, INT32_MAX, INT32_MAX},  // huge extent from inside
    };
}

}  // namespace ref
