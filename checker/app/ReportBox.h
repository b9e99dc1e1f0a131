// The report box (Text1): adding rows at the end of its text while the run
// fills it, at the cost of the new lines only.
#pragma once

#include <windows.h>

#include <string>

namespace tessaly {

// Appends text at the end of the box. The box then looks as if its whole
// text had been set: caret and view at the top. The lines that came into
// view are painted at the next yield; the scroll bar at once, and only when
// its thumb moved or changed size. When the user had moved the view or the
// caret, or typed at the end, the whole box is painted at the next yield.
void AppendToReportBox(HWND box, const std::wstring& text);

}  // namespace tessaly
