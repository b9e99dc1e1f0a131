// The window's fonts: the title font of lblTitle and the message font that
// every other control uses, both sized for the window's DPI.
#pragma once

#include "Handles.h"

namespace tessaly {

// "ＭＳ ゴシック", 12 pt, weight 400, Shift-JIS character set.
UniqueFont CreateTitleFont(UINT dpi);

// The system's message font, so that Japanese text shows on any system.
// `smaller` pixels less high for the report box, whose table must fit its
// width; none when that would be below 6 pt.
UniqueFont CreateMessageFont(UINT dpi, int smaller = 0);

}  // namespace tessaly
