// The main window's layout as data: every control with its class, style,
// position and size in twips, its tab index and the control it labels,
// plus the client size.
#pragma once

#include <windows.h>

#include <cstddef>
#include <vector>

namespace tessaly {

struct ControlLayout {
    int id;
    const wchar_t* windowClass;
    DWORD style;
    int left, top, width, height;  // twips from the client area's top-left
    int tabIndex;
    const wchar_t* caption;        // initial text
    int labels = 0;                // the id of the control this label names; 0 if none
};

inline constexpr int kClientWidthTwips = 8670;
inline constexpr int kClientHeightTwips = 6150;

// The controls as laid out (Timer1 has no window).
const ControlLayout* AboutControls(std::size_t& count);

// The control with this id; null if there is none.
const ControlLayout* AboutControl(int id);

// A push button, the kind Enter presses when it has the focus.
bool IsPushButton(const ControlLayout& c);

// The order in which to create the controls, which gives their z-order: by
// tab index, so that Tab follows it, except that a label comes right before
// the control it names. Screen readers name a control without a caption
// after the nearest label before it in z-order; labels are not tab stops,
// so where they stand does not change what Tab does.
std::vector<const ControlLayout*> AboutCreationOrder();

// 1440 twips per inch: 15 twips per pixel at 96 DPI.
int TwipsToPixels(int twips, UINT dpi);

}  // namespace tessaly
