// Module1: the version half of the file probe.
//
// The portable functions are defined in core/Module1.cpp; the functions that
// ask Windows are defined in platform/Module1Win32.cpp. All text is UTF-8.
#pragma once

#include <cstdint>
#include <string>

namespace tessaly {

// Orders version texts: every dot-separated component is padded with leading
// zeros to four characters, the components are joined and the result is read
// as a decimal number. "6.0.81.63" -> 6000000810063, "" -> 0.
double VersionToNumber(const std::string& versionText);

// "major.minor.build.revision" from the two file-version words of a fixed
// version record, each half an unsigned 16-bit number.
std::string FileVersionWordsToText(std::uint32_t fileVersionMS, std::uint32_t fileVersionLS);

// The file's version text, or empty text when it has none or cannot be read.
std::string GetFileVersionText(const std::string& path);

// English name of the system default locale's country, upper-cased, or empty.
std::string GetSystemCountryName();

}  // namespace tessaly
