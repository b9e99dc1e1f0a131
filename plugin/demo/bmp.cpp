// bmp.cpp - the BMP reader refuses anything it cannot read exactly, and reads
// only within the given bytes (it is fuzzed).
#include "bmp.h"

#include <cstring>

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = 40;  // BITMAPINFOHEADER; V4/V5 headers are longer

uint32_t U16(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }
uint32_t U32(const uint8_t* p) { return U16(p) | U16(p + 2) << 16; }
int32_t S32(const uint8_t* p) { return int32_t(U32(p)); }

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

int64_t PaddedRow(int64_t width) { return (width * 3 + 3) / 4 * 4; }

}  // namespace

bool ReadBmp(const uint8_t* data, size_t size, Bitmap& out, std::string& error) {
    if (size < 2 || data[0] != 'B' || data[1] != 'M') {
        error = "not a BMP file";
        return false;
    }
    if (size < kFileHeaderSize + 4) {
        error = "truncated BMP header";
        return false;
    }
    const uint32_t pixelOffset = U32(data + 10);
    const uint32_t infoSize = U32(data + 14);
    if (infoSize < kInfoHeaderSize) {
        error = "unsupported BMP header (size " + std::to_string(infoSize) + ")";
        return false;
    }
    if (size < kFileHeaderSize + kInfoHeaderSize) {
        error = "truncated BMP header";
        return false;
    }
    const uint8_t* info = data + kFileHeaderSize;
    const int32_t width = S32(info + 4);
    const int32_t rawHeight = S32(info + 8);
    const uint32_t planes = U16(info + 12);
    const uint32_t bitsPerPixel = U16(info + 14);
    const uint32_t compression = U32(info + 16);

    if (bitsPerPixel != 24) {
        error = "not a 24-bit BMP (" + std::to_string(bitsPerPixel) + " bits per pixel)";
        return false;
    }
    if (compression != 0) {
        error = "compressed BMP not supported (compression " + std::to_string(compression) + ")";
        return false;
    }
    if (planes != 1) {
        error = "invalid BMP (" + std::to_string(planes) + " planes)";
        return false;
    }
    // A negative height means rows are stored top row first.
    const bool topDown = rawHeight < 0;
    const int64_t height = topDown ? -int64_t(rawHeight) : rawHeight;
    if (width <= 0 || height <= 0 || int64_t(width) * height > kMaxBmpPixels) {
        error = "unsupported BMP size " + std::to_string(width) + "x" + std::to_string(height);
        return false;
    }
    const int64_t rowBytes = PaddedRow(width);
    if (pixelOffset < kFileHeaderSize + kInfoHeaderSize || pixelOffset > size ||
        int64_t(size - pixelOffset) < rowBytes * height) {
        error = "truncated pixel data";
        return false;
    }

    out.width = width;
    out.height = int32_t(height);
    out.pixels.resize(size_t(width) * 3 * size_t(height));
    for (int64_t row = 0; row < height; ++row) {
        const int64_t fileRow = topDown ? row : height - 1 - row;
        std::memcpy(&out.pixels[size_t(row * width * 3)], data + pixelOffset + fileRow * rowBytes,
                    size_t(width) * 3);
    }
    return true;
}

std::vector<uint8_t> WriteBmp(const Bitmap& bitmap) {
    const int64_t rowBytes = PaddedRow(bitmap.width);
    const uint32_t imageBytes = uint32_t(rowBytes * bitmap.height);
    const uint32_t offset = kFileHeaderSize + kInfoHeaderSize;
    std::vector<uint8_t> out;
    out.reserve(offset + imageBytes);
    out.push_back('B');
    out.push_back('M');
    Put32(out, offset + imageBytes);  // file size
    Put32(out, 0);                    // reserved
    Put32(out, offset);
    Put32(out, kInfoHeaderSize);
    Put32(out, uint32_t(bitmap.width));
    Put32(out, uint32_t(bitmap.height));  // positive: bottom row first
    Put16(out, 1);                        // planes
    Put16(out, 24);                       // bits per pixel
    Put32(out, 0);                        // no compression
    Put32(out, imageBytes);
    Put32(out, 2835);  // 72 dpi, in pixels per metre
    Put32(out, 2835);
    Put32(out, 0);  // palette colours
    Put32(out, 0);  // important colours
    for (int32_t row = bitmap.height - 1; row >= 0; --row) {
        const uint8_t* src = &bitmap.pixels[size_t(row) * size_t(bitmap.width) * 3];
        out.insert(out.end(), src, src + size_t(bitmap.width) * 3);
        out.resize(out.size() + size_t(rowBytes - int64_t(bitmap.width) * 3), 0);
    }
    return out;
}
