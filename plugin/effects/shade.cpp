// shade.cpp - Shade: 3x3 mean, which softens the image.
//
// Border policy: the outermost one-pixel frame of the image is left
// untouched (FilterCallback writes only pixels with a full neighbourhood).
// Neighbours are read as they were before the call (the host walks a copy).
#include "effects/filter_callback.h"
#include "pixkit.h"

namespace {

constexpr int32_t kShadeWeights[9] = {
    1, 1, 1,
    1, 1, 1,
    1, 1, 1,
};
constexpr int32_t kShadeDivisor = 9;  // sum of the weights: flat areas keep their value

}  // namespace

extern "C" void PIXKIT_CALL Shade(VANTOR* image, int32_t x, int32_t y,
                                  int32_t width, int32_t height) {
    if (image == nullptr) return;
    FilterCallback callback(kShadeWeights, kShadeDivisor);
    image->Synthesize(x, y, width, height, image, x, y, &callback, 0);
}
