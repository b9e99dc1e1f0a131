// What the outside world may rely on about the main window: its class and
// caption, the control ids with the controls' names, and the registered
// message by which a test driver asks about the check runs and the window.
// Shared with the end-to-end test driver.
#pragma once

namespace tessaly::about {

inline constexpr wchar_t kClassName[] = L"TessalyAbout";
inline constexpr wchar_t kCaption[] = L"Tessaly";

// Control ids. Each control keeps its id for the life of the window.
enum ControlId : int {
    kCmdSysInfo = 1001,
    kCmdOK = 1002,
    kCommand1 = 1003,
    kPicIcon = 1004,
    kLblTitle = 1005,
    kLblVersion = 1006,
    kLabel1 = 1007,
    kLabel2 = 1008,
    kText1 = 1009,
    kLabel3 = 1010,
};

struct ControlName {
    int id;
    const char* name;
};

inline constexpr ControlName kControlNames[] = {
    {kCommand1, "Command1"}, {kText1, "Text1"},   {kPicIcon, "picIcon"},   {kCmdOK, "cmdOK"},
    {kCmdSysInfo, "cmdSysInfo"}, {kLabel3, "Label3"}, {kLabel2, "Label2"}, {kLabel1, "Label1"},
    {kLblTitle, "lblTitle"}, {kLblVersion, "lblVersion"},
};

// SendMessage(window, RegisterWindowMessage(kRunStateQuery), item, 0)
// answers with one of the items below. Harmless to users: it only reads.
inline constexpr wchar_t kRunStateQuery[] = L"Tessaly.QueryRunState";
enum RunStateItem : int {
    kRunsStarted = 0,                  // check runs started so far
    kRunsFinished = 1,                 // check runs finished so far
    kLastRunMicroseconds = 2,          // the last finished run's duration
    kLastRunPlatformMicroseconds = 3,  // the part of it in the probe and the file system
    kSmallIconWidth = 4,               // the width in pixels of the icon the title bar shows
};

}  // namespace tessaly::about
