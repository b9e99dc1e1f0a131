#include "TessalyProcess.h"

#include "AboutContract.h"
#include "WinText.h"

#include <cstdlib>
#include <vector>

namespace e2e {

TessalyProcess::TessalyProcess(const std::wstring& exePath)
    : exePath_(exePath), runStateQuery_(RegisterWindowMessageW(tessaly::about::kRunStateQuery)) {}

TessalyProcess::~TessalyProcess() {
    if (process_.hProcess) {
        if (Running()) TerminateProcess(process_.hProcess, 99);
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
    }
}

bool TessalyProcess::Start() {
    std::wstring commandLine = L"\"" + exePath_ + L"\"";
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessW(exePath_.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process_)) {
        return false;
    }
    pid_ = process_.dwProcessId;
    e2e::WaitFor(
        "its window", 30,
        [&] {
            HWND hwnd = nullptr;
            while ((hwnd = FindWindowExW(nullptr, hwnd, tessaly::about::kClassName, nullptr)) != nullptr) {
                DWORD owner = 0;
                GetWindowThreadProcessId(hwnd, &owner);
                if (owner == pid_ && IsWindowVisible(hwnd)) {  // shown once start-up is done
                    window_ = hwnd;
                    return true;
                }
            }
            return !Running();
        },
        [&] { return State(); });
    QueryPerformanceCounter(&windowFound_);
    return window_ != nullptr;
}

std::wstring TessalyProcess::Text(int id) const {
    HWND control = Control(id);
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(control, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 10000, &length)) return L"<no answer>";
    std::vector<wchar_t> buffer(length + 64);
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(control, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()), SMTO_ABORTIFHUNG,
                        10000, &copied);
    return std::wstring(buffer.data(), copied);
}

long TessalyProcess::Query(WPARAM item) const {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window_, runStateQuery_, item, 0, SMTO_ABORTIFHUNG, 10000, &result)) return -1;
    return static_cast<long>(result);
}

HWND TessalyProcess::FocusedControl() const {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    DWORD thread = GetWindowThreadProcessId(window_, nullptr);
    if (!GetGUIThreadInfo(thread, &info)) return nullptr;
    return info.hwndFocus;
}

void TessalyProcess::Click(int id) const { PostMessageW(Control(id), BM_CLICK, 0, 0); }

void TessalyProcess::Key(HWND target, WPARAM key) const {
    UINT scan = MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_VSC);
    PostMessageW(target, WM_KEYDOWN, key, 1 | (scan << 16));
    PostMessageW(target, WM_KEYUP, key, 1 | (scan << 16) | 0xC0000000u);
}

void TessalyProcess::PressKeys(const std::vector<WORD>& keys) const {
    std::vector<INPUT> inputs;
    auto add = [&](WORD key, DWORD flags) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = flags;
        inputs.push_back(input);
    };
    for (WORD key : keys) add(key, 0);
    for (auto key = keys.rbegin(); key != keys.rend(); ++key) add(*key, KEYEVENTF_KEYUP);
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void TessalyProcess::BringToForeground() const {
    SetForegroundWindow(window_);
    WaitFor("the window to come to the foreground", 10, [&] { return GetForegroundWindow() == window_; });
}

int TessalyProcess::DefaultButton() const {
    int found = 0;
    for (int id : {tessaly::about::kCmdSysInfo, tessaly::about::kCmdOK, tessaly::about::kCommand1}) {
        if ((GetWindowLongW(Control(id), GWL_STYLE) & BS_TYPEMASK) != BS_DEFPUSHBUTTON) continue;
        found = found ? -1 : id;
    }
    return found;
}

void TessalyProcess::Type(int id, const std::wstring& text) const {
    for (wchar_t c : text) PostMessageW(Control(id), WM_CHAR, c, 1);
}

void TessalyProcess::Close() const { PostMessageW(window_, WM_CLOSE, 0, 0); }

bool TessalyProcess::SendClick(int id) const {
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutW(Control(id), BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 10000, &ignored) != 0;
}

void TessalyProcess::SendTyping(int id, const std::wstring& text) const {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(Control(id), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                        10000, &ignored);
}

bool TessalyProcess::SendClose() const {
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutW(window_, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 10000, &ignored) != 0;
}

std::string TessalyProcess::State() const {
    DWORD code = 0;
    if (!Running()) {
        GetExitCodeProcess(process_.hProcess, &code);
        return "the program ended with exit code " + std::to_string(code);
    }
    if (!window_) return "no window of process " + std::to_string(pid_) + " yet";
    return "runs started " + std::to_string(RunsStarted()) + ", finished " + std::to_string(RunsFinished()) +
           ", status line [" + tessaly::WideToUtf8(Text(tessaly::about::kLabel2)) + "]";
}

double WaitFactor() {
    static const double factor = [] {
        wchar_t text[16] = {};
        GetEnvironmentVariableW(L"TESSALY_WAIT_FACTOR", text, 16);
        const double value = _wtof(text);
        return value >= 1.0 ? value : 1.0;
    }();
    return factor;
}

void Pause(double seconds) { Sleep(static_cast<DWORD>(seconds * WaitFactor() * 1000)); }

bool TessalyProcess::WaitForExit(DWORD ms) const {
    return process_.hProcess && WaitForSingleObject(process_.hProcess, ms) == WAIT_OBJECT_0;
}

double TessalyProcess::SecondsSinceWindow() const {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart - windowFound_.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace e2e
