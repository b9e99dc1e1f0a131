// Text rules of the report: fixed-width columns, the date and size formats
// and the ASCII case and blank handling that the check run applies to names.
#pragma once

#include <cstdint>
#include <string>

#include "CheckRun.h"

namespace tessaly {

// The report's header line and the widths of its fixed-width fields.
inline constexpr char kReportHeader[] = "Name\t\tDate\t\tSize\tLanguage    \tVersion\t\tStatus\r\n";
inline constexpr std::size_t kNameWidth = 16;
inline constexpr std::size_t kLanguageWidth = 20;
inline constexpr std::size_t kVersionWidth = 15;
// Stands in the version field of a file without version information.
inline constexpr char kNoVersion[] = "NotVer";

// The words of a row, in the language of the system's country.
struct RowWording {
    const char* same;
    const char* old;
    const char* newer;
    const char* missing;      // status of a missing row
    const char* missingText;  // stands in the date column of a missing row
};

inline constexpr RowWording kJapaneseRows = {"○", "△", "◎", "×", "ファイルがありません"};
inline constexpr RowWording kEnglishRows = {"Same", "Old", "New", "Not", "There is no file."};

// Appended to the status of an outdated file that cannot be updated, and
// of a RICHED32.DLL of a build that is not Japanese.
inline constexpr char kNotUpdatableMark[] = "*1";
inline constexpr char kForeignBuildMark[] = "*2";

// Exactly `width` characters: shorter text is padded with spaces on the
// right, longer text is cut. Counts characters, not UTF-8 bytes.
std::string FixedWidth(const std::string& text, std::size_t width);

// "yyyy/mm/dd hh:nn:ss", all fields zero-padded, 24-hour clock.
std::string FormatDateTime(const LocalDateTime& time);

// "#,##0": whole bytes with thousands grouping, "0" for an empty file.
std::string FormatByteCount(std::uint64_t bytes);

std::string UpperAscii(std::string text);
std::string LowerAscii(std::string text);
std::string TrimSpaces(const std::string& text);       // both ends, spaces only
std::string TrimTrailingSpaces(const std::string& text);

}  // namespace tessaly
