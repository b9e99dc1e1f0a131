// Behaviour of the four effects, run through the real plug-in loaded by its
// plain export names, against worked examples and the reference model.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "effects/clamp_byte.h"
#include "image_convert.h"
#include "plugin_loader.h"
#include "reference_model.h"

namespace {

using Pixel = std::array<uint8_t, 3>;  // byte 0, 1, 2

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

Pixel Get(VANTOR& image, int x, int y) {
    const uint8_t* p = image.PixelAt(x, y);
    return {p[0], p[1], p[2]};
}

void Set(VANTOR& image, int x, int y, Pixel v) {
    uint8_t* p = image.PixelAt(x, y);
    p[0] = v[0], p[1] = v[1], p[2] = v[2];
}

TEST(ClampByte, SaturatesAtBothEnds) {
    const struct { int32_t in; uint8_t out; } cases[] = {
        {INT32_MIN, 0}, {-226, 0}, {-1, 0}, {0, 0}, {1, 1}, {128, 128},
        {254, 254}, {255, 255}, {256, 255}, {481, 255}, {INT32_MAX, 255}};
    for (const auto& c : cases) EXPECT_EQ(ClampByte(c.in), c.out) << c.in;
}

// ---- Shade and Sharp -----------------------------------------------------

enum class Filter { Shade, Sharp };

void RunFilter(Filter f, VANTOR* image, int32_t x, int32_t y, int32_t w, int32_t h) {
    (f == Filter::Shade ? Plugin().shade : Plugin().sharp)(image, x, y, w, h);
}

// A host that records the `reserved` argument of every Synthesize call.
class ReservedRecordingHost : public VANTOR {
public:
    using VANTOR::VANTOR;
    void Synthesize(int32_t x, int32_t y, int32_t width, int32_t height, VANTOR* source, int32_t sx, int32_t sy,
                    SynthesizeCallback* callback, int32_t reserved) override {
        reservedSeen.push_back(reserved);
        VANTOR::Synthesize(x, y, width, height, source, sx, sy, callback, reserved);
    }
    std::vector<int32_t> reservedSeen;
};

struct CentreCase {
    Filter filter;
    Pixel centre, neighbour, expected;
};

TEST(FilterEffects, WorkedExamplesOnACentrePixel) {
    const CentreCase cases[] = {
        {Filter::Sharp, {100, 50, 30}, {10, 20, 30}, {180, 76, 30}},
        {Filter::Shade, {100, 50, 30}, {10, 20, 30}, {20, 23, 30}},
        {Filter::Sharp, {255, 0, 128}, {0, 255, 128}, {255, 0, 128}},  // clamped both ends
        {Filter::Shade, {255, 0, 128}, {0, 255, 128}, {28, 226, 128}},
        {Filter::Shade, {9, 9, 9}, {1, 1, 1}, {1, 1, 1}},  // sum 17 truncates to 1
        {Filter::Sharp, {0, 0, 0}, {1, 1, 1}, {0, 0, 0}},  // sum -8 gives 0
    };
    for (const auto& c : cases) {
        ReservedRecordingHost image(3, 3);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 3; ++x) Set(image, x, y, c.neighbour);
        Set(image, 1, 1, c.centre);
        RunFilter(c.filter, &image, 0, 0, 3, 3);
        const char* name = c.filter == Filter::Shade ? "Shade" : "Sharp";
        EXPECT_EQ(Get(image, 1, 1), c.expected) << name;
        EXPECT_EQ(image.reservedSeen, std::vector<int32_t>{0}) << name;  // one walk, reserved 0
        EXPECT_EQ(Get(image, 0, 0), c.neighbour);  // frame untouched
    }
}

TEST(FilterEffects, UniformAreaKeepsItsValue) {
    const Pixel values[] = {{0, 0, 0}, {255, 255, 255}, {1, 128, 254}, {77, 3, 200}};
    for (Filter f : {Filter::Shade, Filter::Sharp})
        for (const Pixel& v : values) {
            VANTOR image(6, 5);
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < 6; ++x) Set(image, x, y, v);
            RunFilter(f, &image, 0, 0, 6, 5);
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < 6; ++x) ASSERT_EQ(Get(image, x, y), v) << x << "," << y;
        }
}

TEST(FilterEffects, OuterFrameIsNeverWritten) {
    std::mt19937 rng(7);
    for (Filter f : {Filter::Shade, Filter::Sharp})
        for (const auto& size : ref::TestSizes()) {
            const ref::Image before = ref::RandomImage(size.width, size.height, rng);
            VANTOR image(size.width, size.height);
            CopyToHost(before, image);
            RunFilter(f, &image, -1, -1, size.width + 2, size.height + 2);
            const ref::Image after = CopyFromHost(image);
            for (int y = 0; y < size.height; ++y)
                for (int x = 0; x < size.width; ++x) {
                    if (x > 0 && y > 0 && x + 1 < size.width && y + 1 < size.height) continue;
                    for (int k = 0; k < 3; ++k)
                        ASSERT_EQ(after.at(x, y, k), before.at(x, y, k)) << x << "," << y;
                }
        }
}

// ---- AdjustTone ----------------------------------------------------------

struct ToneCase {
    int32_t offset2, offset1, offset0;
    Pixel in, expected;
};

TEST(AdjustTone, WorkedExamples) {
    const ToneCase cases[] = {
        {10, -10, 0, {100, 5, 250}, {100, 0, 255}},
        {0, 0, 0, {0, 128, 255}, {0, 128, 255}},
        {255, 255, 255, {0, 1, 200}, {255, 255, 255}},
        {-255, -255, -255, {255, 254, 3}, {0, 0, 0}},
        {INT32_MAX, INT32_MAX, INT32_MAX, {0, 200, 255}, {255, 255, 255}},
        {INT32_MIN, INT32_MIN, INT32_MIN, {0, 200, 255}, {0, 0, 0}},
        {1, 2, 3, {10, 20, 30}, {13, 22, 31}},  // byte 2 gets the first offset
    };
    for (const auto& c : cases) {
        VANTOR image(2, 2);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 2; ++x) Set(image, x, y, c.in);
        Plugin().adjustTone(&image, 0, 0, 2, 2, c.offset2, c.offset1, c.offset0);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 2; ++x) EXPECT_EQ(Get(image, x, y), c.expected) << c.offset2;
    }
}

// All 256 byte values through the shipped plug-in, against add-and-clamp.
TEST(AdjustTone, EveryByteValueMatchesTheSaturatingRule) {
    const int32_t offsets[] = {0, 1, -1, 255, -255, 256, -256, 100, -100, INT32_MAX, INT32_MIN};
    for (int32_t o : offsets) {
        VANTOR image(256, 1);
        for (int v = 0; v < 256; ++v) Set(image, v, 0, {uint8_t(v), uint8_t(255 - v), uint8_t(v ^ 0x5A)});
        Plugin().adjustTone(&image, 0, 0, 256, 1, o, o, o);
        for (int v = 0; v < 256; ++v) {
            const Pixel expected = {ref::Clamp((long long)v + o), ref::Clamp((long long)(255 - v) + o),
                                    ref::Clamp((long long)(v ^ 0x5A) + o)};
            ASSERT_EQ(Get(image, v, 0), expected) << "offset " << o << " value " << v;
        }
    }
}

// ---- GammaEffect ---------------------------------------------------------

struct GammaCase {
    double exponent;
    uint8_t in, expected;
};

TEST(GammaEffect, WorkedExamplesInEveryBytePosition) {
    const GammaCase cases[] = {
        {1.0, 0, 0}, {1.0, 77, 77}, {1.0, 255, 255},
        {2.0, 15, 0}, {2.0, 16, 1}, {2.0, 64, 16}, {2.0, 128, 64}, {2.0, 200, 156}, {2.0, 255, 254},
        {0.5, 1, 16}, {0.5, 16, 64}, {0.5, 64, 128},
        {0.0, 0, 0}, {0.0, 1, 0}, {0.0, 255, 0},
        {-1.0, 0, 0}, {-1.0, 1, 0}, {-1.0, 128, 0}, {-1.0, 200, 71}, {-1.0, 255, 1},
        {-55.0, 128, 0},  // 2^-55 * 256: exactly 2^63, just outside the 64-bit range
    };
    for (const auto& c : cases)
        for (int position = 0; position < 3; ++position) {
            VANTOR image(1, 1);
            Pixel in = {50, 50, 50}, expected = {50, 50, 50};
            in[position] = c.in;
            expected[position] = c.expected;
            double exponents[3] = {1.0, 1.0, 1.0};  // byte 0, 1, 2
            exponents[position] = c.exponent;
            Set(image, 0, 0, in);
            Plugin().gammaEffect(&image, 0, 0, 1, 1, exponents[2], exponents[1], exponents[0]);
            EXPECT_EQ(Get(image, 0, 0), expected) << "exponent " << c.exponent << " byte " << int(c.in)
                                                  << " position " << position;
        }
}

TEST(GammaEffect, MixedExponentsFollowParameterOrder) {
    VANTOR image(1, 1);
    Set(image, 0, 0, {16, 128, 255});
    Plugin().gammaEffect(&image, 0, 0, 1, 1, 1.0, 2.0, 0.5);
    EXPECT_EQ(Get(image, 0, 0), (Pixel{64, 64, 255}));
}

// All 256 byte values through the shipped plug-in, against pow per byte.
TEST(GammaEffect, EveryByteValueMatchesThePowerRule) {
    const double exponents[] = {0.0, 1e-300, 0.5, 1.0, 2.0, -1.0, kNaN, kInf, -kInf,
                                -0.0, 1e-17, 3.7, -1e-300, 1e300, -1e300, 5e-324};
    for (double e : exponents) {
        VANTOR image(256, 1);
        for (int v = 0; v < 256; ++v) Set(image, v, 0, {uint8_t(v), uint8_t(255 - v), uint8_t(v ^ 0x5A)});
        Plugin().gammaEffect(&image, 0, 0, 256, 1, e, e, e);
        for (int v = 0; v < 256; ++v) {
            const Pixel expected = {ref::GammaByte(uint8_t(v), e), ref::GammaByte(uint8_t(255 - v), e),
                                    ref::GammaByte(uint8_t(v ^ 0x5A), e)};
            ASSERT_EQ(Get(image, v, 0), expected) << "exponent " << e << " value " << v;
        }
    }
}

// ---- All effects against the reference model ------------------------------

struct EffectCase {
    std::string name;
    void (*run)(VANTOR*, const ref::Rect&);
    ref::Image (*model)(const ref::Image&, const ref::Rect&);
};

const EffectCase kEffects[] = {
    {"Shade", [](VANTOR* i, const ref::Rect& r) { Plugin().shade(i, r.x, r.y, r.width, r.height); },
     [](const ref::Image& m, const ref::Rect& r) { return ref::Shade(m, r); }},
    {"Sharp", [](VANTOR* i, const ref::Rect& r) { Plugin().sharp(i, r.x, r.y, r.width, r.height); },
     [](const ref::Image& m, const ref::Rect& r) { return ref::Sharp(m, r); }},
    {"AdjustTone", [](VANTOR* i, const ref::Rect& r) { Plugin().adjustTone(i, r.x, r.y, r.width, r.height, 40, -90, 7); },
     [](const ref::Image& m, const ref::Rect& r) { return ref::AdjustTone(m, r, 40, -90, 7); }},
    {"GammaEffect", [](VANTOR* i, const ref::Rect& r) { Plugin().gammaEffect(i, r.x, r.y, r.width, r.height, 0.45, 2.2, -0.3); },
     [](const ref::Image& m, const ref::Rect& r) { return ref::GammaEffect(m, r, 0.45, 2.2, -0.3); }},
};

TEST(AllEffects, MatchTheReferenceModelOnRandomImages) {
    std::mt19937 rng(12345);
    for (const auto& effect : kEffects)
        for (const auto& size : ref::TestSizes())
            for (const ref::Rect& r : ref::TestRects(size.width, size.height)) {
                const ref::Image before = ref::RandomImage(size.width, size.height, rng);
                VANTOR image(size.width, size.height);
                CopyToHost(before, image);
                effect.run(&image, r);
                const ref::Image expected = effect.model(before, r);
                ASSERT_EQ(CopyFromHost(image).bytes, expected.bytes)
                    << effect.name << " on " << size.width << "x" << size.height << " rect "
                    << r.x << "," << r.y << "," << r.width << "," << r.height;
            }
}

// The plug-in keeps nothing between calls: the four effects on images of
// different sizes (strides, bounds) with different parameters, one thread
// per image all at once, give the bytes they give one call after another.
TEST(AllEffects, ConcurrentCallsOnTheirOwnImagesMatchSequentialOnes) {
    constexpr int kImages = 6;
    std::mt19937 rng(11);
    std::vector<ref::Image> inputs;
    for (int i = 0; i < kImages; ++i) inputs.push_back(ref::RandomImage(150 + 13 * i, 90 + 7 * i, rng));
    const auto run = [&inputs](int i) {
        const ref::Image& in = inputs[i];
        VANTOR image(in.width, in.height);
        CopyToHost(in, image);
        for (int round = 0; round < 3; ++round) {
            Plugin().shade(&image, 0, 0, in.width, in.height);
            Plugin().adjustTone(&image, 1, 2, in.width, in.height, 9 * i - 20, 5 - i, 3 * i);
            Plugin().sharp(&image, 2, 1, in.width, in.height);
            Plugin().gammaEffect(&image, 0, 0, in.width, in.height, 0.8 + 0.1 * i, 1.1 - 0.05 * i, 1.0);
        }
        return CopyFromHost(image).bytes;
    };
    std::vector<std::vector<uint8_t>> sequential, concurrent(kImages);
    for (int i = 0; i < kImages; ++i) sequential.push_back(run(i));
    std::vector<std::thread> threads;
    for (int i = 0; i < kImages; ++i) threads.emplace_back([&, i] { concurrent[i] = run(i); });
    for (std::thread& t : threads) t.join();
    for (int i = 0; i < kImages; ++i) EXPECT_TRUE(concurrent[i] == sequential[i]) << "image " << i;
}

// A null image is ignored instead of crashing the caller.
TEST(AllEffectsDeathTest, NullImageDoesNothing) {
    const ref::Rect r{0, 0, 10, 10};
    for (const auto& effect : kEffects)
        EXPECT_EXIT((effect.run(nullptr, r), std::exit(0)), testing::ExitedWithCode(0), "") << effect.name;
}

}  // namespace
