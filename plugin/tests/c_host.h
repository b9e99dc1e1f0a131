/* c_host.h - an image host written in C, sharing nothing with pixkit but the
 * binary interface: the image's table of operations (GetInfo, Replace,
 * Synthesize), thiscall on 32-bit Windows, the callback objects' tables and
 * the four bounds after a synthesize callback's table pointer, ImageInfo.
 * A CHostImage's address is passed to the exports as their VANTOR pointer,
 * and CHostImage_ApplyEffect calls them from C through pixkit.h. */
#ifndef PIXKIT_C_HOST_H
#define PIXKIT_C_HOST_H

#include <stdint.h>
#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

struct CHostImageTable;

/* 3 bytes per pixel, rows padded to 4 bytes; the pixels belong to the caller. */
typedef struct CHostImage {
    const struct CHostImageTable* table; /* first, where a C++ object keeps its table */
    int32_t width;
    int32_t height;
    int32_t stride;
    uint8_t* pixels;
} CHostImage;

/* pixels: (3 * width + 3) / 4 * 4 * height bytes. */
void CHostImage_Init(CHostImage* image, int32_t width, int32_t height, uint8_t* pixels);

/* Looks effect 0 Shade, 1 Sharp, 2 AdjustTone or 3 GammaEffect up in `plugin`
 * by its plain name and applies it to the rectangle rect (x, y, width,
 * height) of `image`, with offsets or exponents (byte 2, 1, 0) for the tone
 * effects. Returns 0, having done nothing, when the export is missing. */
int CHostImage_ApplyEffect(CHostImage* image, HMODULE plugin, int effect, const int32_t rect[4],
                           const int32_t offsets[3], const double exponents[3]);

#ifdef __cplusplus
}
#endif

#endif
