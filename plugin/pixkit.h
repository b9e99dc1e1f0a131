// pixkit.h - the plug-in's four exports, for hosts that call them.
//
// Each export rewrites the rectangle (x, y, width, height) of `image` in
// place. They have no result and report no errors; a null image does nothing.
// On 32-bit Windows they use the stdcall convention (the callee removes the
// arguments) and are exported under their plain names (pixkit.def).
#pragma once

#include <cstdint>

class VANTOR;

#if defined(_WIN32) && !defined(_WIN64)
#  define PIXKIT_CALL __stdcall
#else
#  define PIXKIT_CALL
#endif

#if defined(_WIN32)
#  define PIXKIT_EXPORT  // exported by name through pixkit.def
#else
#  define PIXKIT_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {

// 3x3 mean: softens the image. The outermost one-pixel frame is untouched.
PIXKIT_EXPORT void PIXKIT_CALL Shade(VANTOR* image, int32_t x, int32_t y,
                                     int32_t width, int32_t height);

// 3x3 sharpening. The outermost one-pixel frame is untouched.
PIXKIT_EXPORT void PIXKIT_CALL Sharp(VANTOR* image, int32_t x, int32_t y,
                                     int32_t width, int32_t height);

// Adds a signed offset to each byte, saturating at 0 and 255. Offsets in the
// order byte 2, byte 1, byte 0 (red, green, blue for BGR pixel data).
PIXKIT_EXPORT void PIXKIT_CALL AdjustTone(VANTOR* image, int32_t x, int32_t y,
                                          int32_t width, int32_t height,
                                          int32_t offset2, int32_t offset1,
                                          int32_t offset0);

// Power curve per byte: byte = low 8 bits of trunc((byte/256)^exponent * 256).
// Exponents in the order byte 2, byte 1, byte 0.
PIXKIT_EXPORT void PIXKIT_CALL GammaEffect(VANTOR* image, int32_t x, int32_t y,
                                           int32_t width, int32_t height,
                                           double exponent2, double exponent1,
                                           double exponent0);

}  // extern "C"

// Function pointer types for hosts that look the exports up at run time.
using FilterEffectFn = void(PIXKIT_CALL*)(VANTOR*, int32_t, int32_t, int32_t, int32_t);
using AdjustToneFn = void(PIXKIT_CALL*)(VANTOR*, int32_t, int32_t, int32_t, int32_t,
                                        int32_t, int32_t, int32_t);
using GammaEffectFn = void(PIXKIT_CALL*)(VANTOR*, int32_t, int32_t, int32_t, int32_t,
                                         double, double, double);
