// frmAbout: the program's one window. It lays out its controls, runs the
// start-up sequence, owns Timer1 and SystemFolderPath, runs the check on
// each arming of the timer and ends the program on any close request.
#pragma once

#include "BaseWindow.h"
#include "CheckRun.h"
#include "Handles.h"
#include "TimedCheckPlatform.h"
#include "Win32CheckPlatform.h"

#include <string>

namespace tessaly {

class frmAbout : public BaseWindow<frmAbout>, public CheckWindow {
public:
    const wchar_t* ClassName() const;
    bool Load();                      // creates the window and runs start-up
    void Show(int showCommand);
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    bool RouteDialogMessage(MSG& msg);  // keyboard navigation for the message loops

    // CheckWindow, for the check run.
    void SetReportText(const std::string& text) override;
    void AppendReportText(const std::string& text) override;
    void SetStatusText(const std::string& text) override;
    void DisableTimer() override;
    void RestoreDefaultPointer() override;
    void ProcessPendingMessages() override;

private:
    LRESULT OnCreate();
    LRESULT OnCommand(int id, int code);
    LRESULT OnControlFocus(int id);
    LRESULT OnTimer(UINT_PTR id);
    LRESULT OnClose();
    LRESULT OnEndSession(bool ending);
    LRESULT OnSetCursor(WPARAM wParam, LPARAM lParam);
    LRESULT OnCtlColorStatic(HDC dc, HWND control, WPARAM wParam, LPARAM lParam);
    LRESULT OnActivate(WPARAM wParam, LPARAM lParam);
    LRESULT OnNextDlgCtl(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetDefId();
    LRESULT OnDpiChanged(UINT dpi, const RECT* suggested);
    LRESULT OnColoursChanged();
    LRESULT OnRunStateQuery(WPARAM item);

    void CreateControls();
    // Fonts, control rectangles, the icons and the window's size for a DPI;
    // the window moves to `place`'s top-left when one is given.
    void ApplyDpi(UINT dpi, const RECT* place = nullptr);
    void FitReportFont(UINT dpi);     // the report box's font and tab stops
    void StartUp();
    void CentreOnScreen();
    void SetLabel(int id, const std::wstring& text);
    void FitLabel(int id, UINT dpi);  // grows a label to its text
    void EnableTimer();
    [[noreturn]] void EndProgram();
    HWND Control(int id) const;
    bool CursorOverWindow() const;

    UniqueFont titleFont_;
    UniqueFont messageFont_;
    UniqueFont reportFont_;
    UniqueIcon bigIcon_;              // the window's icons, for its DPI
    UniqueIcon smallIcon_;
    UniqueIcon pictureIcon_;
    Win32CheckPlatform platform_;
    std::string SystemFolderPath;     // written once at start-up
    UINT dpi_ = 96;                   // the DPI the window is laid out for
    COLORREF titleColour_ = RGB(0, 0, 0);  // lblTitle's text, for the colours in force
    bool waitCursor_ = false;         // hourglass until the first run ends
    bool running_ = false;            // a check run is in progress
    HWND lastFocus_ = nullptr;
    UINT runStateQuery_ = 0;
    unsigned runsStarted_ = 0;
    unsigned runsFinished_ = 0;
    RunTimes lastRunTimes_;           // of the last finished run
};

}  // namespace tessaly
