#include "Layout.h"

#include "AboutContract.h"

#include <algorithm>

namespace tessaly {
namespace {

using namespace about;

// BS_NOTIFY: a button tells the window when it gains the focus, so that
// the default button can follow the focus.
constexpr DWORD kButton = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_NOTIFY;
constexpr DWORD kLabel = WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX;

// The notice under the title, on one line.
constexpr wchar_t kNotice[] = L"Runtime files of the system folder";

const ControlLayout kControls[] = {
    {kCommand1, L"BUTTON", kButton | BS_PUSHBUTTON, 7200, 1080, 1305, 255, 2, L"Refreshed"},
    {kText1, L"EDIT",
     WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_LEFT,
     120, 1440, 8415, 4335, 8, L""},
    {kPicIcon, L"STATIC", WS_CHILD | WS_VISIBLE | SS_ICON | SS_CENTERIMAGE | SS_REALSIZEIMAGE, 240, 240,
     480, 480, 3, L""},
    {kCmdOK, L"BUTTON", kButton | BS_DEFPUSHBUTTON, 7200, 600, 1305, 345, 1, L"Close"},
    {kCmdSysInfo, L"BUTTON", kButton | BS_PUSHBUTTON, 7200, 120, 1305, 345, 0, L"System info"},
    {kLabel3, L"STATIC", kLabel, 1080, 600, 4170, 180, 9, kNotice},
    {kLabel2, L"STATIC", kLabel, 120, 5880, 7455, 255, 7, L""},
    {kLabel1, L"STATIC", kLabel, 120, 1200, 1215, 180, 6, L"Runtimefile List", kText1},
    {kLblTitle, L"STATIC", kLabel, 930, 240, 3525, 360, 4, L""},
    {kLblVersion, L"STATIC", kLabel, 4650, 360, 1365, 225, 5, L""},
};

}  // namespace

const ControlLayout* AboutControls(std::size_t& count) {
    count = sizeof kControls / sizeof kControls[0];
    return kControls;
}

const ControlLayout* AboutControl(int id) {
    for (const ControlLayout& c : kControls) {
        if (c.id == id) return &c;
    }
    return nullptr;
}

bool IsPushButton(const ControlLayout& c) {
    const DWORD type = c.style & BS_TYPEMASK;
    return lstrcmpW(c.windowClass, L"BUTTON") == 0 && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
}

std::vector<const ControlLayout*> AboutCreationOrder() {
    std::vector<const ControlLayout*> order;
    for (const ControlLayout& c : kControls) {
        if (!c.labels) order.push_back(&c);
    }
    std::stable_sort(order.begin(), order.end(),
                     [](const ControlLayout* a, const ControlLayout* b) { return a->tabIndex < b->tabIndex; });
    for (const ControlLayout& label : kControls) {
        if (!label.labels) continue;
        auto named = std::find_if(order.begin(), order.end(),
                                  [&](const ControlLayout* c) { return c->id == label.labels; });
        order.insert(named, &label);
    }
    return order;
}

int TwipsToPixels(int twips, UINT dpi) {
    return MulDiv(twips, static_cast<int>(dpi), 1440);
}

}  // namespace tessaly
