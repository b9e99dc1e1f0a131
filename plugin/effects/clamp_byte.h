// clamp_byte.h - saturate a signed value to a byte.
#pragma once

#include <cstdint>

// Below 0 gives 0, above 255 gives 255, anything else itself.
// Written as min/max so compilers emit conditional moves: out-of-range
// values are common under Sharp and would defeat branch prediction.
inline uint8_t ClampByte(int32_t value) {
    const int32_t low = value < 0 ? 0 : value;
    return static_cast<uint8_t>(low > 255 ? 255 : low);
}
