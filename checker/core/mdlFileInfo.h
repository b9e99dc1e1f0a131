// mdlFileInfo: the language half of the file probe.
//
// The portable functions are defined in core/mdlFileInfo.cpp; the functions
// that read a file's version resource are in platform/mdlFileInfoWin32.cpp.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tessaly {

// Four upper-case hex digits with leading zeros: 0x040C -> "040C".
std::string LanguageIdText(std::int16_t languageId);

// Display name for a language id text ("0411" -> "Japanese"); empty text
// when the table has no such row. The match is exact and case-sensitive.
std::string LanguageIdToName(const std::string& languageIdText);

// Every display name of the language table, in table order.
std::vector<std::string> LanguageNames();

// Language id of the first entry of the file's translation table, or 0.
std::int16_t GetFileLanguageId(const std::string& path);

// LanguageIdToName(LanguageIdText(GetFileLanguageId(path))).
std::string GetFileLanguageName(const std::string& path);

}  // namespace tessaly
