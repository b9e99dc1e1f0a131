// The half of Module1 that asks Windows.
#include <windows.h>

#include "Module1.h"
#include "ReportFormat.h"
#include "VersionResource.h"
#include "WinText.h"

namespace tessaly {

std::string GetFileVersionText(const std::string& path) {
    VS_FIXEDFILEINFO fixed{};
    static_assert(sizeof fixed == 52, "the fixed version record is thirteen 32-bit words");
    if (!VersionResource(path).CopyValue(L"\\", &fixed, sizeof fixed)) return {};
    return FileVersionWordsToText(fixed.dwFileVersionMS, fixed.dwFileVersionLS);
}

std::string GetSystemCountryName() {
    wchar_t country[256] = {};
    if (GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT, LOCALE_SENGCOUNTRY, country, 256) == 0) return {};
    return UpperAscii(WideToUtf8(country));
}

}  // namespace tessaly
