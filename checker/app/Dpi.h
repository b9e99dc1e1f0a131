// DPI of a window and DPI-aware metrics, with fallbacks for systems older
// than the per-monitor functions (they are looked up at run time).
#pragma once

#include <windows.h>

namespace tessaly {

// The window's DPI; the screen's logical DPI where the system has no
// per-window DPI.
UINT WindowDpi(HWND hwnd);

// Outer window rectangle for a client rectangle at the given DPI.
void AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, UINT dpi);

// The system's message font, sized for the given DPI.
LOGFONTW MessageFontForDpi(UINT dpi);

// A system metric (SM_CXICON, ...) at the given DPI.
int SystemMetricForDpi(int index, UINT dpi);

}  // namespace tessaly
