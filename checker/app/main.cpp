// Tessaly: starting the program loads its one window; ending the window
// ends the program.
#include "SystemDll.h"
#include "frmAbout.h"

#include <commctrl.h>
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
    // A corrupted heap ends the process rather than letting it run on.
    HeapSetInformation(nullptr, HeapEnableTerminationOnCorruption, nullptr, 0);
    tessaly::RestrictDllSearchToSystemFolder();
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    static tessaly::frmAbout window;
    if (!window.Load()) return 1;
    window.Show(showCommand);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!window.RouteDialogMessage(msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return static_cast<int>(msg.wParam);
}
