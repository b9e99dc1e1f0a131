#include "AppVersion.h"

#include <windows.h>

#include "VersionResource.h"
#include "WinText.h"

namespace tessaly {
namespace {

// The program file's full path, however long; empty if it cannot be read.
std::wstring ProgramPath() {
    // GetModuleFileNameW cuts a path that does not fit and returns the size
    // it was given: grow until the whole path and its NUL fit.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (length == 0) return std::wstring();
        if (length < path.size()) return path.substr(0, length);
        if (path.size() >= 32768) return std::wstring();  // longer than any Windows path
        path.resize(path.size() * 2);
    }
}

}  // namespace

std::wstring VersionCaption() {
    unsigned major = 0, minor = 0, revision = 0;
    VS_FIXEDFILEINFO info = {};
    if (VersionResource(WideToUtf8(ProgramPath())).CopyValue(L"\\", &info, sizeof info)) {
        major = HIWORD(info.dwFileVersionMS);
        minor = LOWORD(info.dwFileVersionMS);
        revision = LOWORD(info.dwFileVersionLS);
    }
    return L"Ver. " + std::to_wstring(major) + L"." + std::to_wstring(minor) + L"." + std::to_wstring(revision);
}

}  // namespace tessaly
