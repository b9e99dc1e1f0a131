// filter_callback.h - the 3x3 neighbourhood callback shared by Shade and Sharp.
//
// Border policy: only positions strictly inside the bounds the host sets
// (the source's first and last coordinates) are written, so the outermost
// one-pixel frame of the image keeps its values. Every written pixel has
// all 8 neighbours inside the source. A host that gives no row stride (0)
// gets no pixel written.
#pragma once

#include <cstdint>

#include "host/vantor.h"

// Final: nothing can override ApplyKernel, so the compiler calls (and may
// inline) FilterCallback's own from SynthesizePixel instead of loading it
// from the table for every pixel. The result is the same as a call through
// the table; ApplyKernel stays virtual, in its place after the base's entries.
class FilterCallback final : public SynthesizeCallback {
public:
    // weights: 3x3 kernel, row by row. Row 0 is the row at address + stride,
    // row 2 the row at address - stride; column 0 is the left neighbour.
    FilterCallback(const int32_t (&weights)[9], int32_t divisor);

    void StartEnum(VANTOR* destination, VANTOR* source) override;
    void SynthesizePixel(int32_t a, int32_t b, uint8_t* dst,
                         int32_t x, int32_t y, const uint8_t* src) override;

    // Writes the three clamped, divided weighted sums to dst. rows[i] points
    // at byte 0 of the left neighbour in kernel row i. All reads happen
    // before the first write, so dst may alias the centre pixel.
    virtual void ApplyKernel(uint8_t* dst, const uint8_t* const rows[3]);

protected:
    int32_t stride = 0;  // source row stride, fetched once per walk
    int32_t weights[9];
    int32_t divisor;

private:
    // The weighted sum for any kernel, as written.
    void ApplyAnyKernel(uint8_t* dst, const uint8_t* const rows[3]) const;

    // Set when the build has SSE2, divisor is 9 and the weights' magnitudes
    // add up to at most 128 (both shipped kernels): then every partial sum
    // fits 16 bits and ApplyKernel works on eight bytes at a time.
    bool fastPath_ = false;
    int16_t laneWeights_[3][8];  // row i, lane k: weights[3 * i + k / 3]
};
