/* c_host.c - see c_host.h. Walks rectangles as vantor.dll does: clipped to
 * the image (x, y, width, height), Synthesize reading a snapshot when the
 * source is the destination, with the source's first and last coordinates
 * as the callback's bounds. */
#include "c_host.h"

#include <stdlib.h>
#include <string.h>

#include "pixkit.h"

/* thiscall exists only on 32-bit x86; on x86-64 every call passes the
 * object first, which is what the plain convention already does. */
#if defined(__i386__)
#define THISCALL __attribute__((thiscall))
#else
#define THISCALL
#endif

typedef struct {
    int32_t width, height, bitsPerPixel, stride, imageSize, reserved;
} ImageInfo;

/* Callback objects as the host sees them: the table pointer, then (for
 * synthesize callbacks) the bounds. The tables continue with the destructor,
 * which the host never calls: the callback belongs to the plug-in. */
struct ReplaceTable;
typedef struct {
    const struct ReplaceTable* table;
} ReplaceCallback;
struct ReplaceTable {
    void(THISCALL* StartEnum)(ReplaceCallback*, CHostImage*);
    void(THISCALL* ReplacePixel)(ReplaceCallback*, int32_t, int32_t, uint8_t*);
    void(THISCALL* EndEnum)(ReplaceCallback*, CHostImage*);
};

struct SynthesizeTable;
typedef struct {
    const struct SynthesizeTable* table;
    int32_t lowerX, lowerY, upperX, upperY;
} SynthesizeCallback;
struct SynthesizeTable {
    void(THISCALL* StartEnum)(SynthesizeCallback*, CHostImage*, CHostImage*);
    void(THISCALL* SynthesizePixel)(SynthesizeCallback*, int32_t, int32_t, uint8_t*,
                                    int32_t, int32_t, const uint8_t*);
    void(THISCALL* EndEnum)(SynthesizeCallback*, CHostImage*, CHostImage*);
};

_Static_assert(sizeof(SynthesizeCallback) == sizeof(void*) + 16,
               "the four bounds follow the table pointer without padding");

struct CHostImageTable {
    void(THISCALL* GetInfo)(CHostImage*, ImageInfo*);
    void(THISCALL* Replace)(CHostImage*, int32_t, int32_t, int32_t, int32_t, ReplaceCallback*);
    void(THISCALL* Synthesize)(CHostImage*, int32_t, int32_t, int32_t, int32_t, CHostImage*,
                               int32_t, int32_t, SynthesizeCallback*, int32_t);
};

/* Half-open span [begin, end) of one axis, clipped to [0, size). */
typedef struct {
    int64_t begin, end;
} Span;

static int64_t Max(int64_t a, int64_t b) { return a > b ? a : b; }
static int64_t Min(int64_t a, int64_t b) { return a < b ? a : b; }

static Span Clip(int32_t origin, int32_t extent, int32_t size) {
    Span s;
    s.begin = Max(origin, 0);
    s.end = Min((int64_t)origin + extent, size);
    return s;
}

static void THISCALL GetInfo(CHostImage* self, ImageInfo* info) {
    info->width = self->width;
    info->height = self->height;
    info->bitsPerPixel = 24;
    info->stride = self->stride;
    info->imageSize = self->stride * self->height;
    info->reserved = 0;
}

static void THISCALL Replace(CHostImage* self, int32_t x, int32_t y, int32_t width,
                             int32_t height, ReplaceCallback* callback) {
    const Span cols = Clip(x, width, self->width);
    const Span rows = Clip(y, height, self->height);
    if (cols.end <= cols.begin || rows.end <= rows.begin) return;
    callback->table->StartEnum(callback, self);
    for (int64_t row = rows.begin; row < rows.end; ++row)
        for (int64_t col = cols.begin; col < cols.end; ++col)
            callback->table->ReplacePixel(callback, (int32_t)col, (int32_t)row,
                                          self->pixels + row * self->stride + col * 3);
    callback->table->EndEnum(callback, self);
}

static void THISCALL Synthesize(CHostImage* self, int32_t x, int32_t y, int32_t width,
                                int32_t height, CHostImage* source, int32_t sx, int32_t sy,
                                SynthesizeCallback* callback, int32_t reserved) {
    (void)reserved;
    /* Destination (col, row) reads source (col + dx, row + dy). */
    const int64_t dx = (int64_t)sx - x, dy = (int64_t)sy - y;
    Span cols = Clip(x, width, self->width);
    Span rows = Clip(y, height, self->height);
    cols.begin = Max(cols.begin, -dx);
    cols.end = Min(cols.end, source->width - dx);
    rows.begin = Max(rows.begin, -dy);
    rows.end = Min(rows.end, source->height - dy);
    if (cols.end <= cols.begin || rows.end <= rows.begin) return;

    /* Filtering an image in place must read its pixels as they were. */
    const size_t bytes = (size_t)source->stride * (size_t)source->height;
    uint8_t* snapshot = NULL;
    const uint8_t* from = source->pixels;
    if (source == self) {
        snapshot = malloc(bytes);
        if (snapshot == NULL) return;
        memcpy(snapshot, source->pixels, bytes);
        from = snapshot;
    }

    callback->lowerX = 0;
    callback->lowerY = 0;
    callback->upperX = source->width - 1;
    callback->upperY = source->height - 1;
    callback->table->StartEnum(callback, self, source);
    for (int64_t row = rows.begin; row < rows.end; ++row)
        for (int64_t col = cols.begin; col < cols.end; ++col)
            callback->table->SynthesizePixel(
                callback, (int32_t)col, (int32_t)row, self->pixels + row * self->stride + col * 3,
                (int32_t)(col + dx), (int32_t)(row + dy),
                from + (row + dy) * source->stride + (col + dx) * 3);
    callback->table->EndEnum(callback, self, source);
    free(snapshot);
}

static const struct CHostImageTable kImageTable = {GetInfo, Replace, Synthesize};

void CHostImage_Init(CHostImage* image, int32_t width, int32_t height, uint8_t* pixels) {
    image->table = &kImageTable;
    image->width = width;
    image->height = height;
    image->stride = (3 * width + 3) / 4 * 4;
    image->pixels = pixels;
}

int CHostImage_ApplyEffect(CHostImage* image, HMODULE plugin, int effect, const int32_t rect[4],
                           const int32_t offsets[3], const double exponents[3]) {
    static const char* const names[4] = {"Shade", "Sharp", "AdjustTone", "GammaEffect"};
    if (effect < 0 || effect > 3) return 0;
    /* Through void (*)(void), which converts to any function pointer type
     * without a warning; the export's real type comes from pixkit.h. */
    void (*const found)(void) = (void (*)(void))GetProcAddress(plugin, names[effect]);
    VANTOR* const target = (VANTOR*)image;
    if (found == NULL) return 0;
    switch (effect) {
    case 0:
    case 1:
        ((PixkitFilterFn)found)(target, rect[0], rect[1], rect[2], rect[3]);
        break;
    case 2:
        ((PixkitAdjustToneFn)found)(target, rect[0], rect[1], rect[2], rect[3], offsets[0], offsets[1],
                                    offsets[2]);
        break;
    default:
        ((PixkitGammaEffectFn)found)(target, rect[0], rect[1], rect[2], rect[3], exponents[0],
                                     exponents[1], exponents[2]);
        break;
    }
    return 1;
}
