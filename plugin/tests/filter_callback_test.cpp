// FilterCallback with kernels other than the two shipped ones: the general
// weighted sum and the 16-bit lane path (small weights, divisor 9) must both
// agree with the model. Runs the callback through our host's Synthesize.
#include <gtest/gtest.h>

#include <random>

#include "effects/filter_callback.h"
#include "image_convert.h"
#include "reference_model.h"

namespace {

struct KernelCase {
    const char* name;
    int32_t weights[9];
    int32_t divisor;
};

TEST(FilterCallback, AnyKernelMatchesTheModel) {
    const KernelCase cases[] = {
        {"distinct weights", {1, 2, 3, 4, 5, 6, 7, 8, 9}, 45},
        {"asymmetric signed", {0, -2, 0, 1, 3, -1, 0, 4, 0}, 5},
        {"outer 2, centre -3", {2, 2, 2, 2, -3, 2, 2, 2, 2}, 7},
        {"negative divisor", {1, 1, 1, 1, 1, 1, 1, 1, 1}, -3},
        {"large ring weights", {70000, 70000, 70000, 70000, 1, 70000, 70000, 70000, 70000}, 1000},
        // Divisor 9 with magnitudes adding up to at most 128: the 16-bit lanes.
        {"small, divisor 9", {0, -2, 0, 1, 3, -1, 0, 4, 0}, 9},
        {"magnitudes add up to 128", {-20, 30, -10, 5, 40, -5, 10, -5, 3}, 9},
        {"all 128 negative", {-14, -14, -14, -14, -16, -14, -14, -14, -14}, 9},
        {"all 128 positive", {14, 14, 14, 14, 16, 14, 14, 14, 14}, 9},
        {"magnitudes add up to 129", {-20, 30, -10, 5, 41, -5, 10, -5, 3}, 9},
    };
    std::mt19937 rng(5);
    for (const auto& c : cases)
        for (const auto& size : ref::TestSizes()) {
            const ref::Image before = ref::RandomImage(size.width, size.height, rng);
            VANTOR image(size.width, size.height);
            CopyToHost(before, image);
            FilterCallback callback(c.weights, c.divisor);
            image.Synthesize(0, 0, size.width, size.height, &image, 0, 0, &callback, 0);
            int model[9];
            for (int i = 0; i < 9; ++i) model[i] = c.weights[i];
            const ref::Rect all{0, 0, size.width, size.height};
            ASSERT_EQ(CopyFromHost(image).bytes, ref::Filter(before, all, model, c.divisor).bytes)
                << c.name << " on " << size.width << "x" << size.height;
        }
}

// A host whose GetInfo fills nothing gives the callback no stride (0): it
// has no rows to read the neighbourhood from, so it writes no pixel.
class ImageWithoutInfo : public VANTOR {
public:
    using VANTOR::VANTOR;
    void GetInfo(ImageInfo*) override {}
};

TEST(FilterCallback, HostWithoutInfoLeavesTheImageUnchanged) {
    const KernelCase cases[] = {{"lanes", {-1, -1, -1, -1, 17, -1, -1, -1, -1}, 9},
                                {"any kernel", {1, 2, 3, 4, 5, 6, 7, 8, 9}, 45}};
    std::mt19937 rng(6);
    for (const auto& c : cases) {
        const ref::Image before = ref::RandomImage(33, 17, rng);
        ImageWithoutInfo image(33, 17);
        CopyToHost(before, image);
        FilterCallback callback(c.weights, c.divisor);
        image.Synthesize(0, 0, 33, 17, &image, 0, 0, &callback, 0);
        ASSERT_EQ(CopyFromHost(image).bytes, before.bytes) << c.name;
    }
}

}  // namespace
