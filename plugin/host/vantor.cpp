// vantor.cpp - our stand-in for the host image library (see plugin/README.md).
#include "vantor.h"

#include <algorithm>
#include <cstring>

namespace {

// Rows are padded to 4 bytes, as in a 24-bit DIB.
int64_t RowStride(int64_t width) { return (width * 3 + 3) / 4 * 4; }

// Images larger than this are refused (made empty) so that every byte
// offset fits comfortably in 32 bits.
constexpr int64_t kMaxImageBytes = int64_t(1) << 30;

// Large buffers start at the same offset within a 4 KiB page. If the copy
// Synthesize reads from did too, every read of a source pixel would share
// its low 12 address bits with the store to the destination pixel just
// before it, and the processor would stall on the false match ("4K
// aliasing"). Starting the copy this many bytes into its buffer avoids that.
constexpr size_t kSnapshotSkew = 1088;

// Half-open span [begin, end) of one axis of a rectangle, clipped to [0, size).
struct Span {
    int64_t begin;
    int64_t end;
    bool empty() const { return end <= begin; }
};

Span Clip(int32_t origin, int32_t extent, int32_t size) {
    const int64_t begin = std::max<int64_t>(origin, 0);
    const int64_t end = std::min<int64_t>(int64_t(origin) + extent, size);
    return {begin, end};
}

}  // namespace

VANTOR::VANTOR(int32_t width, int32_t height) : width_(0), height_(0), stride_(0) {
    if (width < 1 || height < 1) return;
    const int64_t stride = RowStride(width);
    if (stride > kMaxImageBytes / height) return;  // stride * height, without overflow
    width_ = width;
    height_ = height;
    stride_ = static_cast<int32_t>(stride);
    pixels_.assign(static_cast<size_t>(stride * height), 0);
}

VANTOR::~VANTOR() = default;

void VANTOR::GetInfo(ImageInfo* info) {
    if (info == nullptr) return;
    info->width = width_;
    info->height = height_;
    info->bitsPerPixel = 24;
    info->stride = stride_;
    info->imageSize = stride_ * height_;
    info->reserved = 0;
}

void VANTOR::Replace(int32_t x, int32_t y, int32_t width, int32_t height,
                     ReplaceCallback* callback) {
    const Span cols = Clip(x, width, width_);
    const Span rows = Clip(y, height, height_);
    if (callback == nullptr || cols.empty() || rows.empty()) return;

    callback->StartEnum(this);
    for (int64_t row = rows.begin; row < rows.end; ++row) {
        uint8_t* pixel = pixels_.data() + row * stride_ + cols.begin * 3;
        for (int64_t col = cols.begin; col < cols.end; ++col, pixel += 3)
            callback->ReplacePixel(int32_t(col), int32_t(row), pixel);
    }
    callback->EndEnum(this);
}

void VANTOR::Synthesize(int32_t x, int32_t y, int32_t width, int32_t height,
                        VANTOR* source, int32_t sx, int32_t sy,
                        SynthesizeCallback* callback, int32_t /*reserved*/) {
    if (callback == nullptr || source == nullptr) return;

    // Clip to the destination, then to the part that maps into the source:
    // destination (col, row) reads source (col + dx, row + dy).
    const int64_t dx = int64_t(sx) - x;
    const int64_t dy = int64_t(sy) - y;
    Span cols = Clip(x, width, width_);
    Span rows = Clip(y, height, height_);
    cols.begin = std::max(cols.begin, -dx);
    cols.end = std::min(cols.end, source->width_ - dx);
    rows.begin = std::max(rows.begin, -dy);
    rows.end = std::min(rows.end, source->height_ - dy);
    if (cols.empty() || rows.empty()) return;

    // Reading the image while writing it would let already-filtered pixels
    // leak into their neighbours. Copy the source rows the walk can reach
    // (one extra above and below) and read from the copy instead.
    const int64_t stride = source->stride_;
    const uint8_t* sourceRows = source->pixels_.data();  // holds source row 0
    int64_t firstRow = 0;
    if (source == this) {
        firstRow = std::max<int64_t>(rows.begin + dy - 1, 0);
        const int64_t lastRow = std::min<int64_t>(rows.end + dy, height_ - 1);
        const size_t bytes = static_cast<size_t>((lastRow - firstRow + 1) * stride);
        if (snapshot_.size() < kSnapshotSkew + bytes) snapshot_.resize(kSnapshotSkew + bytes);
        uint8_t* copy = snapshot_.data() + kSnapshotSkew;
        std::memcpy(copy, pixels_.data() + firstRow * stride, bytes);
        sourceRows = copy;
    }

    callback->lowerX = 0;
    callback->lowerY = 0;
    callback->upperX = source->width_ - 1;
    callback->upperY = source->height_ - 1;
    callback->StartEnum(this, source);
    for (int64_t row = rows.begin; row < rows.end; ++row) {
        const int64_t srcRow = row + dy;
        uint8_t* dst = pixels_.data() + row * stride_ + cols.begin * 3;
        const uint8_t* src = sourceRows + (srcRow - firstRow) * stride + (cols.begin + dx) * 3;
        for (int64_t col = cols.begin; col < cols.end; ++col, dst += 3, src += 3)
            callback->SynthesizePixel(int32_t(col), int32_t(row), dst,
                                      int32_t(col + dx), int32_t(srcRow), src);
    }
    callback->EndEnum(this, source);
}
