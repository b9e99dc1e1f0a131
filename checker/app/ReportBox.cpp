#include "ReportBox.h"

#include <cstring>

namespace tessaly {
namespace {

SCROLLBARINFO VerticalBar(HWND box) {
    SCROLLBARINFO bar = {};
    bar.cbSize = sizeof bar;
    GetScrollBarInfo(box, OBJID_VSCROLL, &bar);
    return bar;
}

bool LooksTheSame(const SCROLLBARINFO& a, const SCROLLBARINFO& b) {
    return EqualRect(&a.rcScrollBar, &b.rcScrollBar) && a.xyThumbTop == b.xyThumbTop &&
           a.xyThumbBottom == b.xyThumbBottom && std::memcmp(a.rgstate, b.rgstate, sizeof a.rgstate) == 0;
}

// The view at the top, the caret at the start and the text ending with a
// line break: appending then changes nothing on screen but the new lines.
bool AtRest(HWND box, int end) {
    DWORD start = 0, stop = 0;
    SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&stop));
    const LRESULT lastLine = SendMessageW(box, EM_LINEFROMCHAR, end, 0);
    return start == 0 && stop == 0 && SendMessageW(box, EM_GETFIRSTVISIBLELINE, 0, 0) == 0 &&
           SendMessageW(box, EM_LINEINDEX, lastLine, 0) == end;
}

}  // namespace

void AppendToReportBox(HWND box, const std::wstring& text) {
    const SCROLLBARINFO barBefore = VerticalBar(box);
    const int end = GetWindowTextLengthW(box);
    const bool atRest = AtRest(box, end);

    // Replacing the empty selection at the end lays out only the new lines;
    // setting the whole text would lay out every line again for each row.
    // Meanwhile the box is marked hidden (what WM_SETREDRAW does for windows
    // that leave it to DefWindowProc): the edit control would otherwise
    // paint its scroll bar at each step, scrolled to the end and back.
    const LONG style = GetWindowLongW(box, GWL_STYLE);
    SetWindowLongW(box, GWL_STYLE, style & ~WS_VISIBLE);
    SendMessageW(box, EM_SETSEL, end, end);
    SendMessageW(box, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageW(box, EM_SETSEL, 0, 0);
    SendMessageW(box, EM_SCROLLCARET, 0, 0);
    SetWindowLongW(box, GWL_STYLE, style);

    // Whatever the control painted while hidden is lost: when the user had
    // scrolled, selected or typed at the end, the view, the caret or lines
    // above the new ones moved, so the whole box is painted again.
    if (!atRest) {
        RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
        return;
    }
    // Frame only: a WM_PAINT would make the box lay out its visible lines
    // again even when none of them changed.
    const SCROLLBARINFO barAfter = VerticalBar(box);
    if (!LooksTheSame(barBefore, barAfter)) {
        RECT bar = barAfter.rcScrollBar;  // screen coordinates, as the system placed it at this DPI
        MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&bar), 2);
        RedrawWindow(box, &bar, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASENOW);
    }
    RECT client;
    GetClientRect(box, &client);
    // The new lines, from the old end down, when they are in view.
    const LRESULT position = SendMessageW(box, EM_POSFROMCHAR, end, 0);
    const int top = static_cast<short>(HIWORD(position));
    if (position != -1 && top < client.bottom) {
        RECT fresh = {client.left, top, client.right, client.bottom};
        InvalidateRect(box, &fresh, TRUE);
    }
}

}  // namespace tessaly
