// The check run: one pass over the runtime catalogue that probes every file
// in the system folder and writes the report into the window's report box.
//
// The run knows nothing of Win32. It talks to the window through CheckWindow
// and to the file system through CheckPlatform, so the same code runs against
// fakes in the native tests and against the real window and files on Windows.
// All text is UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tessaly {

// A local date and time, as the file system reports it for a file.
struct LocalDateTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// What the run needs of the main window.
class CheckWindow {
public:
    virtual ~CheckWindow() = default;
    virtual void SetReportText(const std::string& text) = 0;   // Text1, whole
    // Adds text after what Text1 holds now (typing included), as setting
    // the whole text to the current text plus `text` would, but without
    // laying out the lines that are already there again.
    virtual void AppendReportText(const std::string& text) = 0;
    virtual void SetStatusText(const std::string& text) = 0;   // Label2 caption
    virtual void DisableTimer() = 0;                           // Timer1
    virtual void RestoreDefaultPointer() = 0;                  // mouse pointer
    virtual void ProcessPendingMessages() = 0;                 // one yield
};

// What the run needs of the platform: the probe and the file's facts.
class CheckPlatform {
public:
    virtual ~CheckPlatform() = default;
    virtual std::string FileVersionText(const std::string& path) = 0;   // GetFileVersionText
    virtual std::string FileLanguageName(const std::string& path) = 0;  // GetFileLanguageName
    virtual std::string SystemCountryName() = 0;                        // GetSystemCountryName
    // Last-modified local time and size; false when either cannot be read.
    virtual bool FileTimeAndSize(const std::string& path, LocalDateTime& modified,
                                 std::uint64_t& size) = 0;
};

// Runs the check over systemFolder (no trailing backslash) and writes the
// report into the window. Never throws; every failure is a row marked missing.
void RunCheck(const std::string& systemFolder, CheckWindow& window, CheckPlatform& platform);

// Every status text, marks included, that a run can write in either
// language for the catalogued files: what the report's status column must
// have room for.
std::vector<std::string> StatusTexts();

}  // namespace tessaly
