// make_expected - writes the expected-cases file (expected_cases.h) from the
// reference model, for the Windows test to replay through pixkit.dll where
// the model cannot run beside it cheaply (32-bit Wine under emulation). The
// cases stay few and small: that run pays for every byte.
//   make_expected OUTPUT
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>

#include "expected_cases.h"
#include "reference_model.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

std::vector<uint8_t> out;

void Add(Effect effect, const ref::Image& in, const ref::Rect& r, const int32_t (&o)[3],
         const double (&e)[3]) {
    ExpectedCase c;
    c.effect = effect;
    std::memcpy(c.offsets, o, sizeof o);
    std::memcpy(c.exponents, e, sizeof e);
    c.width = in.width;
    c.height = in.height;
    const int32_t rect[4] = {r.x, r.y, r.width, r.height};
    std::memcpy(c.rect, rect, sizeof rect);
    c.input = in.bytes;
    switch (effect) {
        case Effect::Shade: c.expected = ref::Shade(in, r).bytes; break;
        case Effect::Sharp: c.expected = ref::Sharp(in, r).bytes; break;
        case Effect::AdjustTone: c.expected = ref::AdjustTone(in, r, o[0], o[1], o[2]).bytes; break;
        case Effect::GammaEffect: c.expected = ref::GammaEffect(in, r, e[0], e[1], e[2]).bytes; break;
    }
    AppendCase(out, c);
}

// 256 x 1: every byte value once in each byte position.
ref::Image EveryByteValue() {
    ref::Image image(256, 1);
    for (int v = 0; v < 256; ++v) {
        image.at(v, 0, 0) = uint8_t(v);
        image.at(v, 0, 1) = uint8_t(255 - v);
        image.at(v, 0, 2) = uint8_t(v ^ 0x5A);
    }
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_expected OUTPUT\n");
        return 2;
    }
    out.assign(kExpectedMagic, kExpectedMagic + sizeof kExpectedMagic);
    const int32_t noOffsets[3] = {0, 0, 0};
    const double noExponents[3] = {1, 1, 1};

    // GammaEffect, every byte value: common curves, the worked examples, and
    // the values where p reaches 1, overflows or is not a number.
    const ref::Image all = EveryByteValue();
    const ref::Rect whole{0, 0, 256, 1};
    const double exponents[] = {1 / 2.2, 2.2, 0.45, 1.7, 0.3, 3.1, 0.0, 1e-300, 1e300,
                                std::nan(""), kInf, -kInf, 2.0, 0.5, -1.0};
    for (double e : exponents) Add(Effect::GammaEffect, all, whole, noOffsets, {e, e, e});
    Add(Effect::GammaEffect, all, whole, noOffsets, {1.0, 2.0, 0.5});  // parameter order
    Add(Effect::GammaEffect, all, whole, noOffsets, {2.2, -1.0, 0.45});

    // AdjustTone, every byte value: offsets that saturate, cross the byte
    // range, or are the extreme 32-bit values.
    const int32_t offsets[][3] = {{0, 0, 0}, {10, -10, 0}, {255, 255, 255}, {-255, -255, -255},
                                  {256, -256, 1}, {INT32_MAX, INT32_MIN, -1},
                                  {INT32_MIN, INT32_MAX, 128}, {-33, 250, INT32_MIN}};
    for (const auto& o : offsets) Add(Effect::AdjustTone, all, whole, o, noExponents);

    // Every effect on random images, rectangles inside, on the edges and
    // outside. The largest size gets only a few rectangles, to stay small.
    std::mt19937 rng(20240611);
    const int32_t toneOffsets[3] = {-40, 90, 7};
    const double toneExponents[3] = {0.45, 2.2, -0.3};
    const ref::Size sizes[] = {{1, 1}, {3, 3}, {17, 9}, {64, 33}};
    for (const ref::Size& size : sizes) {
        std::vector<ref::Rect> rects = ref::TestRects(size.width, size.height);
        if (size.width > 32) rects = {rects[0], rects[1], rects[6], rects[7], rects[9]};
        for (const ref::Rect& r : rects) {
            const ref::Image in = ref::RandomImage(size.width, size.height, rng);
            Add(Effect::Shade, in, r, noOffsets, noExponents);
            Add(Effect::Sharp, in, r, noOffsets, noExponents);
            if (size.width > 32) continue;
            Add(Effect::AdjustTone, in, r, toneOffsets, noExponents);
            Add(Effect::GammaEffect, in, r, noOffsets, toneExponents);
        }
    }

    std::FILE* file = std::fopen(argv[1], "wb");
    const bool written = file != nullptr && std::fwrite(out.data(), 1, out.size(), file) == out.size();
    if (file == nullptr || std::fclose(file) != 0 || !written) {
        std::fprintf(stderr, "make_expected: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
