/* c_host.h - an image host written in C, sharing nothing with pixkit but the
 * binary interface: the image's table of operations (GetInfo, Replace,
 * Synthesize), thiscall on 32-bit Windows, the callback objects' tables and
 * the four bounds after a synthesize callback's table pointer, ImageInfo.
 * A CHostImage's address is passed to the exports as their VANTOR pointer. */
#ifndef PIXKIT_C_HOST_H
#define PIXKIT_C_HOST_H

#include <stdint.h>

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

#ifdef __cplusplus
}
#endif

#endif
