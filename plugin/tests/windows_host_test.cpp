// pixkit.dll as a Windows host application meets it: loaded by name from the
// program's own folder, the effects looked up by their plain export names and
// called through stdcall pointers. Every case of the expected-cases file
// (written by the native build from the reference model, path in the
// environment variable PIXKIT_EXPECTED) runs on two hosts: our vantor.dll and
// a host written in C (c_host.c) that shares only the virtual tables.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "c_host.h"
#include "expected_cases.h"
#include "host/vantor.h"
#include "pixkit.h"

namespace {

struct Exports {
    HMODULE module = nullptr;
    PixkitFilterFn shade = nullptr, sharp = nullptr;
    PixkitAdjustToneFn adjustTone = nullptr;
    PixkitGammaEffectFn gammaEffect = nullptr;
};

// GetProcAddress returns a generic pointer; going through void(*)() is the
// sanctioned way to turn it into the real function type.
template <typename Fn>
Fn Lookup(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// pixkit.dll from the folder of the running program; null if it or one of
// the four plain names is missing.
const Exports* Plugin() {
    static const Exports exports = [] {
        char path[MAX_PATH];
        const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
        std::string folder(path, length);
        folder.erase(folder.find_last_of("\\/") + 1);
        Exports e;
        e.module = LoadLibraryA((folder + "pixkit.dll").c_str());
        if (e.module == nullptr) return e;
        e.shade = Lookup<PixkitFilterFn>(e.module, "Shade");
        e.sharp = Lookup<PixkitFilterFn>(e.module, "Sharp");
        e.adjustTone = Lookup<PixkitAdjustToneFn>(e.module, "AdjustTone");
        e.gammaEffect = Lookup<PixkitGammaEffectFn>(e.module, "GammaEffect");
        return e;
    }();
    const bool complete = exports.shade && exports.sharp && exports.adjustTone && exports.gammaEffect;
    return complete ? &exports : nullptr;
}

constexpr const char* kNoPlugin = "pixkit.dll, or one of its four plain-named exports, "
                                  "is missing from the program's folder";

void Apply(const Exports& e, const ExpectedCase& c, VANTOR* image) {
    const int32_t* r = c.rect;
    switch (c.effect) {
        case Effect::Shade: e.shade(image, r[0], r[1], r[2], r[3]); break;
        case Effect::Sharp: e.sharp(image, r[0], r[1], r[2], r[3]); break;
        case Effect::AdjustTone:
            e.adjustTone(image, r[0], r[1], r[2], r[3], c.offsets[0], c.offsets[1], c.offsets[2]);
            break;
        case Effect::GammaEffect:
            e.gammaEffect(image, r[0], r[1], r[2], r[3], c.exponents[0], c.exponents[1], c.exponents[2]);
            break;
    }
}

std::vector<uint8_t> OnVantor(const Exports& e, const ExpectedCase& c) {
    VANTOR image(c.width, c.height);
    std::memcpy(image.Pixels(), c.input.data(), c.input.size());
    Apply(e, c, &image);
    return {image.Pixels(), image.Pixels() + c.input.size()};
}

// The C host looks the export up and calls it itself, from C, through pixkit.h.
std::vector<uint8_t> OnCHost(const Exports& e, const ExpectedCase& c) {
    static_assert(int(Effect::Sharp) == 1 && int(Effect::GammaEffect) == 3, "the C host's effect numbers");
    std::vector<uint8_t> pixels = c.input;
    CHostImage image;
    CHostImage_Init(&image, c.width, c.height, pixels.data());
    EXPECT_TRUE(CHostImage_ApplyEffect(&image, e.module, int(c.effect), c.rect, c.offsets, c.exponents))
        << "the C host did not find effect " << int(c.effect);
    return pixels;
}

// "" when equal, else where they first differ.
std::string FirstDifference(const std::vector<uint8_t>& got, const std::vector<uint8_t>& want) {
    for (size_t i = 0; i < want.size(); ++i)
        if (got[i] != want[i])
            return "byte " + std::to_string(i) + " is " + std::to_string(got[i]) + ", expected " +
                   std::to_string(want[i]);
    return "";
}

std::string Describe(const ExpectedCase& c) {
    static const char* const names[] = {"Shade", "Sharp", "AdjustTone", "GammaEffect"};
    char text[200];
    std::snprintf(text, sizeof text, "%s %dx%d rect %d,%d,%d,%d offsets %d,%d,%d exponents %g,%g,%g",
                  names[int(c.effect)], c.width, c.height, c.rect[0], c.rect[1], c.rect[2], c.rect[3],
                  c.offsets[0], c.offsets[1], c.offsets[2], c.exponents[0], c.exponents[1], c.exponents[2]);
    return text;
}

// PIXKIT_EXPECTED holds a Unix path (Wine's Z: drive is the Unix root) or a
// Windows one. On failure returns false and says why.
bool ReadExpectedCases(std::vector<ExpectedCase>& cases, std::string& error) {
    const char* variable = std::getenv("PIXKIT_EXPECTED");
    if (variable == nullptr || *variable == '\0') {
        error = "PIXKIT_EXPECTED is not set: it must name the expected-cases file "
                "that the native build writes (pixkit_expected.bin)";
        return false;
    }
    const std::string path = variable[0] == '/' ? std::string("Z:") + variable : variable;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        error = "cannot open the expected-cases file " + path +
                " (PIXKIT_EXPECTED); build the native preset first";
        return false;
    }
    std::vector<uint8_t> bytes;
    uint8_t block[65536];
    for (size_t n; (n = std::fread(block, 1, sizeof block, file)) > 0;) bytes.insert(bytes.end(), block, block + n);
    std::fclose(file);
    if (!ParseCases(bytes, cases, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

TEST(PixkitOnWindows, EveryExpectedCaseOnBothHosts) {
    const Exports* e = Plugin();
    ASSERT_NE(e, nullptr) << kNoPlugin;
    std::vector<ExpectedCase> cases;
    std::string error;
    ASSERT_TRUE(ReadExpectedCases(cases, error)) << error;
    ASSERT_FALSE(cases.empty()) << "the expected-cases file holds no case";
    for (const ExpectedCase& c : cases) {
        EXPECT_EQ(FirstDifference(OnVantor(*e, c), c.expected), "") << Describe(c) << ", on vantor.dll";
        EXPECT_EQ(FirstDifference(OnCHost(*e, c), c.expected), "") << Describe(c) << ", on the C host";
    }
}

// Worked examples for the neighbourhood filters, on a 3x3 image.
TEST(PixkitOnWindows, CentreExamples) {
    const Exports* e = Plugin();
    ASSERT_NE(e, nullptr) << kNoPlugin;
    struct Case {
        PixkitFilterFn fn;
        const char* name;
        uint8_t centre[3], neighbour[3], expected[3];
    };
    const Case cases[] = {
        {e->sharp, "Sharp", {100, 50, 30}, {10, 20, 30}, {180, 76, 30}},
        {e->shade, "Shade", {100, 50, 30}, {10, 20, 30}, {20, 23, 30}},
        {e->sharp, "Sharp", {255, 0, 128}, {0, 255, 128}, {255, 0, 128}},
        {e->shade, "Shade", {255, 0, 128}, {0, 255, 128}, {28, 226, 128}},
    };
    for (const Case& c : cases) {
        VANTOR image(3, 3);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 3; ++x) std::memcpy(image.PixelAt(x, y), c.neighbour, 3);
        std::memcpy(image.PixelAt(1, 1), c.centre, 3);
        c.fn(&image, 0, 0, 3, 3);
        for (int k = 0; k < 3; ++k) EXPECT_EQ(image.PixelAt(1, 1)[k], c.expected[k]) << c.name << " byte " << k;
    }
}

// A null image is ignored: a crash here ends the program and fails the run.
TEST(PixkitOnWindows, NullImageIsIgnored) {
    const Exports* e = Plugin();
    ASSERT_NE(e, nullptr) << kNoPlugin;
    e->shade(nullptr, 0, 0, 1, 1);
    e->sharp(nullptr, 0, 0, 1, 1);
    e->adjustTone(nullptr, 0, 0, 1, 1, 1, 1, 1);
    e->gammaEffect(nullptr, 0, 0, 1, 1, 1.0, 1.0, 1.0);
}

#if defined(_WIN32) && !defined(_WIN64)
// Only 32-bit Windows decorates stdcall names (Shade@20) and has a calling
// convention in which the callee removes its arguments.

TEST(PixkitOn32BitWindows, DecoratedNamesAreNotExported) {
    const Exports* e = Plugin();
    ASSERT_NE(e, nullptr) << kNoPlugin;
    const char* const decorated[] = {"Shade@20", "_Shade@20", "Sharp@20", "_Sharp@20",
                                     "AdjustTone@32", "_AdjustTone@32", "GammaEffect@44",
                                     "_GammaEffect@44"};
    for (const char* name : decorated) EXPECT_EQ(GetProcAddress(e->module, name), nullptr) << name;
}

// int32_t CallWithStackAt(fn, args, count, offset), cdecl: pushes args[count-1]
// down to args[0] so that ESP mod 16 is `offset` at the call, calls fn, and
// returns ESP after the call minus ESP before the pushes: 0 when the callee
// removed exactly its arguments. A Windows caller promises only 4-byte
// alignment, so the exports must not rely on more.
// Naked: the body is the whole function, in the function's own section.
extern "C" __attribute__((naked)) int32_t CallWithStackAt(const void*, const uint32_t*, int32_t, int32_t) {
    asm(R"(
    pushl %ebp
    movl  %esp, %ebp
    pushl %ebx
    pushl %esi
    pushl %edi
    movl  12(%ebp), %esi
    movl  16(%ebp), %ecx
    shll  $2, %ecx
    leal  -16(%esp), %ebx
    subl  %ecx, %ebx
    andl  $-16, %ebx
    addl  20(%ebp), %ebx
    addl  %ecx, %ebx
    movl  %ebx, %esp
    movl  %esp, %edi
    movl  16(%ebp), %ecx
1:  testl %ecx, %ecx
    jz    2f
    pushl -4(%esi,%ecx,4)
    decl  %ecx
    jmp   1b
2:  call  *8(%ebp)
    movl  %esp, %eax
    subl  %edi, %eax
    leal  -12(%ebp), %esp
    popl  %edi
    popl  %esi
    popl  %ebx
    popl  %ebp
    ret
)");
}

TEST(PixkitOn32BitWindows, ExportsRemoveExactlyTheirArgumentsAtAnyStackAlignment) {
    const Exports* e = Plugin();
    ASSERT_NE(e, nullptr) << kNoPlugin;
    VANTOR original(17, 9);
    std::mt19937 rng(3);
    const size_t bytes = size_t(original.Stride()) * original.Height();
    for (size_t i = 0; i < bytes; ++i) original.Pixels()[i] = uint8_t(rng());
    const double exponents[3] = {0.45, 2.2, -0.3};

    // The same calls made normally give the bytes to compare with.
    VANTOR sharp(17, 9), gamma(17, 9);
    std::memcpy(sharp.Pixels(), original.Pixels(), bytes);
    std::memcpy(gamma.Pixels(), original.Pixels(), bytes);
    e->sharp(&sharp, 0, 0, 17, 9);
    e->gammaEffect(&gamma, 0, 0, 17, 9, exponents[0], exponents[1], exponents[2]);

    for (int32_t offset : {4, 8, 12}) {
        VANTOR image(17, 9);
        std::memcpy(image.Pixels(), original.Pixels(), bytes);
        const uint32_t sharpArgs[5] = {uint32_t(reinterpret_cast<uintptr_t>(&image)), 0, 0, 17, 9};
        EXPECT_EQ(CallWithStackAt(reinterpret_cast<const void*>(e->sharp), sharpArgs, 5, offset), 0)
            << "Sharp, ESP mod 16 = " << offset;
        EXPECT_EQ(std::memcmp(image.Pixels(), sharp.Pixels(), bytes), 0) << "Sharp, offset " << offset;

        std::memcpy(image.Pixels(), original.Pixels(), bytes);
        uint32_t gammaArgs[11] = {uint32_t(reinterpret_cast<uintptr_t>(&image)), 0, 0, 17, 9};
        std::memcpy(gammaArgs + 5, exponents, sizeof exponents);
        EXPECT_EQ(CallWithStackAt(reinterpret_cast<const void*>(e->gammaEffect), gammaArgs, 11, offset), 0)
            << "GammaEffect, ESP mod 16 = " << offset;
        EXPECT_EQ(std::memcmp(image.Pixels(), gamma.Pixels(), bytes), 0) << "GammaEffect, offset " << offset;
    }
}
#endif

}  // namespace
