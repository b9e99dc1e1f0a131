// gamma_effect.cpp - GammaEffect: a power curve per byte.
//
// Border policy: none needed; each pixel is rewritten by itself, the whole
// rectangle (clipped to the image by the host) is changed.
//
// Rule per byte: q = (byte / 256) ^ exponent * 256, truncated toward zero to
// a signed 64-bit integer, whose low 8 bits are stored; no clamping. A q that
// is infinite, NaN or outside the 64-bit range stores 0. So p = 1 (exponent 0,
// or a tiny positive exponent) gives 256 and stores 0, not 255.
#include <cmath>

#include "effects/byte_tables.h"
#include "pixkit.h"

namespace {

uint8_t GammaByte(uint8_t byte, double exponent) {
    const double v = byte * 0.00390625;  // byte / 256, exact
    const double q = std::pow(v, exponent) * 256.0;
    // Written so that NaN fails the test as well as the out-of-range values.
    if (!(q >= -9223372036854775808.0 && q < 9223372036854775808.0)) return 0;
    return static_cast<uint8_t>(static_cast<int64_t>(q));
}

// The exponents for byte 2, 1, 0, and each pixel rewritten by GammaByte.
class GammaEffectCallback final : public ByteTableCallback<double, GammaByte> {
    using ByteTableCallback::ByteTableCallback;
};

}  // namespace

extern "C" void PIXKIT_CALL GammaEffect(VANTOR* image, int32_t x, int32_t y,
                                        int32_t width, int32_t height,
                                        double exponent2, double exponent1,
                                        double exponent0) {
    if (image == nullptr) return;
    GammaEffectCallback callback(exponent2, exponent1, exponent0);
    image->Replace(x, y, width, height, &callback);
}
