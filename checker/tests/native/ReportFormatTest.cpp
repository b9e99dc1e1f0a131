#include <gtest/gtest.h>

#include "ReportFormat.h"

namespace tessaly {
namespace {

TEST(FixedWidth, PadsOrCutsToExactlyTheWidthInCharacters) {
    const struct {
        const char* text;
        std::size_t width;
        const char* expected;
    } cases[] = {
        {"Japanese", 20, "Japanese            "},
        {"Serbo-Croatian (Cyrillic)", 20, "Serbo-Croatian (Cyri"},
        {"", 15, "               "},
        {"6.0.81.63", 15, "6.0.81.63      "},
        {"12345.12345.12345.12345", 15, "12345.12345.123"},
        {"exactly15chars!", 15, "exactly15chars!"},
        {"日本語", 2, "日本"},      // cut between characters, not bytes
        {"日本語", 5, "日本語  "},
    };
    for (const auto& c : cases) EXPECT_EQ(FixedWidth(c.text, c.width), c.expected) << c.text;
}

TEST(FormatByteCount, GroupsThousandsWithCommas) {
    const struct {
        std::uint64_t bytes;
        const char* text;
    } cases[] = {
        {0, "0"},          {7, "7"},           {999, "999"},
        {1000, "1,000"},   {140288, "140,288"}, {1234567, "1,234,567"},
        {5000000000ull, "5,000,000,000"},      {18446744073709551615ull, "18,446,744,073,709,551,615"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatByteCount(c.bytes), c.text);
}

TEST(FormatDateTime, ZeroPaddedYearMonthDayAnd24HourClock) {
    EXPECT_EQ(FormatDateTime({2004, 8, 4, 13, 0, 0}), "2004/08/04 13:00:00");
    EXPECT_EQ(FormatDateTime({1999, 12, 31, 23, 59, 59}), "1999/12/31 23:59:59");
    EXPECT_EQ(FormatDateTime({2026, 1, 2, 3, 4, 5}), "2026/01/02 03:04:05");
}

TEST(TextRules, TrimAndCaseTouchOnlySpacesAndAsciiLetters) {
    EXPECT_EQ(TrimSpaces("  RICHED32.DLL    "), "RICHED32.DLL");
    EXPECT_EQ(TrimSpaces("\tA\t"), "\tA\t");
    EXPECT_EQ(TrimSpaces("     "), "");
    EXPECT_EQ(TrimTrailingSpaces(" A  "), " A");
    EXPECT_EQ(UpperAscii("mfc42.dll"), "MFC42.DLL");
    EXPECT_EQ(LowerAscii("5.0.A"), "5.0.a");
}

}  // namespace
}  // namespace tessaly
