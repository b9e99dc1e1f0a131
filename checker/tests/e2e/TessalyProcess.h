// The program under test as a process with a window: start it, find its
// window, read its controls, press its buttons and keys, wait for its end.
#pragma once

#include "AboutContract.h"

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

class TessalyProcess {
public:
    explicit TessalyProcess(const std::wstring& exePath);
    ~TessalyProcess();
    TessalyProcess(const TessalyProcess&) = delete;
    TessalyProcess& operator=(const TessalyProcess&) = delete;

    bool Start();                            // starts the program, finds its window
    HWND Window() const { return window_; }
    DWORD ProcessId() const { return pid_; }
    HWND Control(int id) const { return GetDlgItem(window_, id); }
    std::wstring Text(int id) const;         // WM_GETTEXT of a control
    long Query(WPARAM item) const;           // the window's run-state query; -1 if no answer
    long RunsStarted() const { return Query(tessaly::about::kRunsStarted); }
    long RunsFinished() const { return Query(tessaly::about::kRunsFinished); }
    HWND FocusedControl() const;
    void Click(int id) const;                // BM_CLICK, posted
    void Key(HWND target, WPARAM key) const; // WM_KEYDOWN + WM_KEYUP, posted
    // Real keys (SendInput), pressed in order and let go in reverse, as a
    // user does: they reach the focused control of the foreground window
    // through the program's message loop, with the Shift state.
    void PressKeys(const std::vector<WORD>& keys) const;
    void BringToForeground() const;          // and waits until it is there
    int DefaultButton() const;               // the one push button drawn as the default; 0 if none, -1 if several
    void Type(int id, const std::wstring& text) const;  // WM_CHAR per character, posted
    void Close() const;                      // WM_CLOSE, posted
    // Sent, so handled by the time they return: at the program's next yield
    // or in its message loop. A counter read after one of these tells
    // whether the run was still in progress when it was handled. True when
    // the handler answered; a handler that ends the program never does.
    bool SendClick(int id) const;            // BM_CLICK
    void SendTyping(int id, const std::wstring& text) const;  // EM_REPLACESEL, as typed or pasted
    bool SendClose() const;                  // WM_CLOSE
    bool WaitForExit(DWORD ms) const;
    bool Running() const { return !WaitForExit(0); }
    double SecondsSinceWindow() const;
    // Waits until `condition` holds; see e2e::WaitFor.
    template <class Condition>
    void WaitFor(const char* what, double seconds, Condition condition) const;
    std::string State() const;               // the run counts and the status line, or the exit code

private:
    std::wstring exePath_;
    PROCESS_INFORMATION process_ = {};
    HWND window_ = nullptr;
    DWORD pid_ = 0;
    UINT runStateQuery_ = 0;
    LARGE_INTEGER windowFound_ = {};
};

// How many times longer than usual every wait and pause takes: the number
// in TESSALY_WAIT_FACTOR (set where the programs run under emulation), else 1.
double WaitFactor();

// Sleeps `seconds` times WaitFactor: the time in which something that must
// not happen would have happened.
void Pause(double seconds);

// A wait whose deadline passed. It ends the scenario: the program under
// test ends with the TessalyProcess that started it.
struct WaitExpired {
    std::string message;  // what was awaited, and what was seen instead
};

// Waits until `condition` gives a true value, polling, for at most
// `seconds` times WaitFactor, and returns that value; when the time is up,
// throws WaitExpired with `what` and what `seen()` says.
template <class Condition, class Seen>
auto WaitFor(const char* what, double seconds, Condition condition, Seen seen) {
    const DWORD start = GetTickCount();
    const DWORD limit = static_cast<DWORD>(seconds * WaitFactor() * 1000);
    for (;;) {
        if (auto result = condition()) return result;
        if (GetTickCount() - start > limit) {
            throw WaitExpired{"waited " + std::to_string(limit / 1000) + " s for " + what + "; saw " + seen()};
        }
        Sleep(10);
    }
}

// A wait on the running program: it ends early when the program has ended,
// and reports the program's run state. What ended the wait is kept, not
// asked again: a condition that held ("20 rows still to come") may no
// longer hold a moment later while the program runs on.
template <class Condition>
void TessalyProcess::WaitFor(const char* what, double seconds, Condition condition) const {
    enum End { kNotYet, kHeld, kProgramEnded };
    const End end = e2e::WaitFor(
        what, seconds, [&] { return !Running() ? kProgramEnded : condition() ? kHeld : kNotYet; },
        [&] { return State(); });
    if (end == kProgramEnded) {
        throw WaitExpired{std::string("the program ended while waiting for ") + what + "; saw " + State()};
    }
}

}  // namespace e2e
