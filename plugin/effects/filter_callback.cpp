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
    // The shortcut regroups the sum, so keep the weights small enough that
    // neither form can overflow 32 bits (9 * 2 * 65536 * 255 < 2^31).
    ringKernel_ = true;
    for (int i = 0; i < 9; ++i) {
        if (kernel[i] < -65536 || kernel[i] > 65536) ringKernel_ = false;
        if (i != 4 && kernel[i] != kernel[0]) ringKernel_ = false;
    }
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
    if (ringKernel_) {
        // outer * (all nine) + (centre weight - outer) * centre pixel.
        const uint8_t *r0 = rows[0], *r1 = rows[1], *r2 = rows[2];
        const int32_t outer = weights[0], extra = weights[4] - weights[0];
        const int32_t all0 = r0[0] + r0[3] + r0[6] + r1[0] + r1[3] + r1[6] + r2[0] + r2[3] + r2[6];
        const int32_t all1 = r0[1] + r0[4] + r0[7] + r1[1] + r1[4] + r1[7] + r2[1] + r2[4] + r2[7];
        const int32_t all2 = r0[2] + r0[5] + r0[8] + r1[2] + r1[5] + r1[8] + r2[2] + r2[5] + r2[8];
        const int32_t sum0 = outer * all0 + extra * r1[3];
        const int32_t sum1 = outer * all1 + extra * r1[4];
        const int32_t sum2 = outer * all2 + extra * r1[5];
        dst[2] = ClampByte(DivideSum(sum2, divisor));
        dst[1] = ClampByte(DivideSum(sum1, divisor));
        dst[0] = ClampByte(DivideSum(sum0, divisor));
        return;
    }
    // Any other kernel: the weighted sum as written. Sums stay within
    // 9 * max|weight| * 255.
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
