// pixkit_bench - megapixels per second of each effect through the host, on
// 1024x1024 and 4096x4096 images, with two references from the same run:
//   Memcpy          copy of the same pixel buffer
//   ReplaceWalk     Replace over the whole image with a do-nothing callback
//   SynthesizeWalk  Synthesize of the image from itself, do-nothing callback
// and GammaPowPerByte, the power rule evaluated with pow for every byte.
// Compare each effect with the walk of its own kind (filters: Synthesize,
// tone effects: Replace).
#include <benchmark/benchmark.h>

#include <dlfcn.h>

#include <cmath>
#include <cstring>
#include <random>
#include <stdexcept>
#include <vector>

#include "host/vantor.h"
#include "pixkit.h"

namespace {

struct Exports {
    PixkitFilterFn shade, sharp;
    PixkitAdjustToneFn adjustTone;
    PixkitGammaEffectFn gammaEffect;
};

template <typename Fn>
Fn Find(void* module, const char* name) {
    void* symbol = dlsym(module, name);
    if (symbol == nullptr) throw std::runtime_error(name);
    return reinterpret_cast<Fn>(symbol);
}

const Exports& Plugin() {
    static const Exports exports = [] {
        void* module = dlopen(PIXKIT_PATH, RTLD_NOW | RTLD_LOCAL);
        if (module == nullptr) throw std::runtime_error(dlerror());
        return Exports{Find<PixkitFilterFn>(module, "Shade"), Find<PixkitFilterFn>(module, "Sharp"),
                       Find<PixkitAdjustToneFn>(module, "AdjustTone"),
                       Find<PixkitGammaEffectFn>(module, "GammaEffect")};
    }();
    return exports;
}

VANTOR& Image(int32_t side) {
    static VANTOR small(1024, 1024), large(4096, 4096);
    VANTOR& image = side == 1024 ? small : large;
    std::mt19937 rng(side);
    uint8_t* p = image.Pixels();
    for (int64_t i = 0, n = int64_t(image.Stride()) * image.Height(); i < n; ++i) p[i] = uint8_t(rng());
    return image;
}

void Count(benchmark::State& state, int32_t side) {
    state.counters["MP/s"] = benchmark::Counter(double(side) * side / 1e6,
                                                benchmark::Counter::kIsIterationInvariantRate);
}

class NoReplace : public ReplaceCallback {
    void ReplacePixel(int32_t, int32_t, uint8_t*) override {}
};

class NoSynthesize : public SynthesizeCallback {
    void SynthesizePixel(int32_t, int32_t, uint8_t*, int32_t, int32_t, const uint8_t*) override {}
};

// The power rule with pow for every byte, as a slow reference for GammaEffect.
class PowPerByte : public ReplaceCallback {
public:
    explicit PowPerByte(double e) : e_(e) {}
    void ReplacePixel(int32_t, int32_t, uint8_t* pixel) override {
        for (int k = 2; k >= 0; --k) {
            const double q = std::pow(pixel[k] * 0.00390625, e_) * 256.0;
            pixel[k] = (q >= -9223372036854775808.0 && q < 9223372036854775808.0)
                           ? uint8_t(static_cast<int64_t>(q)) : 0;
        }
    }

private:
    double e_;
};

void Memcpy(benchmark::State& state) {
    const int32_t side = int32_t(state.range(0));
    VANTOR& image = Image(side);
    const size_t bytes = size_t(image.Stride()) * image.Height();
    std::vector<uint8_t> copy(bytes);
    for (auto _ : state) {
        std::memcpy(copy.data(), image.Pixels(), bytes);
        benchmark::ClobberMemory();
    }
    Count(state, side);
}

void ReplaceWalk(benchmark::State& state) {
    const int32_t side = int32_t(state.range(0));
    VANTOR& image = Image(side);
    NoReplace callback;
    for (auto _ : state) image.Replace(0, 0, side, side, &callback);
    Count(state, side);
}

void SynthesizeWalk(benchmark::State& state) {
    const int32_t side = int32_t(state.range(0));
    VANTOR& image = Image(side);
    NoSynthesize callback;
    for (auto _ : state) image.Synthesize(0, 0, side, side, &image, 0, 0, &callback, 0);
    Count(state, side);
}

void Shade(benchmark::State& state) {
    const int32_t side = int32_t(state.range(0));
    VANTOR& image = Image(side);
    for (auto _ : state) Plugin().shade(&image, 0, 0, side, side);
    Count(state, side);
}

void Sharp(benchmark::State& state) {
    const int32_t side = int32_t(state.range(0));
    VANTOR& image = Image(side);
    for (auto _ : state) Plugin().sharp(&image, 0, 0, side, side);
    Count(state, side);
}

void AdjustTone(benchmark::State& state) {
    const int32_t side = int32_t(state.range(0));
    VANTOR& image = Image(side);
    for (auto _ : state) Plugin().adjustTone(&image, 0, 0, side, side, 7, -3, 1);
    Count(state, side);
}

void GammaEffect(benchmark::State& state) {
    const int32_t side = int32_t(state.range(0));
    VANTOR& image = Image(side);
    for (auto _ : state) Plugin().gammaEffect(&image, 0, 0, side, side, 0.9, 1.0, 1.1);
    Count(state, side);
}

void GammaPowPerByte(benchmark::State& state) {
    const int32_t side = int32_t(state.range(0));
    VANTOR& image = Image(side);
    PowPerByte callback(0.9);
    for (auto _ : state) image.Replace(0, 0, side, side, &callback);
    Count(state, side);
}

void Sizes(benchmark::internal::Benchmark* b) {
    b->Arg(1024)->Arg(4096)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
}

BENCHMARK(Memcpy)->Apply(Sizes);
BENCHMARK(ReplaceWalk)->Apply(Sizes);
BENCHMARK(SynthesizeWalk)->Apply(Sizes);
BENCHMARK(Shade)->Apply(Sizes);
BENCHMARK(Sharp)->Apply(Sizes);
BENCHMARK(AdjustTone)->Apply(Sizes);
BENCHMARK(GammaEffect)->Apply(Sizes);
BENCHMARK(GammaPowPerByte)->Apply(Sizes);

}  // namespace

BENCHMARK_MAIN();
