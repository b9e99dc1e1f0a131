// expected_cases.h - effect cases with their expected output, written by the
// native build from the reference model (make_expected.cpp) and replayed
// through the Windows builds of pixkit.dll (windows_host_test.cpp).
//
// Little-endian throughout: the 8 bytes "PIXKEXP1", then cases to the end:
//   uint8   effect (Effect below)
//   int32   offsets[3]     AdjustTone, for byte 2, byte 1, byte 0
//   float64 exponents[3]   GammaEffect, for byte 2, byte 1, byte 0
//   int32   width, height, then the rectangle x, y, width, height
//   input pixels, then expected pixels: stride * height bytes each, rows
//   padded to 4 bytes (stride = (3 * width + 3) / 4 * 4), as in the hosts.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

enum class Effect : uint8_t { Shade, Sharp, AdjustTone, GammaEffect };

struct ExpectedCase {
    Effect effect = Effect::Shade;
    int32_t offsets[3] = {0, 0, 0};
    double exponents[3] = {0, 0, 0};
    int32_t width = 0, height = 0;
    int32_t rect[4] = {0, 0, 0, 0};
    std::vector<uint8_t> input, expected;
};

constexpr char kExpectedMagic[8] = {'P', 'I', 'X', 'K', 'E', 'X', 'P', '1'};

inline size_t PixelBytes(int32_t width, int32_t height) {
    return size_t((3 * int64_t(width) + 3) / 4 * 4) * size_t(height);
}

inline void AppendCase(std::vector<uint8_t>& out, const ExpectedCase& c) {
    auto put = [&out](const void* p, size_t n) {
        out.insert(out.end(), static_cast<const uint8_t*>(p), static_cast<const uint8_t*>(p) + n);
    };
    put(&c.effect, 1);
    put(c.offsets, sizeof c.offsets);
    put(c.exponents, sizeof c.exponents);
    put(&c.width, 4);
    put(&c.height, 4);
    put(c.rect, sizeof c.rect);
    put(c.input.data(), c.input.size());
    put(c.expected.data(), c.expected.size());
}

// Parses a whole file's bytes; on a malformed file returns false and says why.
inline bool ParseCases(const std::vector<uint8_t>& in, std::vector<ExpectedCase>& cases,
                       std::string& error) {
    size_t at = sizeof kExpectedMagic;
    auto get = [&](void* p, size_t n) {
        if (in.size() - at < n) return false;
        std::memcpy(p, in.data() + at, n);
        at += n;
        return true;
    };
    if (in.size() < at || std::memcmp(in.data(), kExpectedMagic, at) != 0) {
        error = "not an expected-cases file (bad magic)";
        return false;
    }
    while (at < in.size()) {
        ExpectedCase c;
        bool ok = get(&c.effect, 1) && get(c.offsets, sizeof c.offsets) &&
                  get(c.exponents, sizeof c.exponents) && get(&c.width, 4) && get(&c.height, 4) &&
                  get(c.rect, sizeof c.rect) && c.effect <= Effect::GammaEffect &&
                  c.width >= 1 && c.height >= 1 && c.width <= 4096 && c.height <= 4096;
        if (ok) {
            c.input.resize(PixelBytes(c.width, c.height));
            c.expected.resize(c.input.size());
            ok = get(c.input.data(), c.input.size()) && get(c.expected.data(), c.expected.size());
        }
        if (!ok) {
            error = "case " + std::to_string(cases.size()) + " is malformed or cut short";
            return false;
        }
        cases.push_back(std::move(c));
    }
    return true;
}
