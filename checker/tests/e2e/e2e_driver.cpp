// End-to-end driver: starts Tessaly.exe in the test's Wine prefix, drives
// its window through window messages and checks what it shows.
//
//   e2e_driver <scenario> <ja|en> <Tessaly.exe> <fixture folder> <marker.exe>
//
//   e2e_driver wait-first-run    (used by scripts/run.sh)
//
// Every scenario seeds the system folder first. The exit code is 0 when
// every check held, 1 otherwise; each failed check is printed.
#include "AboutContract.h"
#include "ExpectedReport.h"
#include "SeededFolder.h"
#include "TessalyProcess.h"
#include "WinText.h"

#include <windows.h>
#include <oleacc.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

using namespace e2e;
using namespace tessaly::about;
using tessaly::WideToUtf8;

namespace {

int failures = 0;

bool Check(bool condition, const char* what) {
    if (!condition) {
        ++failures;
        std::printf("FAILED: %s\n", what);
        std::fflush(stdout);
    }
    return condition;
}

bool CheckText(const std::wstring& actual, const std::wstring& expected, const char* what) {
    if (actual == expected) return true;
    ++failures;
    std::printf("FAILED: %s\n", what);
    std::size_t line = 1, at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) {
        if (actual[at] == L'\n') ++line;
        ++at;
    }
    auto lineAround = [&](const std::wstring& text) {
        std::size_t begin = text.rfind(L'\n', at == 0 ? 0 : at - 1);
        begin = begin == std::wstring::npos ? 0 : begin + 1;
        std::size_t end = text.find(L'\r', at);
        return WideToUtf8(text.substr(begin, end == std::wstring::npos ? std::wstring::npos : end - begin));
    };
    std::printf("  first difference in line %zu (lengths %zu and %zu)\n  actual:   [%s]\n  expected: [%s]\n", line,
                actual.size(), expected.size(), lineAround(actual).c_str(), lineAround(expected).c_str());
    std::fflush(stdout);
    return false;
}

struct Context {
    bool japanese = false;
    std::wstring exe, fixtures, marker;
    std::wstring expected;  // the report for the seeded folder
};

bool StartsWith(const std::wstring& text, const std::wstring& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

// Waits until `runs` runs have finished; true when no more than that did.
bool WaitFinished(TessalyProcess& app, long runs) {
    app.WaitFor("the run to finish", 30, [&] { return app.RunsFinished() >= runs; });
    return app.RunsFinished() == runs;
}

// Waits until the first run is in progress with at least 20 rows, and so
// 20 yields, still to come.
void WaitMidRun(TessalyProcess& app) {
    auto rowsToCome = [&](const std::wstring& status) {
        const auto& rows = Catalogue();
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (status == L"SearchFile:" + SystemFolder() + L"\\" + rows[i].name) return rows.size() - i;
        }
        return std::size_t{0};
    };
    app.WaitFor("the first run with more than 20 rows to come", 30, [&] {
        return app.RunsStarted() == 1 && rowsToCome(app.Text(kLabel2)) > 20 && app.RunsFinished() == 0;
    });
}

// The first run has not finished yet. Asked after a sent message has been
// handled, it proves the message was handled during the run: the run was
// already in progress before the message was sent (WaitMidRun).
bool StillInFirstRun(const TessalyProcess& app) { return app.RunsFinished() == 0; }

void CloseAndExpectExit(TessalyProcess& app, const char* what) {
    app.Close();
    Check(app.WaitForExit(30000), what);
}

struct BoxSearch {
    DWORD pid;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectBox(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<BoxSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    wchar_t cls[32] = {};
    GetClassNameW(hwnd, cls, 32);
    if (owner == search->pid && lstrcmpW(cls, L"#32770") == 0 && IsWindowVisible(hwnd)) search->found.push_back(hwnd);
    return TRUE;
}

// The visible message boxes of the process.
std::vector<HWND> MessageBoxes(DWORD pid) {
    BoxSearch search{pid, {}};
    EnumWindows(CollectBox, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

BOOL CALLBACK CollectText(HWND hwnd, LPARAM param) {
    wchar_t text[256] = {};
    DWORD_PTR n = 0;
    SendMessageTimeoutW(hwnd, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &n);
    reinterpret_cast<std::vector<std::wstring>*>(param)->push_back(text);
    return TRUE;
}

std::vector<std::wstring> ChildTexts(HWND parent) {
    std::vector<std::wstring> texts;
    EnumChildWindows(parent, CollectText, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

const std::wstring kSearchPath = L"SearchPath\xFF1A";

// The window's layout in twips. Labels may grow to their text.
struct ExpectedControl {
    int id;
    int left, top, width, height;  // twips
    bool label;
};

const ExpectedControl kLayout[] = {
    {kCommand1, 7200, 1080, 1305, 255, false}, {kText1, 120, 1440, 8415, 4335, false},
    {kPicIcon, 240, 240, 480, 480, false},     {kCmdOK, 7200, 600, 1305, 345, false},
    {kCmdSysInfo, 7200, 120, 1305, 345, false}, {kLabel3, 1080, 600, 4170, 180, true},
    {kLabel2, 120, 5880, 7455, 255, true},     {kLabel1, 120, 1200, 1215, 180, true},
    {kLblTitle, 930, 240, 3525, 360, true},    {kLblVersion, 4650, 360, 1365, 225, true},
};

// The DPI that run-e2e.sh sets in the prefix for the scenario.
int PrefixDpi() {
    wchar_t dpi[8] = L"96";
    GetEnvironmentVariableW(L"TESSALY_E2E_DPI", dpi, 8);
    return _wtoi(dpi);
}

void CheckLayout(const TessalyProcess& app, int dpi) {
    // Its manifest makes the driver per-monitor aware, so that it reads physical pixels, not ones scaled to 96 DPI.
    Check(IsProcessDPIAware() != FALSE, "the driver is DPI aware, as its manifest says");
    auto px = [&](int twips) { return MulDiv(twips, dpi, 1440); };
    RECT client = {};
    GetClientRect(app.Window(), &client);
    Check(client.right == px(8670) && client.bottom == px(6150), "client area 8670 x 6150 twips at the window's DPI");
    for (const ExpectedControl& e : kLayout) {
        RECT r = {};
        GetWindowRect(app.Control(e.id), &r);
        MapWindowPoints(nullptr, app.Window(), reinterpret_cast<POINT*>(&r), 2);
        bool placed = r.left == px(e.left) && r.top == px(e.top);
        int width = r.right - r.left, height = r.bottom - r.top;
        bool sized = e.label ? width >= px(e.width) && height >= px(e.height)
                             : width == px(e.width) && height == px(e.height);
        if (!placed || !sized) {
            std::printf("  control %d at (%ld,%ld) %dx%d\n", e.id, r.left, r.top, width, height);
        }
        Check(placed && sized, "control placed and sized as laid out");
    }
}

void CheckCentred(const TessalyProcess& app) {
    RECT outer = {};
    GetWindowRect(app.Window(), &outer);
    int dx = (GetSystemMetrics(SM_CXSCREEN) - (outer.right - outer.left)) / 2 - outer.left;
    int dy = (GetSystemMetrics(SM_CYSCREEN) - (outer.bottom - outer.top)) / 2 - outer.top;
    Check(dx >= -1 && dx <= 1 && dy >= -1 && dy <= 1, "window centred on the screen");
}

// Report lines that the box shows on more than one display line, each
// printed; the Japanese notes ("*1:...", "*2:..."), prose, may wrap.
int WrappedTableLines(HWND box, const std::wstring& report) {
    int wrapped = 0;
    for (std::size_t at = 0, end = 0; at < report.size(); at = end + 2) {
        end = std::min(report.find(L"\r\n", at), report.size());
        if (end > at && report[at] != L'*' &&
            SendMessageW(box, EM_LINEFROMCHAR, at, 0) != SendMessageW(box, EM_LINEFROMCHAR, end - 1, 0)) {
            std::printf("  wraps: [%s]\n", WideToUtf8(report.substr(at, end - at)).c_str());
            ++wrapped;
        }
    }
    return wrapped;
}

// What screen readers call a window: its client object's name in Active
// Accessibility, which for an edit box is the name of its label.
std::wstring AccessibleName(HWND window) {
    IAccessible* accessible = nullptr;
    BSTR name = nullptr;
    VARIANT self = {};
    self.vt = VT_I4;  // CHILDID_SELF
    void** out = reinterpret_cast<void**>(&accessible);
    if (SUCCEEDED(AccessibleObjectFromWindow(window, OBJID_CLIENT, IID_IAccessible, out))) {
        accessible->get_accName(self, &name);
        accessible->Release();
    }
    const std::wstring text = name ? std::wstring(name, SysStringLen(name)) : L"<no name>";
    SysFreeString(name);
    return text;
}

int FirstRun(Context& c) {
    TessalyProcess app(c.exe);
    if (!Check(app.Start(), "Tessaly starts and shows its window")) return 1;
    CheckText(app.Text(kText1), L"Wait Please...", "the report box waits before the first run");
    CheckText(app.Text(kLabel2), L"", "the status line is empty before the first run");
    Check(app.RunsStarted() == 0, "no run right after start-up");
    wchar_t caption[64] = {};
    GetWindowTextW(app.Window(), caption, 64);
    CheckText(caption, L"Tessaly", "window caption");
    CheckText(app.Text(kLblTitle), L"Tessaly", "title label");
    CheckText(app.Text(kLblVersion), L"Ver. 3.1.0", "version label from the version resource");
    CheckText(app.Text(kLabel1), L"Runtimefile List", "report heading");
    CheckText(app.Text(kCmdSysInfo), L"System info", "System info button");
    CheckText(app.Text(kCmdOK), L"Close", "Close button");
    CheckText(app.Text(kCommand1), L"Refreshed", "Refreshed button");
    LONG style = GetWindowLongW(app.Window(), GWL_STYLE);
    Check((style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) == 0, "no minimize or maximize button");
    Check(GetDlgCtrlID(app.FocusedControl()) == kCmdSysInfo, "System info has the focus at start");
    CheckLayout(app, PrefixDpi());
    CheckCentred(app);

    app.WaitFor("the first run to start", 30, [&] { return app.RunsStarted() >= 1; });
    double startedAfter = app.SecondsSinceWindow();
    std::printf("first run started %.2f s after the window appeared\n", startedAfter);
    Check(startedAfter > 0.5, "the first run waits for the timer (about one second)");
    std::wstring folder = SystemFolder();
    // Both read before the run is seen unfinished: so both were shown during the run.
    app.WaitFor("the status line to show a file being searched and the report its header, during the run", 30,
                [&] {
                    return StartsWith(app.Text(kLabel2), L"SearchFile:" + folder + L"\\") &&
                           StartsWith(app.Text(kText1), ReportHeader()) && app.RunsFinished() == 0;
                });
    Check(WaitFinished(app, 1), "the first run finishes");
    std::printf("first run over %zu files took about %.2f s\n", Catalogue().size(), app.SecondsSinceWindow() - startedAfter);
    CheckText(app.Text(kLabel2), kSearchPath + folder, "the status line after the run");
    // The report box is named after its heading, not the status line before
    // it; the buttons and the window (id 0) after their captions.
    using Named = std::pair<int, const wchar_t*>;
    for (const auto& [id, name] : {Named{kText1, L"Runtimefile List"}, {kCommand1, L"Refreshed"},
                                   {kCmdSysInfo, L"System info"}, {kCmdOK, L"Close"}, {0, L"Tessaly"}}) {
        CheckText(AccessibleName(id ? app.Control(id) : app.Window()), name, "what screen readers call a control");
    }
    CheckText(app.Text(kText1), c.expected, "the report for the seeded folder");
    HWND box = app.Control(kText1);
    Check(WrappedTableLines(box, c.expected) == 0, "every line of the table fits the box's width");
    Check(IsWindowVisible(box) && SendMessageW(box, EM_GETFIRSTVISIBLELINE, 0, 0) == 0 &&
              SendMessageW(box, EM_GETSEL, 0, 0) == 0,
          "the box shows its top with the caret at the start, as after setting its whole text");
    if (PrefixDpi() == 96) {
        // Moved to a monitor at 150 %, without a suggested rectangle: the
        // 144-DPI layout, and the table as at 144 DPI from the start, where
        // the English report, all table, takes one line of the box per line.
        SendMessageTimeoutW(app.Window(), WM_DPICHANGED, MAKEWPARAM(144, 144), 0, SMTO_ABORTIFHUNG, 10000, nullptr);
        CheckLayout(app, 144);
        const long lines = static_cast<long>(SendMessageW(box, EM_GETLINECOUNT, 0, 0));
        const long textLines = static_cast<long>(std::count(c.expected.begin(), c.expected.end(), L'\n')) + 1;
        std::printf("report lines after the change to 144 DPI: %ld, lines of text %ld\n", lines, textLines);
        Check(WrappedTableLines(box, c.expected) == 0 && (c.japanese || lines == textLines),
              "after WM_DPICHANGED to 144 DPI no line of the table wraps");
        Check(app.Query(kSmallIconWidth) == 24, "after WM_DPICHANGED to 144 DPI the title bar's icon is 24 pixels wide");
    }
    Pause(2.5);
    Check(app.RunsStarted() == 1, "one arming gives exactly one run");
    CloseAndExpectExit(app, "WM_CLOSE ends the program");
    return 0;
}

int RefreshIdle(Context& c) {
    TessalyProcess app(c.exe);
    if (!Check(app.Start(), "Tessaly starts")) return 1;
    Check(WaitFinished(app, 1), "the first run finishes");
    std::wstring before = app.Text(kText1);
    app.SendClick(kCommand1);
    app.SendClick(kCommand1);
    CheckText(app.Text(kText1), before, "Refreshed alone does not touch the report");
    Check(WaitFinished(app, 2), "Refreshed gives a run");
    Pause(2.5);
    Check(app.RunsStarted() == 2, "two clicks while idle give one run, not two");
    CheckText(app.Text(kText1), c.expected, "the second run rewrites the report from its header");
    app.Click(kCmdOK);
    Check(app.WaitForExit(30000), "Close ends the program");
    return 0;
}

// A window as the screen shows it, read back from the screen.
std::vector<DWORD> ScreenPixels(HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    BITMAPINFO info = {{sizeof(BITMAPINFOHEADER), r.right - r.left, r.top - r.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, r.right - r.left, r.bottom - r.top, screen, r.left, r.top, SRCCOPY);
    const DWORD* first = static_cast<const DWORD*>(bits);
    std::vector<DWORD> pixels(first, first + (r.right - r.left) * (r.bottom - r.top));
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

int RefreshDuringRun(Context& c) {
    SetToolPath(nullptr);  // no System Information tool: its button shows the message
    SetToolFolder(nullptr);
    TessalyProcess app(c.exe);
    if (!Check(app.Start(), "Tessaly starts")) return 1;
    WaitMidRun(app);
    HWND box = app.Control(kText1);
    // Half the rows in the box, for the scrolling below; the rest still to come.
    app.WaitFor("45 lines in the report box", 30, [&] { return SendMessageW(box, EM_GETLINECOUNT, 0, 0) > 45; });
    const std::wstring typed = L"typed during the run";
    app.SendTyping(kText1, typed);
    app.SendClick(kCommand1);
    for (int page = 0; page < 3; ++page) SendMessageTimeoutW(box, WM_VSCROLL, SB_PAGEDOWN, 0, SMTO_ABORTIFHUNG, 10000, nullptr);
    Check(StillInFirstRun(app), "the typing, the click and the scrolling were handled during the run");
    // The message that System info shows from inside the run's yield holds
    // the run while Timer1 goes on ticking: ticks come during the run.
    app.Click(kCmdSysInfo);
    app.WaitFor("the System info message", 30, [&] { return !MessageBoxes(app.ProcessId()).empty(); });
    Check(StillInFirstRun(app), "the message shows inside the run");
    Sleep(2500);
    for (HWND message : MessageBoxes(app.ProcessId())) PostMessageW(message, WM_COMMAND, IDOK, 0);
    Check(WaitFinished(app, 1), "the run finishes");
    Pause(2.5);
    Check(app.RunsStarted() == 1, "ticks and Refreshed during a run give no second run");
    const std::vector<DWORD> shown = ScreenPixels(box);
    RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
    Pause(0.5);
    const std::vector<DWORD> repainted = ScreenPixels(box);
    std::size_t differ = 0;
    for (std::size_t i = 0; i < shown.size() && i < repainted.size(); ++i) differ += shown[i] != repainted[i];
    std::printf("pixels of the box that a repaint changed: %zu\n", differ);
    Check(differ == 0 && !shown.empty(), "after a run that the user scrolled, the screen shows what the box holds");
    std::wstring report = app.Text(kText1);
    std::size_t at = report.find(typed);
    if (Check(at != std::wstring::npos, "text typed during the run stays in the report")) {
        Check(report.find(typed, at + 1) == std::wstring::npos, "the typed text appears once");
        report.erase(at, typed.size());
        CheckText(report, c.expected, "the rest of the report is the expected one");
    }
    CloseAndExpectExit(app, "WM_CLOSE ends the program");
    return 0;
}

int CloseEarly(Context& c) {
    TessalyProcess app(c.exe);
    if (!Check(app.Start(), "Tessaly starts")) return 1;
    // Asked right before the close is sent: a sent message is handled before
    // any timer message, so no tick can come between the two.
    Check(app.RunsStarted() == 0, "no run yet when the close request comes");
    Check(!app.SendClose(), "the close ends the program while it is handled");
    Check(app.WaitForExit(30000), "closing within the first second ends the program");
    return 0;
}

int CloseMidRun(Context& c) {
    TessalyProcess app(c.exe);
    if (!Check(app.Start(), "Tessaly starts")) return 1;
    WaitMidRun(app);
    // Handled at the run's next yield, with 20 rows or more still to come. A
    // handler that ends the program never answers, and the run never goes on
    // to its summary; one that let the run finish first would answer.
    Check(!app.SendClose(), "the close ends the program inside the run");
    Check(app.WaitForExit(30000), "closing mid-run ends the program at once");
    return 0;
}

// Pixels of the title that stand out from its background, the colour most
// of the label shows: at least half the range of brightness apart from it.
std::size_t TitlePixelsStandingOut(const TessalyProcess& app) {
    const std::vector<DWORD> pixels = ScreenPixels(app.Control(kLblTitle));
    std::map<DWORD, std::size_t> counts;
    for (DWORD p : pixels) ++counts[p & 0xFFFFFF];
    if (counts.empty()) return 0;
    const DWORD background = std::max_element(counts.begin(), counts.end(), [](const auto& a, const auto& b) {
                                 return a.second < b.second;
                             })->first;
    auto brightness = [](DWORD p) { return (((p >> 16) & 0xFF) * 299 + ((p >> 8) & 0xFF) * 587 + (p & 0xFF) * 114) / 1000; };
    std::size_t count = 0;
    for (DWORD p : pixels) count += std::abs(static_cast<int>(brightness(p)) - static_cast<int>(brightness(background))) >= 128;
    return count;
}

// Also in a dark contrast scheme, where black text would not show: the
// runner gives the session black buttons with white text (TESSALY_E2E_COLOURS).
int Escape(Context& c) {
    if (!Check(GetSysColor(COLOR_BTNFACE) == RGB(0, 0, 0) && GetSysColor(COLOR_BTNTEXT) == RGB(255, 255, 255),
               "the session has a dark scheme's button colours, black face and white text")) {
        return 1;
    }
    TessalyProcess app(c.exe);
    if (!Check(app.Start(), "Tessaly starts")) return 1;
    // "Tessaly" in 12 points has over a hundred pixels of full contrast.
    WaitFor("the title to stand out from a black button face", 10, [&] { return TitlePixelsStandingOut(app) >= 50; },
            [&] { return std::to_string(TitlePixelsStandingOut(app)) + " title pixels that stand out"; });
    Check(WaitFinished(app, 1), "the first run finishes");
    app.Key(app.FocusedControl() ? app.FocusedControl() : app.Control(kCmdSysInfo), VK_ESCAPE);
    Check(app.WaitForExit(30000), "Esc closes the program");
    return 0;
}

const std::wstring kToolFolder = L"C:\\e2e tools";  // a space, as under Program Files

std::wstring ReadMark(const std::wstring& exe) {
    HANDLE file = CreateFileW((exe + L".mark").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::wstring();
    wchar_t buffer[1024] = {};
    DWORD read = 0;
    ReadFile(file, buffer, sizeof buffer - sizeof(wchar_t), &read, nullptr);
    CloseHandle(file);
    return std::wstring(buffer, read / sizeof(wchar_t));
}

bool PlaceTool(const Context& c, const std::wstring& name) {
    CreateDirectoryW(kToolFolder.c_str(), nullptr);
    std::wstring path = kToolFolder + L"\\" + name;
    DeleteFileW((path + L".mark").c_str());
    return Check(CopyFileW(c.marker.c_str(), path.c_str(), FALSE) != FALSE, "the stand-in tool is in place");
}

// One click on System info; then either the tool leaves its mark or the
// message box shows (exactly once).
int SysInfo(Context& c, const std::wstring* toolPath, const std::wstring* toolFolder, const std::wstring& expectStarted) {
    DeleteFileW((kToolFolder + L"\\MSINFO32.EXE.mark").c_str());
    DeleteFileW((kToolFolder + L"\\marker.exe.mark").c_str());
    SetToolPath(toolPath);
    SetToolFolder(toolFolder);
    TessalyProcess app(c.exe);
    if (!Check(app.Start(), "Tessaly starts")) return 1;
    Check(WaitFinished(app, 1), "the first run finishes");
    if (!expectStarted.empty()) {
        // The click handler returns: no modal message held it.
        Check(app.SendClick(kCmdSysInfo) && MessageBoxes(app.ProcessId()).empty(), "no message when the tool starts");
        app.WaitFor("the tool to leave its mark", 30, [&] { return !ReadMark(expectStarted).empty(); });
        CheckText(ReadMark(expectStarted), L"\"" + expectStarted + L"\"", "the tool gets its quoted path as command line");
    } else {
        app.Click(kCmdSysInfo);
        app.WaitFor("the message box", 30, [&] { return !MessageBoxes(app.ProcessId()).empty(); });
        Pause(1.5);
        std::vector<HWND> boxes = MessageBoxes(app.ProcessId());
        Check(boxes.size() == 1, "the message shows once");
        if (!boxes.empty()) {
            wchar_t title[64] = {};
            GetWindowTextW(boxes[0], title, 64);
            CheckText(title, L"Tessaly", "message box title");
            bool hasText = false;
            for (const std::wstring& t : ChildTexts(boxes[0])) {
                hasText = hasText || t == L"\x73FE\x6642\x70B9\x3067\x306F\xFF7C\xFF7D\xFF83\xFF91\x60C5\x5831\x3092"
                                          L"\x4F7F\x7528\x3067\x304D\x307E\x305B\x3093";
            }
            Check(hasText, "the message text");
            PostMessageW(boxes[0], WM_COMMAND, IDOK, 0);
            app.WaitFor("OK to dismiss the message", 30, [&] { return MessageBoxes(app.ProcessId()).empty(); });
            Pause(1.5);
            Check(MessageBoxes(app.ProcessId()).empty(), "no second message");
        }
        Check(ReadMark(kToolFolder + L"\\MSINFO32.EXE").empty() && ReadMark(kToolFolder + L"\\marker.exe").empty(),
              "nothing is started");
    }
    CloseAndExpectExit(app, "WM_CLOSE ends the program");
    SetToolPath(nullptr);
    SetToolFolder(nullptr);
    return 0;
}

int SysInfoPath(Context& c) {
    if (!PlaceTool(c, L"marker.exe")) return 1;
    std::wstring tool = kToolFolder + L"\\marker.exe";
    std::wstring folder = kToolFolder;
    PlaceTool(c, L"MSINFO32.EXE");
    // Both keys set: the first one wins and the second is not used.
    return SysInfo(c, &tool, &folder, tool);
}

int SysInfoFolder(Context& c) {
    if (!PlaceTool(c, L"MSINFO32.EXE")) return 1;
    std::wstring folder = kToolFolder;
    return SysInfo(c, nullptr, &folder, kToolFolder + L"\\MSINFO32.EXE");
}

int SysInfoNone(Context& c) { return SysInfo(c, nullptr, nullptr, L""); }

const char* ControlName(int id) {
    for (const auto& control : kControlNames) {
        if (control.id == id) return control.name;
    }
    return id == 0 ? "none" : id == -1 ? "several" : "another window";
}

// The keyboard as a user works it: real keys, each step followed by where
// the focus is, which push button shows as the default, and what came of it.
enum class Then { kNothing, kToolStarts, kOneMoreRun, kProgramEnds };
struct KeyStep {
    const char* what;
    std::vector<WORD> keys;  // pressed together
    int focus, defaultButton;
    Then then;
};
const std::vector<WORD> kClickOnRefreshed = {VK_LBUTTON};

const std::vector<KeyStep> kKeysFromStart = {
    {"the start", {}, kCmdSysInfo, kCmdSysInfo, Then::kNothing},
    {"Enter at start", {VK_RETURN}, kCmdSysInfo, kCmdSysInfo, Then::kToolStarts},
    {"Tab", {VK_TAB}, kCmdOK, kCmdOK, Then::kNothing},
    {"Tab", {VK_TAB}, kCommand1, kCommand1, Then::kNothing},
    {"Tab", {VK_TAB}, kText1, kCmdOK, Then::kNothing},
    {"Tab", {VK_TAB}, kCmdSysInfo, kCmdSysInfo, Then::kNothing},
    {"a click on Refreshed", kClickOnRefreshed, kCommand1, kCommand1, Then::kOneMoreRun},
    {"Enter on Refreshed", {VK_RETURN}, kCommand1, kCommand1, Then::kOneMoreRun},
    {"Shift+Tab", {VK_SHIFT, VK_TAB}, kCmdOK, kCmdOK, Then::kNothing},
    {"Enter on Close", {VK_RETURN}, 0, 0, Then::kProgramEnds},
};
const std::vector<KeyStep> kKeysToTheReportBox = {
    {"Shift+Tab at start", {VK_SHIFT, VK_TAB}, kText1, kCmdOK, Then::kNothing},
    {"Enter in the report box", {VK_RETURN}, 0, 0, Then::kProgramEnds},
};

int Keyboard(Context& c) {
    const std::wstring tool = kToolFolder + L"\\marker.exe";
    if (!PlaceTool(c, L"marker.exe")) return 1;
    SetToolPath(&tool);
    for (const std::vector<KeyStep>* steps : {&kKeysFromStart, &kKeysToTheReportBox}) {
        TessalyProcess app(c.exe);
        if (!Check(app.Start(), "Tessaly starts") || !Check(WaitFinished(app, 1), "the first run finishes")) return 1;
        app.BringToForeground();
        long runs = 1;
        for (const KeyStep& step : *steps) {
            DeleteFileW((tool + L".mark").c_str());
            if (step.keys == kClickOnRefreshed) app.Click(kCommand1);
            else app.PressKeys(step.keys);
            const std::string after = std::string("after ") + step.what + ": ";
            if (step.then == Then::kProgramEnds) {
                if (Check(app.WaitForExit(30000), (after + "the program ends").c_str())) std::printf("%s: ended\n", step.what);
                continue;
            }
            if (step.then == Then::kToolStarts) {
                app.WaitFor((after + "the System Information stand-in to start").c_str(), 30,
                            [&] { return !ReadMark(tool).empty(); });
            }
            if (step.then == Then::kOneMoreRun) Check(WaitFinished(app, ++runs), (after + "one more run").c_str());
            WaitFor((after + ControlName(step.focus) + " to have the focus, " + ControlName(step.defaultButton) +
                     " to show as the default").c_str(), 10,
                    [&] { return app.FocusedControl() == app.Control(step.focus) && app.DefaultButton() == step.defaultButton; },
                    [&] { return std::string("focus on ") + ControlName(GetDlgCtrlID(app.FocusedControl())) + ", default " +
                                 ControlName(app.DefaultButton()) + "; " + app.State(); });
            Check(app.Running() && app.RunsStarted() == runs, (after + "the window stays open, no other run").c_str());
            std::printf("%s: focus on %s, default %s, runs %ld\n", step.what, ControlName(step.focus),
                        ControlName(step.defaultButton), runs);
        }
    }
    SetToolPath(nullptr);
    return 0;
}

// A copy of Tessaly.exe started from a folder that also holds a planted
// version.dll (the scenarios run with version=n,b: a DLL found there first).
int PlantedDll(Context& c) {
    const std::wstring folder = L"C:\\e2e downloads", exe = folder + L"\\Tessaly.exe";
    const std::wstring planted = folder + L"\\version.dll", mark = planted + L".mark";
    CreateDirectoryW(folder.c_str(), nullptr);
    DeleteFileW(mark.c_str());
    if (!Check(CopyFileW(c.exe.c_str(), exe.c_str(), FALSE) &&
                   CopyFileW((c.fixtures + L"\\planted\\version.dll").c_str(), planted.c_str(), FALSE),
               "Tessaly.exe and the planted version.dll are in one folder")) {
        return 1;
    }
    TessalyProcess app(exe);
    if (!Check(app.Start(), "Tessaly starts")) return 1;
    Check(WaitFinished(app, 1), "the first run finishes");
    CheckText(app.Text(kText1), c.expected, "the report for the seeded folder");
    CheckText(app.Text(kLblVersion), L"Ver. 3.1.0", "the version label, from the program's own version resource");
    Check(GetFileAttributesW(mark.c_str()) == INVALID_FILE_ATTRIBUTES, "the planted version.dll is never used");
    CloseAndExpectExit(app, "WM_CLOSE ends the program");
    return 0;
}

// Not a test: the first run and four refreshed ones, each with its whole
// duration and the part of it spent in the probe and the file system.
int MeasureRuns(Context& c) {
    TessalyProcess app(c.exe);
    if (!Check(app.Start(), "Tessaly starts")) return 1;
    std::vector<double> ratios;
    for (long run = 1; run <= 5; ++run) {
        if (run > 1) app.Click(kCommand1);
        if (!Check(WaitFinished(app, run), "the run finishes")) return 1;
        const double whole = app.Query(kLastRunMicroseconds) / 1000.0;
        const double platform = app.Query(kLastRunPlatformMicroseconds) / 1000.0;
        ratios.push_back(whole / platform);
        std::printf("run %ld: %.0f ms, platform work %.0f ms, ratio %.2f\n", run, whole, platform, ratios.back());
    }
    std::sort(ratios.begin(), ratios.end());
    std::printf("median ratio of run to platform work: %.2f\n", ratios[ratios.size() / 2]);
    CheckText(app.Text(kText1), c.expected, "the report for the seeded folder");
    CloseAndExpectExit(app, "WM_CLOSE ends the program");
    return 0;
}

}  // namespace

// For scripts/run.sh: waits for a Tessaly window that is already running
// until its first run has finished, and prints how long that run took.
int WaitFirstRun() {
    HWND window = nullptr;
    UINT message = RegisterWindowMessageW(kRunStateQuery);
    auto count = [&](WPARAM item) {
        DWORD_PTR result = 0;
        SendMessageTimeoutW(window, message, item, 0, SMTO_ABORTIFHUNG, 10000, &result);
        return static_cast<long>(result);
    };
    auto seen = [&] {
        return window ? "runs started " + std::to_string(count(kRunsStarted)) + ", finished " +
                            std::to_string(count(kRunsFinished))
                      : std::string("no Tessaly window");
    };
    WaitFor("a Tessaly window", 60, [&] {
        return (window = FindWindowW(kClassName, nullptr)) != nullptr && IsWindowVisible(window);
    }, seen);
    WaitFor("the first run to start", 60, [&] { return count(kRunsStarted) >= 1; }, seen);
    DWORD started = GetTickCount();
    WaitFor("the first run to finish", 60, [&] { return count(kRunsFinished) >= 1; }, seen);
    std::printf("first run took %.2f s\n", (GetTickCount() - started) / 1000.0);
    return 0;
}

int RunScenario(int argc, wchar_t** argv) {
    if (argc == 2 && std::wstring(argv[1]) == L"wait-first-run") return WaitFirstRun();
    if (argc != 6) {
        std::printf("usage: e2e_driver <scenario> <ja|en> <Tessaly.exe> <fixture folder> <marker.exe>\n");
        return 2;
    }
    struct Scenario {
        const wchar_t* name;
        int (*run)(Context&);
    };
    const Scenario scenarios[] = {
        {L"first-run", FirstRun},       {L"refresh-idle", RefreshIdle},   {L"refresh-during-run", RefreshDuringRun},
        {L"close-early", CloseEarly},   {L"close-mid-run", CloseMidRun},  {L"keyboard", Keyboard},
        {L"escape", Escape},            {L"sysinfo-path", SysInfoPath},   {L"sysinfo-folder", SysInfoFolder},
        {L"sysinfo-none", SysInfoNone}, {L"planted-dll", PlantedDll},     {L"measure-runs", MeasureRuns},
    };
    const Scenario* scenario = nullptr;
    for (const Scenario& s : scenarios) {
        if (std::wstring(argv[1]) == s.name) scenario = &s;
    }
    if (!scenario) {
        std::printf("unknown scenario %s\n", WideToUtf8(argv[1]).c_str());
        return 2;
    }
    Context c;
    c.japanese = std::wstring(argv[2]) == L"ja";
    c.exe = argv[3];
    c.fixtures = argv[4];
    c.marker = argv[5];

    // The mode the test asks for must be the mode Wine is in.
    wchar_t country[128] = {};
    GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT, LOCALE_SENGCOUNTRY, country, 128);
    if (!Check((lstrcmpiW(country, L"Japan") == 0) == c.japanese, "the system's country matches the mode")) return 1;

    if (!Check(SeedSystemFolder(c.fixtures), "the system folder is seeded")) return 1;
    std::vector<FileFacts> facts;
    if (!Check(CollectFacts(facts), "the facts of the catalogued files are known")) return 1;
    c.expected = ExpectedReport(facts, c.japanese);

    int result = scenario->run(c);
    std::printf("%s %s: %s\n", WideToUtf8(argv[1]).c_str(), WideToUtf8(argv[2]).c_str(),
                failures == 0 && result == 0 ? "passed" : "FAILED");
    return failures == 0 && result == 0 ? 0 : 1;
}

int wmain(int argc, wchar_t** argv) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);  // for Active Accessibility
    try {
        return RunScenario(argc, argv);
    } catch (const WaitExpired& expired) {
        // The program under test has been ended as the scenario unwound.
        std::printf("FAILED: %s\n", expired.message.c_str());
        return 1;
    }
}
