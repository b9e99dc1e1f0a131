// byte_tables.h - one 256-entry table per byte position of a pixel.
//
// A byte has only 256 values, so a per-byte rule evaluated once per value
// and position, then looked up for every pixel, gives the same bytes as
// evaluating it for every byte of the walk, far more cheaply. The tables
// live inside the callback, on the export's stack.
#pragma once

#include <cstdint>

struct ByteTables {
    uint8_t byte2[256];
    uint8_t byte1[256];
    uint8_t byte0[256];

    // rule(value, position) gives the new byte for `value` at position 2, 1 or 0.
    template <typename Rule>
    void Fill(Rule rule) {
        for (int value = 0; value < 256; ++value) {
            byte2[value] = rule(uint8_t(value), 2);
            byte1[value] = rule(uint8_t(value), 1);
            byte0[value] = rule(uint8_t(value), 0);
        }
    }

    void Apply(uint8_t* pixel) const {
        pixel[2] = byte2[pixel[2]];
        pixel[1] = byte1[pixel[1]];
        pixel[0] = byte0[pixel[0]];
    }
};
