#include "Win32CheckPlatform.h"

#include <windows.h>

#include "Module1.h"
#include "WinText.h"
#include "mdlFileInfo.h"

namespace tessaly {

std::string Win32CheckPlatform::FileVersionText(const std::string& path) {
    return GetFileVersionText(path);
}

std::string Win32CheckPlatform::FileLanguageName(const std::string& path) {
    return GetFileLanguageName(path);
}

std::string Win32CheckPlatform::SystemCountryName() { return GetSystemCountryName(); }

bool Win32CheckPlatform::FileTimeAndSize(const std::string& path, LocalDateTime& modified,
                                         std::uint64_t& size) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(Utf8ToWide(path).c_str(), GetFileExInfoStandard, &data)) return false;
    // A folder under a catalogued file's name is no file: the row is a missing one.
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;

    // SystemTimeToTzSpecificLocalTime applies the offset in force on the
    // file's own date; FileTimeToLocalFileTime would apply today's offset
    // and be an hour off across a daylight-saving change.
    SYSTEMTIME utc{};
    SYSTEMTIME local{};
    if (!FileTimeToSystemTime(&data.ftLastWriteTime, &utc) ||
        !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local))
        return false;

    modified = {local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond};
    size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return true;
}

}  // namespace tessaly
