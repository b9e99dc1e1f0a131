// The half of mdlFileInfo that reads a file's translation table.
#include <windows.h>

#include <cstdint>

#include "VersionResource.h"
#include "mdlFileInfo.h"

namespace tessaly {

std::int16_t GetFileLanguageId(const std::string& path) {
    // First translation entry: a 16-bit language id, then a 16-bit code page.
    WORD entry[2] = {};
    if (!VersionResource(path).CopyValue(L"\\VarFileInfo\\Translation", entry, sizeof entry)) return 0;
    return static_cast<std::int16_t>(entry[0]);
}

std::string GetFileLanguageName(const std::string& path) {
    return LanguageIdToName(LanguageIdText(GetFileLanguageId(path)));
}

}  // namespace tessaly
