// clamp_byte.h - saturate a signed value to a byte.
#pragma once

#include <cstdint>

// Below 0 gives 0, above 255 gives 255, anything else itself.
inline uint8_t ClampByte(int32_t value) {
    return value < 0 ? 0 : value > 255 ? 255 : static_cast<uint8_t>(value);
}
