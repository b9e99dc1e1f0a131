// filter_callback.cpp - 3x3 weighted sum per byte, divided and clamped.
#include "effects/filter_callback.h"

#include "effects/clamp_byte.h"

namespace {

// Both kernels divide by 9. Dividing by a constant lets the compiler use a
// multiply instead of a hardware divide; the truncating result is the same.
inline int32_t DivideSum(int32_t sum, int32_t divisor) {
    return divisor == 9 ? sum / 9 : sum / divisor;
}

}  // namespace

FilterCallback::FilterCallback(const int32_t (&kernel)[9], int32_t kernelDivisor)
    : divisor(kernelDivisor) {
    for (int i = 0; i < 9; ++i) weights[i] = kernel[i];
}

void FilterCallback::StartEnum(VANTOR* /*destination*/, VANTOR* source) {
    ImageInfo info;
    source->GetInfo(&info);
    stride = info.stride;
}

void FilterCallback::SynthesizePixel(int32_t, int32_t, uint8_t* dst,
                                     int32_t x, int32_t y, const uint8_t* src) {
    // Strictly inside the bounds only: the frame has no full neighbourhood.
    if (!(lowerX < x && x < upperX && lowerY < y && y < upperY)) return;
    const uint8_t* const rows[3] = {src + stride - 3, src - 3, src - stride - 3};
    ApplyKernel(dst, rows);
}

void FilterCallback::ApplyKernel(uint8_t* dst, const uint8_t* const rows[3]) {
    // Sums of at most 9 * 17 * 255 in magnitude: far inside 32 bits.
    int32_t sum0 = 0, sum1 = 0, sum2 = 0;
    for (int i = 0; i < 3; ++i) {
        const uint8_t* p = rows[i];
        const int32_t w0 = weights[3 * i], w1 = weights[3 * i + 1], w2 = weights[3 * i + 2];
        sum0 += w0 * p[0] + w1 * p[3] + w2 * p[6];
        sum1 += w0 * p[1] + w1 * p[4] + w2 * p[7];
        sum2 += w0 * p[2] + w1 * p[5] + w2 * p[8];
    }
    dst[2] = ClampByte(DivideSum(sum2, divisor));
    dst[1] = ClampByte(DivideSum(sum1, divisor));
    dst[0] = ClampByte(DivideSum(sum0, divisor));
}
