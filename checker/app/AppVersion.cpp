#include "AppVersion.h"

#include <windows.h>

#include "VersionResource.h"
#include "WinText.h"

namespace tessaly {

std::wstring VersionCaption() {
    unsigned major = 0, minor = 0, revision = 0;
    wchar_t path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    VS_FIXEDFILEINFO info = {};
    if (length > 0 && length < MAX_PATH &&
        VersionResource(WideToUtf8(std::wstring(path, length))).CopyValue(L"\\", &info, sizeof info)) {
        major = HIWORD(info.dwFileVersionMS);
        minor = LOWORD(info.dwFileVersionMS);
        revision = LOWORD(info.dwFileVersionLS);
    }
    return L"Ver. " + std::to_wstring(major) + L"." + std::to_wstring(minor) + L"." + std::to_wstring(revision);
}

}  // namespace tessaly
