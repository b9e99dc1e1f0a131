// The main window's layout as data: every control with its class, style,
// position and size in twips and its tab index, plus the client size.
#pragma once

#include <windows.h>

#include <cstddef>

namespace tessaly {

struct ControlLayout {
    int id;
    const wchar_t* windowClass;
    DWORD style;
    int left, top, width, height;  // twips from the client area's top-left
    int tabIndex;
    const wchar_t* caption;        // initial text
};

inline constexpr int kClientWidthTwips = 8670;
inline constexpr int kClientHeightTwips = 6150;

// The controls in the window's creation order (Timer1 has no window).
const ControlLayout* AboutControls(std::size_t& count);

// 1440 twips per inch: 15 twips per pixel at 96 DPI.
int TwipsToPixels(int twips, UINT dpi);

}  // namespace tessaly
