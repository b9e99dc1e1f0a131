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

#include "host/vantor.h"
#include "pixkit.h"

namespace {

uint8_t GammaByte(uint8_t byte, double exponent) {
    const double v = byte * 0.00390625;  // byte / 256, exact
    const double q = std::pow(v, exponent) * 256.0;
    // Written so that NaN fails the test as well as the out-of-range values.
    if (!(q >= -9223372036854775808.0 && q < 9223372036854775808.0)) return 0;
    return static_cast<uint8_t>(static_cast<int64_t>(q));
}

class GammaEffectCallback : public ReplaceCallback {
public:
    GammaEffectCallback(double exponent2, double exponent1, double exponent0)
        : exponent2_(exponent2), exponent1_(exponent1), exponent0_(exponent0) {
        // A byte has only 256 values: evaluating the rule once per value and
        // byte position is far cheaper than pow for every byte of the walk,
        // and gives the same bytes.
        for (int value = 0; value < 256; ++value) {
            table2_[value] = GammaByte(uint8_t(value), exponent2_);
            table1_[value] = GammaByte(uint8_t(value), exponent1_);
            table0_[value] = GammaByte(uint8_t(value), exponent0_);
        }
    }

    void ReplacePixel(int32_t, int32_t, uint8_t* pixel) override {
        pixel[2] = table2_[pixel[2]];
        pixel[1] = table1_[pixel[1]];
        pixel[0] = table0_[pixel[0]];
    }

private:
    double exponent2_;  // fields in parameter order: byte 2, byte 1, byte 0
    double exponent1_;
    double exponent0_;
    uint8_t table2_[256];  // the callback lives on the export's stack
    uint8_t table1_[256];
    uint8_t table0_[256];
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
