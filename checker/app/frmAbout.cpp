#include "frmAbout.h"

#include "AboutContract.h"
#include "AppVersion.h"
#include "Dpi.h"
#include "Fonts.h"
#include "Layout.h"
#include "ReportBox.h"
#include "ReportColumns.h"
#include "SysInfoLauncher.h"
#include "WinText.h"
#include "resource.h"

#include <shlobj.h>

#include <algorithm>
#include <cmath>

namespace tessaly {
namespace {

using namespace about;

constexpr UINT_PTR kTimer1 = 1;
constexpr UINT kTimer1Interval = 1000;  // ms
constexpr int kSystemFolder = 0x8025;   // CSIDL_SYSTEM | CSIDL_FLAG_CREATE
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = 0;
constexpr wchar_t kWaiting[] = L"Wait Please...";


// Black text stands out from `background` when their contrast ratio, as
// readability guidelines measure it, is 4.5 or more: the background's
// relative luminance is then 0.175 or more.
bool BlackStandsOutOn(COLORREF background) {
    auto linear = [](BYTE channel) {
        const double c = channel / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    const double luminance = 0.2126 * linear(GetRValue(background)) + 0.7152 * linear(GetGValue(background)) +
                             0.0722 * linear(GetBValue(background));
    return (luminance + 0.05) / 0.05 >= 4.5;
}

// The title is black, unless black would not stand out: under high
// contrast, or on a dark button face, it takes the scheme's button text.
COLORREF TitleTextColour() {
    HIGHCONTRASTW contrast = {};
    contrast.cbSize = sizeof contrast;
    const bool highContrast = SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
                              (contrast.dwFlags & HCF_HIGHCONTRASTON);
    if (highContrast || !BlackStandsOutOn(GetSysColor(COLOR_BTNFACE))) return GetSysColor(COLOR_BTNTEXT);
    return RGB(0, 0, 0);
}

HICON LoadAppIcon(int size) {
    return static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_TESSALY), IMAGE_ICON, size, size, 0));
}

// An icon's width in pixels; 0 for no icon.
int IconWidth(HICON icon) {
    ICONINFO info = {};
    if (!icon || !GetIconInfo(icon, &info)) return 0;
    BITMAP mask = {};
    GetObjectW(info.hbmMask, sizeof mask, &mask);
    DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    return mask.bmWidth;
}

}  // namespace

const wchar_t* frmAbout::ClassName() const { return kClassName; }

bool frmAbout::Load() {
    runStateQuery_ = RegisterWindowMessageW(kRunStateQuery);
    // No class icons: the window sets its own for its DPI (ApplyDpi).
    return Create(L"", kStyle, kExStyle, nullptr, nullptr);
}

void frmAbout::Show(int showCommand) {
    ShowWindow(hwnd_, showCommand);
    UpdateWindow(hwnd_);
    SetFocus(Control(kCmdSysInfo));  // lowest tab index
    // The hourglass shows at once under a pointer that is not moving.
    if (waitCursor_ && CursorOverWindow()) SetCursor(LoadCursorW(nullptr, IDC_WAIT));
}

bool frmAbout::CursorOverWindow() const {
    POINT cursor = {};
    if (!GetCursorPos(&cursor)) return false;
    HWND under = WindowFromPoint(cursor);
    return under == hwnd_ || IsChild(hwnd_, under);
}

// Tab moves the focus through WM_NEXTDLGCTL, as in a dialog box, so that
// every move of the focus takes one road and ends in OnControlFocus. For a
// window that is not a dialog box, the dialog manager's own Tab may set the
// default button again by rules of its own after the focus has moved.
bool frmAbout::RouteDialogMessage(MSG& msg) {
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && IsChild(hwnd_, msg.hwnd) &&
        !(SendMessageW(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg)) &
          (DLGC_WANTTAB | DLGC_WANTALLKEYS))) {
        SendMessageW(hwnd_, WM_NEXTDLGCTL, GetKeyState(VK_SHIFT) < 0, 0);
        return true;
    }
    return IsDialogMessageW(hwnd_, &msg) != FALSE;
}

LRESULT frmAbout::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CREATE: return OnCreate();
    case WM_COMMAND: return OnCommand(LOWORD(wParam), HIWORD(wParam));
    case WM_TIMER: return OnTimer(wParam);
    case WM_CLOSE: return OnClose();
    case WM_ENDSESSION: return OnEndSession(wParam != FALSE);
    case WM_SETCURSOR: return OnSetCursor(wParam, lParam);
    case WM_CTLCOLORSTATIC: return OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), wParam, lParam);
    case WM_ACTIVATE: return OnActivate(wParam, lParam);
    case WM_NEXTDLGCTL: return OnNextDlgCtl(wParam, lParam);
    case DM_GETDEFID: return OnGetDefId();
    case WM_DPICHANGED: return OnDpiChanged(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE: return OnColoursChanged();
    default:
        if (msg == runStateQuery_ && msg != 0) return OnRunStateQuery(wParam);
        return DefWindowProcW(hwnd_, msg, wParam, lParam);
    }
}

LRESULT frmAbout::OnCreate() {
    titleColour_ = TitleTextColour();
    CreateControls();
    ApplyDpi(WindowDpi(hwnd_));
    StartUp();
    return 0;
}

void frmAbout::CreateControls() {
    for (const ControlLayout* c : AboutCreationOrder()) {
        CreateWindowExW(c->id == kText1 ? WS_EX_CLIENTEDGE : 0, c->windowClass, c->caption, c->style, 0, 0, 0, 0,
                        hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(c->id)), GetModuleHandleW(nullptr),
                        nullptr);
    }
    SendMessageW(Control(kText1), EM_SETLIMITTEXT, 0, 0);  // no limit on typing
}

void frmAbout::ApplyDpi(UINT dpi, const RECT* place) {
    dpi_ = dpi;  // what the labels size themselves by from now on
    // The controls get the new fonts and icon before the old ones are freed:
    // a control must never hold a deleted font or icon.
    UniqueFont titleFont = CreateTitleFont(dpi);
    UniqueFont messageFont = CreateMessageFont(dpi);
    UniqueIcon pictureIcon(LoadAppIcon(MulDiv(32, static_cast<int>(dpi), 96)));  // scaled with the picture box
    UniqueIcon bigIcon(LoadAppIcon(SystemMetricForDpi(SM_CXICON, dpi)));
    UniqueIcon smallIcon(LoadAppIcon(SystemMetricForDpi(SM_CXSMICON, dpi)));  // the title bar's
    std::size_t count = 0;
    const ControlLayout* controls = AboutControls(count);
    for (std::size_t i = 0; i < count; ++i) {
        const ControlLayout& c = controls[i];
        HWND control = Control(c.id);
        HFONT font = c.id == kLblTitle ? titleFont.Get() : messageFont.Get();
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        SetWindowPos(control, nullptr, TwipsToPixels(c.left, dpi), TwipsToPixels(c.top, dpi),
                     TwipsToPixels(c.width, dpi), TwipsToPixels(c.height, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
        if (lstrcmpW(c.windowClass, L"STATIC") == 0 && c.id != kPicIcon) FitLabel(c.id, dpi);
    }
    FitReportFont(dpi);
    SendMessageW(Control(kPicIcon), STM_SETICON, reinterpret_cast<WPARAM>(pictureIcon.Get()), 0);
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon.Get()));
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon.Get()));
    titleFont_ = std::move(titleFont);
    messageFont_ = std::move(messageFont);
    pictureIcon_ = std::move(pictureIcon);
    bigIcon_ = std::move(bigIcon);
    smallIcon_ = std::move(smallIcon);
    // The window's size rule: a client area of the layout's size at this DPI.
    const int clientWidth = TwipsToPixels(kClientWidthTwips, dpi);
    const int clientHeight = TwipsToPixels(kClientHeightTwips, dpi);
    RECT rect = {0, 0, clientWidth, clientHeight};
    AdjustWindowRectForDpi(rect, kStyle, kExStyle, dpi);
    SetWindowPos(hwnd_, nullptr, place ? place->left : 0, place ? place->top : 0, rect.right - rect.left,
                 rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE | (place ? 0 : SWP_NOMOVE));
    // The frame is drawn at the DPI the system gives the window, which is
    // not `dpi` when the message came from a program rather than a move to
    // another monitor: then the frame's own size is made up for.
    RECT client = {};
    GetClientRect(hwnd_, &client);
    if (client.right != clientWidth || client.bottom != clientHeight) {
        SetWindowPos(hwnd_, nullptr, 0, 0, rect.right - rect.left + clientWidth - client.right,
                     rect.bottom - rect.top + clientHeight - client.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    InvalidateRect(hwnd_, nullptr, TRUE);
}

// The report box takes the message font, a pixel smaller at a time until
// the table's widest row fits the box's text width: a row that wraps is no
// longer a table. The tab stops line the columns up in that font.
void frmAbout::FitReportFont(UINT dpi) {
    HWND text1 = Control(kText1);
    ReportTable table;
    for (int smaller = 0;; ++smaller) {
        UniqueFont font = CreateMessageFont(dpi, smaller);
        if (!font.Get()) break;  // as small as it gets: keep the last one
        SendMessageW(text1, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), FALSE);
        reportFont_ = std::move(font);  // frees the last report font, which the box no longer holds
        RECT text = {};  // the box's text area: its margins depend on the font
        SendMessageW(text1, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&text));
        WindowDC dc(text1);
        SelectedObject selected(dc.Get(), reportFont_.Get());
        table = LayOutReportTable(dc.Get(), text.right - text.left);
        if (table.fits) break;
    }
    // Each font above made the box break its lines with the tab stops it
    // held then, the last DPI's; new stops are only stored, the lines are
    // not broken again. So the font goes in once more after the stops.
    SendMessageW(text1, EM_SETTABSTOPS, table.tabStops.size(), reinterpret_cast<LPARAM>(table.tabStops.data()));
    SendMessageW(text1, WM_SETFONT, reinterpret_cast<WPARAM>(reportFont_.Get()), FALSE);
    InvalidateRect(text1, nullptr, TRUE);
}

void frmAbout::StartUp() {
    waitCursor_ = true;                                    // 1. hourglass
    SetWindowTextW(Control(kText1), kWaiting);             // 2.
    CentreOnScreen();                                      // 3.
    SetWindowTextW(hwnd_, kCaption);                       // 4.
    SetLabel(kLblVersion, VersionCaption());              // 5.
    SetLabel(kLblTitle, kCaption);                         // 6.
    char folder[MAX_PATH] = {};                            // 7. 260 NULs
    SHGetFolderPathA(hwnd_, kSystemFolder, nullptr, 0, folder);
    SystemFolderPath = AnsiToUtf8(folder, lstrlenA(folder));  // 8. up to the first NUL
    EnableTimer();                                         // 9.
}

void frmAbout::CentreOnScreen() {
    RECT outer = {};
    GetWindowRect(hwnd_, &outer);
    float width = static_cast<float>(outer.right - outer.left);
    float height = static_cast<float>(outer.bottom - outer.top);
    float left = (static_cast<float>(GetSystemMetrics(SM_CXSCREEN)) - width) / 2.0f;
    float top = (static_cast<float>(GetSystemMetrics(SM_CYSCREEN)) - height) / 2.0f;
    SetWindowPos(hwnd_, nullptr, static_cast<int>(left), static_cast<int>(top), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void frmAbout::SetLabel(int id, const std::wstring& text) {
    SetWindowTextW(Control(id), text.c_str());
    FitLabel(id, dpi_);
}

// Labels size themselves to their text (as auto-sized labels do): the
// layout's rectangle is the least they take, and they grow right and down
// when the font in use needs more room, up to the report box's right edge.
void frmAbout::FitLabel(int id, UINT dpi) {
    const ControlLayout* layout = AboutControl(id);
    HWND label = Control(id);
    if (!layout || !label) return;
    int width = TwipsToPixels(layout->width, dpi), height = TwipsToPixels(layout->height, dpi);
    int maxWidth = TwipsToPixels(kClientWidthTwips - 120 - layout->left, dpi);
    int length = GetWindowTextLengthW(label);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(label, &text[0], length + 1);
    RECT needed = {0, 0, 0, 0};
    {
        WindowDC dc(label);
        SelectedObject font(dc.Get(), reinterpret_cast<HGDIOBJ>(SendMessageW(label, WM_GETFONT, 0, 0)));
        DrawTextW(dc.Get(), text.c_str(), length, &needed, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    }
    width = std::max(width, std::min(static_cast<int>(needed.right) + 2, maxWidth));
    height = std::max(height, static_cast<int>(needed.bottom));
    // The status label's text changes once per row, mostly without a change
    // of size; moving a window costs a repaint of what lies around it.
    RECT now;
    GetWindowRect(label, &now);
    if (now.right - now.left == width && now.bottom - now.top == height) return;
    SetWindowPos(label, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void frmAbout::EnableTimer() {
    SetTimer(hwnd_, kTimer1, kTimer1Interval, nullptr);
}

LRESULT frmAbout::OnCommand(int id, int code) {
    if (code == BN_SETFOCUS || (id == kText1 && code == EN_SETFOCUS)) return OnControlFocus(id);
    if (code != BN_CLICKED) return 0;
    switch (id) {
    case kCommand1: EnableTimer(); break;
    case kCmdOK:
    case IDCANCEL: SendMessageW(hwnd_, WM_CLOSE, 0, 0); break;
    case kCmdSysInfo: StartSysInfo(hwnd_); break;
    default: break;
    }
    return 0;
}

// Enter presses the push button that has the focus, however it got there,
// and that button shows as the default (a thick frame) while it has it;
// with the focus in the report box, Close is the default again. A dialog
// box moves the default style so by itself; this window is not one. Close
// stays the window's default button (DM_GETDEFID) all along.
LRESULT frmAbout::OnControlFocus(int id) {
    const ControlLayout* focused = AboutControl(id);
    const int defaultId = focused && IsPushButton(*focused) ? id : kCmdOK;
    std::size_t count = 0;
    const ControlLayout* controls = AboutControls(count);
    for (std::size_t i = 0; i < count; ++i) {
        if (!IsPushButton(controls[i])) continue;
        HWND button = Control(controls[i].id);
        const DWORD type = controls[i].id == defaultId ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        if ((static_cast<DWORD>(GetWindowLongW(button, GWL_STYLE)) & BS_TYPEMASK) == type) continue;
        SendMessageW(button, BM_SETSTYLE, (LOWORD(controls[i].style) & ~BS_TYPEMASK) | type, TRUE);
    }
    return 0;
}

LRESULT frmAbout::OnTimer(UINT_PTR id) {
    // A tick while a run yields to the message loop must not nest a second run.
    if (id != kTimer1 || running_) return 0;
    running_ = true;
    ++runsStarted_;
    TimedCheckPlatform timed(platform_);
    RunCheck(SystemFolderPath, *this, timed);
    lastRunTimes_ = timed.Times();
    ++runsFinished_;
    running_ = false;
    return 0;
}

LRESULT frmAbout::OnClose() { EndProgram(); }

LRESULT frmAbout::OnEndSession(bool ending) {
    if (ending) EndProgram();
    return 0;
}

void frmAbout::EndProgram() {
    // Ends at once, also from inside a run's nested message loop: nothing
    // after this returns to the run or to the outer loop.
    DestroyWindow(hwnd_);
    ExitProcess(0);
}

LRESULT frmAbout::OnSetCursor(WPARAM wParam, LPARAM lParam) {
    if (waitCursor_ && LOWORD(lParam) == HTCLIENT) {
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        return TRUE;
    }
    return DefWindowProcW(hwnd_, WM_SETCURSOR, wParam, lParam);
}

LRESULT frmAbout::OnCtlColorStatic(HDC dc, HWND control, WPARAM wParam, LPARAM lParam) {
    LRESULT brush = DefWindowProcW(hwnd_, WM_CTLCOLORSTATIC, wParam, lParam);
    if (control == Control(kLblTitle)) SetTextColor(dc, titleColour_);
    return brush;
}

LRESULT frmAbout::OnActivate(WPARAM wParam, LPARAM lParam) {
    // Keep the focused control across switches to other programs.
    if (LOWORD(wParam) == WA_INACTIVE) {
        lastFocus_ = GetFocus();
    } else if (lastFocus_ && IsChild(hwnd_, lastFocus_)) {
        SetFocus(lastFocus_);
        return 0;
    }
    return DefWindowProcW(hwnd_, WM_ACTIVATE, wParam, lParam);
}

// Sent for Tab by RouteDialogMessage and by the multi-line report box, and
// by the report box for Enter, to hand it to the default button.
LRESULT frmAbout::OnNextDlgCtl(WPARAM wParam, LPARAM lParam) {
    HWND focus = GetFocus();
    HWND next = LOWORD(lParam) ? reinterpret_cast<HWND>(wParam)
                               : GetNextDlgTabItem(hwnd_, IsChild(hwnd_, focus) ? focus : nullptr, wParam != 0);
    if (!next) return 0;
    // As in a dialog box, a text box reached so has all its text selected.
    if (SendMessageW(next, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageW(next, EM_SETSEL, 0, -1);
    SetFocus(next);
    return 0;
}

LRESULT frmAbout::OnGetDefId() { return MAKELRESULT(kCmdOK, DC_HASDEFID); }

// Windows suggests a rectangle for the new DPI. Its top-left is where the
// window goes; its size is the window's scaled by the change of DPI, while
// the window's own size follows from its client area in twips, which can
// differ from the scaled one by a pixel of rounding: that size is kept.
// Without a suggestion the window stays where it is.
LRESULT frmAbout::OnDpiChanged(UINT dpi, const RECT* suggested) {
    ApplyDpi(dpi, suggested);
    return 0;
}

// The controls take the system's colours when they paint; the title's may
// change from black to the scheme's button text. It is worked out here, when
// the colours or the contrast setting change, not on every paint.
LRESULT frmAbout::OnColoursChanged() {
    titleColour_ = TitleTextColour();
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    return 0;
}

LRESULT frmAbout::OnRunStateQuery(WPARAM item) {
    switch (item) {
    case kRunsFinished: return static_cast<LRESULT>(runsFinished_);
    case kLastRunMicroseconds: return static_cast<LRESULT>(lastRunTimes_.wholeRun);
    case kLastRunPlatformMicroseconds: return static_cast<LRESULT>(lastRunTimes_.platformWork);
    case kSmallIconWidth: return IconWidth(reinterpret_cast<HICON>(SendMessageW(hwnd_, WM_GETICON, ICON_SMALL, 0)));
    default: return static_cast<LRESULT>(runsStarted_);
    }
}

HWND frmAbout::Control(int id) const { return GetDlgItem(hwnd_, id); }

void frmAbout::AppendReportText(const std::string& text) { AppendToReportBox(Control(kText1), Utf8ToWide(text)); }

void frmAbout::SetReportText(const std::string& text) {
    HWND text1 = Control(kText1);
    SetWindowTextW(text1, Utf8ToWide(text).c_str());
    // Repaint the whole box, margins included: some edit controls leave the
    // strip above the first line unpainted after the text is replaced.
    InvalidateRect(text1, nullptr, TRUE);
}

void frmAbout::SetStatusText(const std::string& text) { SetLabel(kLabel2, Utf8ToWide(text)); }

void frmAbout::DisableTimer() { KillTimer(hwnd_, kTimer1); }

void frmAbout::RestoreDefaultPointer() {
    waitCursor_ = false;
    if (CursorOverWindow()) SetCursor(LoadCursorW(nullptr, IDC_ARROW));
}

void frmAbout::ProcessPendingMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) ExitProcess(static_cast<UINT>(msg.wParam));
        if (!RouteDialogMessage(msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

}  // namespace tessaly
