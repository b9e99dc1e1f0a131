// adjust_tone.cpp - AdjustTone: a saturating offset per byte.
//
// Border policy: none needed; each pixel is rewritten by itself, the whole
// rectangle (clipped to the image by the host) is changed.
#include <algorithm>

#include "effects/byte_tables.h"
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
        const int32_t offsets[3] = {offset0_, offset1_, offset2_};  // by position
        tables_.Fill([&](uint8_t value, int position) { return AddSaturated(value, offsets[position]); });
    }

    void ReplacePixel(int32_t, int32_t, uint8_t* pixel) override { tables_.Apply(pixel); }

private:
    int32_t offset2_;  // fields in parameter order: byte 2, byte 1, byte 0
    int32_t offset1_;
    int32_t offset0_;
    ByteTables tables_;  // the rule looked up per byte position
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
