// byte_tables.h - one 256-entry table per byte position of a pixel, and the
// replace callback of the tone effects that rewrites pixels through them.
//
// A byte has only 256 values, so a per-byte rule evaluated once per value
// and position, then looked up for every pixel, gives the same bytes as
// evaluating it for every byte of the walk, far more cheaply. The tables
// live inside the callback, on the export's stack.
#pragma once

#include <cstdint>

#include "host/vantor.h"

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

// A tone effect's callback: its three parameters, for byte 2, byte 1 and
// byte 0 in this order after the base's data, and the tables that Rule(byte,
// parameter) fills once when it is built. Each effect's file gives its Rule
// and names its callback. Rule is a template argument, so filling the tables
// calls it directly, and ReplacePixel only looks the three bytes up.
template <typename Parameter, uint8_t (*Rule)(uint8_t, Parameter)>
class ByteTableCallback : public ReplaceCallback {
public:
    ByteTableCallback(Parameter parameter2, Parameter parameter1, Parameter parameter0)
        : parameter2_(parameter2), parameter1_(parameter1), parameter0_(parameter0) {
        const Parameter byPosition[3] = {parameter0_, parameter1_, parameter2_};
        tables_.Fill([&](uint8_t value, int position) { return Rule(value, byPosition[position]); });
    }

    void ReplacePixel(int32_t, int32_t, uint8_t* pixel) override { tables_.Apply(pixel); }

private:
    Parameter parameter2_;  // fields in parameter order: byte 2, byte 1, byte 0
    Parameter parameter1_;
    Parameter parameter0_;
    ByteTables tables_;  // the rule looked up per byte position
};
