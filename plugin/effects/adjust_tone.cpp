// adjust_tone.cpp - AdjustTone: a saturating offset per byte.
//
// Border policy: none needed; each pixel is rewritten by itself, the whole
// rectangle (clipped to the image by the host) is changed.
#include <algorithm>

#include "effects/clamp_byte.h"
#include "host/vantor.h"
#include "pixkit.h"

namespace {

// byte + offset, saturated. The sum is formed in 64 bits so that any offset,
// even the largest or smallest 32-bit value, saturates instead of wrapping.
inline uint8_t AddSaturated(uint8_t byte, int32_t offset) {
    const int64_t sum = int64_t(byte) + offset;
    return ClampByte(int32_t(std::clamp<int64_t>(sum, -1, 256)));
}

class AdjustToneCallback : public ReplaceCallback {
public:
    AdjustToneCallback(int32_t offset2, int32_t offset1, int32_t offset0)
        : offset2_(offset2), offset1_(offset1), offset0_(offset0) {
        // 256 possible byte values: one lookup per byte is cheaper than the
        // add and clamp, and gives the same bytes.
        for (int value = 0; value < 256; ++value) {
            table2_[value] = AddSaturated(uint8_t(value), offset2_);
            table1_[value] = AddSaturated(uint8_t(value), offset1_);
            table0_[value] = AddSaturated(uint8_t(value), offset0_);
        }
    }

    void ReplacePixel(int32_t, int32_t, uint8_t* pixel) override {
        pixel[2] = table2_[pixel[2]];
        pixel[1] = table1_[pixel[1]];
        pixel[0] = table0_[pixel[0]];
    }

private:
    int32_t offset2_;  // fields in parameter order: byte 2, byte 1, byte 0
    int32_t offset1_;
    int32_t offset0_;
    uint8_t table2_[256];  // the callback lives on the export's stack
    uint8_t table1_[256];
    uint8_t table0_[256];
};

}  // namespace

extern "C" void PIXKIT_CALL AdjustTone(VANTOR* image, int32_t x, int32_t y,
                                       int32_t width, int32_t height,
                                       int32_t offset2, int32_t offset1,
                                       int32_t offset0) {
    if (image == nullptr) return;
    AdjustToneCallback callback(offset2, offset1, offset0);
    image->Replace(x, y, width, height, &callback);
}
