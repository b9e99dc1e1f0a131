// filter_callback.cpp - 3x3 weighted sum per byte, divided and clamped.
#include "effects/filter_callback.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "effects/clamp_byte.h"

namespace {

#if defined(__SSE2__)
constexpr bool kHaveSse2 = true;
#else
constexpr bool kHaveSse2 = false;
#endif

// Sums of weights whose magnitudes add up to at most this stay within
// 16 bits (128 * 255 = 32640), the lane width of the fast path.
constexpr int64_t kMaxFastWeightTotal = 128;

// Dividing by the constant 9 lets the compiler multiply instead of using
// the hardware divide; the truncating result is the same.
inline int32_t DivideSum(int32_t sum, int32_t divisor) {
    return divisor == 9 ? sum / 9 : sum / divisor;
}

#if defined(__SSE2__)
// Bytes 0..7 at p, one per 16-bit lane (reads exactly those 8 bytes).
inline __m128i EightBytes(const uint8_t* p) {
    return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)),
                             _mm_setzero_si128());
}
#endif

}  // namespace

FilterCallback::FilterCallback(const int32_t (&kernel)[9], int32_t kernelDivisor)
    : divisor(kernelDivisor) {
    int64_t total = 0;
    for (int i = 0; i < 9; ++i) {
        weights[i] = kernel[i];
        total += kernel[i] < 0 ? -int64_t(kernel[i]) : kernel[i];
    }
    fastPath_ = kHaveSse2 && total <= kMaxFastWeightTotal && kernelDivisor == 9;
    // Lane k of row i multiplies byte k of that row, which belongs to the
    // pixel in column k / 3. Only read when fastPath_ is set (weights fit).
    for (int i = 0; i < 3; ++i)
        for (int k = 0; k < 8; ++k) laneWeights_[i][k] = int16_t(kernel[3 * i + k / 3]);
}

void FilterCallback::StartEnum(VANTOR* /*destination*/, VANTOR* source) {
    // Zeroed: a host whose GetInfo fills nothing leaves stride 0 rather than
    // stack garbage, and SynthesizePixel then writes nothing.
    ImageInfo info = {};
    source->GetInfo(&info);
    stride = info.stride;
}

// The class is final, so the ApplyKernel call below is a direct call to
// FilterCallback's own; flatten inlines it, which saves a call per pixel and
// keeps the row addresses in registers (measured: about 10 % of the filter).
// No stack cookie: under -fstack-protector-strong the row array gives this
// per-pixel function one, 4 to 9 % of the filter's time (the array holds
// addresses only). GNU spelling: clang 14 has no [[gnu::no_stack_protector]].
__attribute__((flatten, no_stack_protector)) void FilterCallback::SynthesizePixel(
    int32_t, int32_t, uint8_t* dst, int32_t x, int32_t y, const uint8_t* src) {
    // Strictly inside the bounds only: the frame has no full neighbourhood.
    // A stride of 0 (a host that gave none) would read the pixel's own row
    // three times: then the image is left as it is.
    if (stride == 0 || !(lowerX < x && x < upperX && lowerY < y && y < upperY)) return;
    // Each row one stride below the one before. Written as a chain so that
    // g++ does not build the array with one 16-byte store: ApplyKernel reads
    // it back 8 bytes at a time, and the processor cannot forward the upper
    // half of such a store to a load (measured: about 20 % of the filter time).
    const uint8_t* const row0 = src + stride - 3;
    const uint8_t* const row1 = row0 - stride;
    const uint8_t* const rows[3] = {row0, row1, row1 - stride};
    ApplyKernel(dst, rows);
}

void FilterCallback::ApplyKernel(uint8_t* dst, const uint8_t* const rows[3]) {
#if defined(__SSE2__)
    if (fastPath_) {
        // Both shipped kernels: eight 16-bit lanes per row, lane k holding
        // weight * byte k of the row, summed over the three rows. Byte 8
        // (byte 2 of the right neighbour) does not fit and is added apart.
        const __m128i* w = reinterpret_cast<const __m128i*>(laneWeights_);
        __m128i lanes = _mm_mullo_epi16(EightBytes(rows[0]), _mm_loadu_si128(w));
        lanes = _mm_add_epi16(lanes, _mm_mullo_epi16(EightBytes(rows[1]), _mm_loadu_si128(w + 1)));
        lanes = _mm_add_epi16(lanes, _mm_mullo_epi16(EightBytes(rows[2]), _mm_loadu_si128(w + 2)));
        const int32_t byte8 = weights[2] * rows[0][8] + weights[5] * rows[1][8] + weights[8] * rows[2][8];
        // Lanes 0, 1, 2 + lanes 3, 4, 5 + lanes 6, 7 give the three sums.
        __m128i sums = _mm_add_epi16(lanes, _mm_add_epi16(_mm_srli_si128(lanes, 6),
                                                          _mm_srli_si128(lanes, 12)));
        sums = _mm_insert_epi16(sums, int16_t(_mm_extract_epi16(sums, 2)) + byte8, 2);
        // Signed division by 9, truncating: (s * 7282) >> 16, plus 1 when s
        // is negative. Exact for every 16-bit s (checked for all 65536).
        const __m128i quotients = _mm_sub_epi16(_mm_mulhi_epi16(sums, _mm_set1_epi16(7282)),
                                                _mm_srai_epi16(sums, 15));
        // Packing to unsigned bytes saturates at 0 and 255: ClampByte.
        const uint32_t out = uint32_t(_mm_cvtsi128_si32(_mm_packus_epi16(quotients, quotients)));
        dst[2] = uint8_t(out >> 16);
        dst[1] = uint8_t(out >> 8);
        dst[0] = uint8_t(out);
        return;
    }
#endif
    ApplyAnyKernel(dst, rows);
}

// Out of line so that the lane path inlined into SynthesizePixel needs no
// registers saved and no row array in memory (measured: about 10 %).
[[gnu::noinline]] void FilterCallback::ApplyAnyKernel(uint8_t* dst, const uint8_t* const rows[3]) const {
    // Any kernel: the weighted sum as written. Sums stay within
    // 9 * max|weight| * 255.
    int32_t sum0 = 0, sum1 = 0, sum2 = 0;
    for (int i = 0; i < 3; ++i) {
        const uint8_t* p = rows[i];
        for (int j = 0; j < 3; ++j, p += 3) {
            const int32_t w = weights[3 * i + j];
            sum0 += w * p[0];
            sum1 += w * p[1];
            sum2 += w * p[2];
        }
    }
    const int32_t d = divisor;  // a local: the stores below may alias any field
    dst[2] = ClampByte(DivideSum(sum2, d));
    dst[1] = ClampByte(DivideSum(sum1, d));
    dst[0] = ClampByte(DivideSum(sum0, d));
}
