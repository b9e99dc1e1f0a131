// image_convert.h - copy pixels between the host's image and the model's.
#pragma once

#include <cstring>

#include "host/vantor.h"
#include "reference_model.h"

inline void CopyToHost(const ref::Image& from, VANTOR& to) {
    for (int y = 0; y < from.height; ++y)
        std::memcpy(to.PixelAt(0, y), &from.bytes[size_t(y) * from.stride], size_t(from.width) * 3);
}

inline ref::Image CopyFromHost(VANTOR& from) {
    ref::Image out(from.Width(), from.Height());
    for (int y = 0; y < out.height; ++y)
        std::memcpy(&out.bytes[size_t(y) * out.stride], from.PixelAt(0, y), size_t(out.width) * 3);
    return out;
}
