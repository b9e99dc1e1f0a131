// adjust_tone.cpp - AdjustTone: a saturating offset per byte.
//
// Border policy: none needed; each pixel is rewritten by itself, the whole
// rectangle (clipped to the image by the host) is changed.
#include <algorithm>

#include "effects/byte_tables.h"
#include "effects/clamp_byte.h"
#include "pixkit.h"

namespace {

// byte + offset, saturated. The sum is formed in 64 bits so that any offset,
// even the largest or smallest 32-bit value, saturates instead of wrapping.
inline uint8_t AddSaturated(uint8_t byte, int32_t offset) {
    const int64_t sum = int64_t(byte) + offset;
    return ClampByte(int32_t(std::clamp<int64_t>(sum, -1, 256)));
}

// The offsets for byte 2, 1, 0, and each pixel rewritten by AddSaturated.
class AdjustToneCallback final : public ByteTableCallback<int32_t, AddSaturated> {
    using ByteTableCallback::ByteTableCallback;
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
