/* pixkit.h - the plug-in's four exports, for hosts written in C or C++.
 *
 * Each export rewrites a rectangle of the host's image in place, through
 * callbacks that the image calls once per pixel. They return nothing and
 * report no errors. On 32-bit Windows they use the stdcall convention (the
 * callee removes its arguments) and are exported under their plain names
 * ("Shade", not "Shade@20"), the names to give GetProcAddress.
 *
 * Parameters common to all four:
 *   image   the host's image. A null image does nothing. Otherwise the
 *           export hands the rectangle, unchanged, to the image's own walk.
 *   x, y, width, height
 *           the rectangle, in pixels, y counted in rows from row 0 of the
 *           pixel data. pixkit never inspects it: the image clips it to
 *           itself, so a rectangle partly outside changes only the part
 *           inside, and an empty, negative or wholly outside one changes
 *           nothing.
 * Byte 2, 1, 0 are a pixel's bytes from last to first in memory: red,
 * green, blue for BGR data.
 */
#ifndef PIXKIT_H
#define PIXKIT_H

#include <stdint.h>

/* The image only ever crosses as a pointer. In C++ it is the image
 * library's own class, declared as "class VANTOR" as the library's header
 * declares it, so the plug-in and C++ hosts pass their VANTOR* without a
 * cast. In C it is an incomplete struct of the same name: a C host converts
 * the address of its image object (the table of operations first) to
 * VANTOR*. The exports have C linkage, so both are the same one pointer at
 * the binary interface. */
#ifdef __cplusplus
class VANTOR;
#else
typedef struct VANTOR VANTOR;
#endif

/* The calling convention is the exports' own, not the host's to choose: a
 * host that called the stdcall exports as cdecl would leave their arguments
 * on its stack. So a definition made before this header stops the build. */
#ifdef PIXKIT_CALL
#  error "PIXKIT_CALL is defined before pixkit.h: the header alone defines the exports' calling convention"
#endif
#if defined(_WIN32) && !defined(_WIN64)
#  define PIXKIT_CALL __stdcall
#else
#  define PIXKIT_CALL
#endif

/* Only where the host has not defined it first (its own build, or a header
 * of the image library that uses the same name). */
#ifndef PIXKIT_EXPORT
#  if defined(_WIN32) || !defined(__GNUC__)
#    define PIXKIT_EXPORT /* on Windows exported by name through pixkit.def */
#  else
#    define PIXKIT_EXPORT __attribute__((visibility("default")))
#  endif
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* 3x3 mean: softens. Reads the neighbours as they were before the call, also
 * those just outside the rectangle; the image's outermost one-pixel frame is
 * never written. */
PIXKIT_EXPORT void PIXKIT_CALL Shade(VANTOR* image, int32_t x, int32_t y,
                                     int32_t width, int32_t height);

/* 3x3 sharpening (-1 around, 17 in the centre, divided by 9, clamped to
 * 0..255). Neighbours and frame as for Shade. */
PIXKIT_EXPORT void PIXKIT_CALL Sharp(VANTOR* image, int32_t x, int32_t y,
                                     int32_t width, int32_t height);

/* Adds offset2, offset1, offset0 to byte 2, 1, 0 of every pixel of the
 * rectangle, saturating at 0 and 255 (any 32-bit offset). */
PIXKIT_EXPORT void PIXKIT_CALL AdjustTone(VANTOR* image, int32_t x, int32_t y,
                                          int32_t width, int32_t height,
                                          int32_t offset2, int32_t offset1,
                                          int32_t offset0);

/* Power curve per byte of every pixel of the rectangle, exponent2, 1, 0 for
 * byte 2, 1, 0: the byte becomes the low 8 bits of
 * trunc((byte / 256)^exponent * 256), or 0 where that is not finite or
 * beyond 64 bits. */
PIXKIT_EXPORT void PIXKIT_CALL GammaEffect(VANTOR* image, int32_t x, int32_t y,
                                           int32_t width, int32_t height,
                                           double exponent2, double exponent1,
                                           double exponent0);

/* The exports' types, for hosts that look them up at run time
 * (GetProcAddress, dlsym). Shade and Sharp share PixkitFilterFn. */
typedef void(PIXKIT_CALL* PixkitFilterFn)(VANTOR* image, int32_t x, int32_t y,
                                          int32_t width, int32_t height);
typedef void(PIXKIT_CALL* PixkitAdjustToneFn)(VANTOR* image, int32_t x, int32_t y,
                                              int32_t width, int32_t height,
                                              int32_t offset2, int32_t offset1,
                                              int32_t offset0);
typedef void(PIXKIT_CALL* PixkitGammaEffectFn)(VANTOR* image, int32_t x, int32_t y,
                                               int32_t width, int32_t height,
                                               double exponent2, double exponent1,
                                               double exponent0);

#ifdef __cplusplus
}  /* extern "C" */
#endif

#endif /* PIXKIT_H */
