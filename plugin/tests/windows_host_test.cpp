// windows_host_test.exe - a Windows host that loads pixkit.dll by name, looks
// the effects up by their plain export names and calls them through stdcall
// function pointers, checking every result against the reference model.
// Prints each failure and exits non-zero if there was any.
#include <windows.h>

#include <cstdio>
#include <random>
#include <string>

#include "image_convert.h"
#include "pixkit.h"
#include "reference_model.h"

namespace {

int failures = 0;

void Check(bool ok, const std::string& what) {
    if (!ok) {
        ++failures;
        std::printf("FAIL: %s\n", what.c_str());
    }
}

// GetProcAddress returns a generic pointer; going through void(*)() is the
// sanctioned way to turn it into the real function type.
template <typename Fn>
Fn Lookup(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

struct Exports {
    FilterEffectFn shade, sharp;
    AdjustToneFn adjustTone;
    GammaEffectFn gammaEffect;
};

std::string RectText(const ref::Rect& r) {
    return std::to_string(r.x) + "," + std::to_string(r.y) + "," +
           std::to_string(r.width) + "," + std::to_string(r.height);
}

// The same rectangles and sizes as the native tests, each effect once.
void CompareWithModel(const Exports& e) {
    struct Effect {
        const char* name;
        void (*run)(const Exports&, VANTOR*, const ref::Rect&);
        ref::Image (*model)(const ref::Image&, const ref::Rect&);
    };
    const Effect effects[] = {
        {"Shade", [](const Exports& x, VANTOR* i, const ref::Rect& r) { x.shade(i, r.x, r.y, r.width, r.height); },
         [](const ref::Image& m, const ref::Rect& r) { return ref::Shade(m, r); }},
        {"Sharp", [](const Exports& x, VANTOR* i, const ref::Rect& r) { x.sharp(i, r.x, r.y, r.width, r.height); },
         [](const ref::Image& m, const ref::Rect& r) { return ref::Sharp(m, r); }},
        {"AdjustTone", [](const Exports& x, VANTOR* i, const ref::Rect& r) { x.adjustTone(i, r.x, r.y, r.width, r.height, -33, 250, INT32_MIN); },
         [](const ref::Image& m, const ref::Rect& r) { return ref::AdjustTone(m, r, -33, 250, INT32_MIN); }},
        {"GammaEffect", [](const Exports& x, VANTOR* i, const ref::Rect& r) { x.gammaEffect(i, r.x, r.y, r.width, r.height, 2.0, 0.5, -1.0); },
         [](const ref::Image& m, const ref::Rect& r) { return ref::GammaEffect(m, r, 2.0, 0.5, -1.0); }},
    };
    std::mt19937 rng(99);
    for (const Effect& effect : effects)
        for (const auto& size : ref::TestSizes())
            for (const ref::Rect& r : ref::TestRects(size.width, size.height)) {
                const ref::Image before = ref::RandomImage(size.width, size.height, rng);
                VANTOR image(size.width, size.height);
                CopyToHost(before, image);
                effect.run(e, &image, r);
                Check(CopyFromHost(image).bytes == effect.model(before, r).bytes,
                      std::string(effect.name) + " " + std::to_string(size.width) + "x" +
                          std::to_string(size.height) + " rect " + RectText(r));
            }
}

// Worked examples for the neighbourhood filters, on a 3x3 image.
void CentreExamples(const Exports& e) {
    struct Case {
        FilterEffectFn fn;
        const char* name;
        uint8_t centre[3], neighbour[3], expected[3];
    };
    const Case cases[] = {
        {e.sharp, "Sharp", {100, 50, 30}, {10, 20, 30}, {180, 76, 30}},
        {e.shade, "Shade", {100, 50, 30}, {10, 20, 30}, {20, 23, 30}},
        {e.sharp, "Sharp", {255, 0, 128}, {0, 255, 128}, {255, 0, 128}},
        {e.shade, "Shade", {255, 0, 128}, {0, 255, 128}, {28, 226, 128}},
    };
    for (const Case& c : cases) {
        VANTOR image(3, 3);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 3; ++x)
                for (int k = 0; k < 3; ++k) image.PixelAt(x, y)[k] = c.neighbour[k];
        for (int k = 0; k < 3; ++k) image.PixelAt(1, 1)[k] = c.centre[k];
        c.fn(&image, 0, 0, 3, 3);
        for (int k = 0; k < 3; ++k)
            Check(image.PixelAt(1, 1)[k] == c.expected[k], std::string(c.name) + " centre byte " + std::to_string(k));
    }
}

// Every byte value and the awkward exponents, against pow per byte.
void GammaAllValues(const Exports& e) {
    const double inf = HUGE_VAL;
    const double exponents[] = {0.0, 1e-300, 0.5, 1.0, 2.0, -1.0, inf - inf, inf, -inf};
    for (double x : exponents) {
        VANTOR image(256, 1);
        for (int v = 0; v < 256; ++v)
            for (int k = 0; k < 3; ++k) image.PixelAt(v, 0)[k] = uint8_t(v);
        e.gammaEffect(&image, 0, 0, 256, 1, x, x, x);
        for (int v = 0; v < 256; ++v)
            for (int k = 0; k < 3; ++k)
                Check(image.PixelAt(v, 0)[k] == ref::GammaByte(uint8_t(v), x),
                      "GammaEffect exponent " + std::to_string(x) + " value " + std::to_string(v));
    }
}

}  // namespace

int main() {
    HMODULE plugin = LoadLibraryA("pixkit.dll");
    if (plugin == nullptr) {
        std::printf("FAIL: cannot load pixkit.dll (error %lu)\n", GetLastError());
        return 1;
    }
    Exports e{};
    e.shade = Lookup<FilterEffectFn>(plugin, "Shade");
    e.sharp = Lookup<FilterEffectFn>(plugin, "Sharp");
    e.adjustTone = Lookup<AdjustToneFn>(plugin, "AdjustTone");
    e.gammaEffect = Lookup<GammaEffectFn>(plugin, "GammaEffect");
    if (!e.shade || !e.sharp || !e.adjustTone || !e.gammaEffect) {
        std::printf("FAIL: an export is missing under its plain name\n");
        return 1;
    }
    // Decorated stdcall names must not leak into the export table.
    const char* decorated[] = {"Shade@20", "_Shade@20", "AdjustTone@32", "GammaEffect@44"};
    for (const char* name : decorated)
        Check(GetProcAddress(plugin, name) == nullptr, std::string("decorated export ") + name);

    // A null image is ignored, not a crash.
    e.shade(nullptr, 0, 0, 1, 1);
    e.sharp(nullptr, 0, 0, 1, 1);
    e.adjustTone(nullptr, 0, 0, 1, 1, 1, 1, 1);
    e.gammaEffect(nullptr, 0, 0, 1, 1, 1.0, 1.0, 1.0);

    CentreExamples(e);
    GammaAllValues(e);
    CompareWithModel(e);

    FreeLibrary(plugin);
    std::printf("%s: %d failure(s)\n", failures ? "FAILED" : "passed", failures);
    return failures ? 1 : 0;
}
