#include "AppVersion.h"

#include <windows.h>

#include "VersionResource.h"

namespace tessaly {

// From the program's loaded image rather than its file: no path is read, so
// a path longer than MAX_PATH, which the file functions refuse, does not matter.
std::wstring VersionCaption() {
    unsigned major = 0, minor = 0, revision = 0;
    VS_FIXEDFILEINFO info = {};
    if (VersionResource(GetModuleHandleW(nullptr)).CopyValue(L"\\", &info, sizeof info) &&
        info.dwSignature == VS_FFI_SIGNATURE) {
        major = HIWORD(info.dwFileVersionMS);
        minor = LOWORD(info.dwFileVersionMS);
        revision = LOWORD(info.dwFileVersionLS);
    }
    return L"Ver. " + std::to_wstring(major) + L"." + std::to_wstring(minor) + L"." + std::to_wstring(revision);
}

}  // namespace tessaly
