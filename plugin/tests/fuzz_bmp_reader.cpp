// libFuzzer target for the BMP reader: any bytes must be either refused with
// a message or read into a picture that survives a write/read round trip.
#include <cstdlib>

#include "bmp.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Bitmap bitmap;
    std::string error;
    if (!ReadBmp(data, size, bitmap, error)) {
        if (error.empty()) std::abort();  // every refusal explains itself
        return 0;
    }
    if (bitmap.pixels.size() != size_t(bitmap.width) * size_t(bitmap.height) * 3) std::abort();
    const std::vector<uint8_t> written = WriteBmp(bitmap);
    Bitmap again;
    if (!ReadBmp(written.data(), written.size(), again, error)) std::abort();
    if (again.width != bitmap.width || again.height != bitmap.height || again.pixels != bitmap.pixels)
        std::abort();
    return 0;
}
