// bmp.h - reading and writing uncompressed 24-bit BMP files in memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Pixels top row first, 3 bytes per pixel (blue, green, red), rows packed
// without padding.
struct Bitmap {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> pixels;
};

// Largest picture the demo accepts, in pixels (keeps every size in 32 bits).
constexpr int64_t kMaxBmpPixels = int64_t(64) << 20;

// Parses a whole BMP file. Accepts uncompressed 24-bit data, bottom-up or
// top-down, with row padding. On failure returns false and sets `error` to a
// short description ("not a BMP file", "truncated pixel data", ...).
bool ReadBmp(const uint8_t* data, size_t size, Bitmap& out, std::string& error);

// A bottom-up 24-bit BMP with a 40-byte info header and padded rows.
std::vector<uint8_t> WriteBmp(const Bitmap& bitmap);
