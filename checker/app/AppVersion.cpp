#include "AppVersion.h"

#include <windows.h>

#include <vector>

namespace tessaly {

std::wstring VersionCaption() {
    unsigned major = 0, minor = 0, revision = 0;
    wchar_t path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    DWORD ignored = 0;
    DWORD size = length > 0 && length < MAX_PATH ? GetFileVersionInfoSizeW(path, &ignored) : 0;
    if (size > 0) {
        std::vector<unsigned char> data(size);
        void* block = nullptr;
        UINT blockSize = 0;
        if (GetFileVersionInfoW(path, 0, size, data.data()) &&
            VerQueryValueW(data.data(), L"\\", &block, &blockSize) && blockSize >= sizeof(VS_FIXEDFILEINFO)) {
            const auto* info = static_cast<const VS_FIXEDFILEINFO*>(block);
            major = HIWORD(info->dwFileVersionMS);
            minor = LOWORD(info->dwFileVersionMS);
            revision = LOWORD(info->dwFileVersionLS);
        }
    }
    return L"Ver. " + std::to_wstring(major) + L"." + std::to_wstring(minor) + L"." + std::to_wstring(revision);
}

}  // namespace tessaly
