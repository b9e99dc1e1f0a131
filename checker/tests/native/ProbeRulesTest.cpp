// Version order, version words and language names of the file probe.
#include <gtest/gtest.h>

#include "Module1.h"
#include "mdlFileInfo.h"

namespace tessaly {
namespace {

TEST(VersionToNumber, JoinsComponentsPaddedToFourDigits) {
    const struct {
        const char* text;
        double number;
    } cases[] = {
        {"6.0.81.63", 6000000810063.0},
        {"5.1.2600.2180", 5000126002180.0},
        {"7.0.2600.2180", 7000026002180.0},
        {"2.81.1117.0", 2008111170000.0},
        {"0.54.0.3", 5400000003.0},
        {"", 0.0},
        {".", 0.0},
        {"1.2", 10002.0},
        {"1.2.0.0", 1000200000000.0},
        {"1.2.", 100020000.0},
        {"6.0.12345.1", 60000123450001.0},
        {"65535.65535.65535.65535", 65535655356553565535.0},
        {" 1.2", 10002.0},   // a blank counts toward the length, then is skipped
        {"1.x.3", 1000.0},   // 0001000x0003: reading stops at the x
        {"1.2\r.3", 1002.0},  // 0001002\r0003: a carriage return is no blank
        {"1.2e3.4", 102.0},   // 000102e30004: the e is no exponent
        {"x", 0.0},
    };
    for (const auto& c : cases) EXPECT_EQ(VersionToNumber(c.text), c.number) << '"' << c.text << '"';
}

TEST(VersionToNumber, OrdersVersionsPartByPart) {
    const char* ascending[] = {"", "0.54.0.3", "1.2.0.0", "2.81.1117.0", "5.0.1462.7",
                               "5.0.2134.1", "5.1.2600.0", "5.1.2600.2180", "6.0.81.63",
                               "6.1.0.0", "7.0.2600.2180", "65535.0.0.0"};
    for (std::size_t i = 1; i < std::size(ascending); ++i)
        EXPECT_LT(VersionToNumber(ascending[i - 1]), VersionToNumber(ascending[i]))
            << ascending[i - 1] << " < " << ascending[i];
}

TEST(FileVersionWordsToText, SplitsEachWordIntoUnsignedHalves) {
    const struct {
        std::uint32_t ms, ls;
        const char* text;
    } cases[] = {
        {0x00060000, 0x0051003F, "6.0.81.63"},
        {0x80000001, 0x00000000, "32768.1.0.0"},
        {0xFFFF0001, 0x00000000, "65535.1.0.0"},
        {0xFFFFFFFF, 0xFFFFFFFF, "65535.65535.65535.65535"},
        {0, 0, "0.0.0.0"},
    };
    for (const auto& c : cases) EXPECT_EQ(FileVersionWordsToText(c.ms, c.ls), c.text);
}

TEST(LanguageIdText, FourUpperCaseHexDigits) {
    const struct {
        std::int16_t id;
        const char* text;
    } cases[] = {
        {0x0411, "0411"}, {0x040C, "040C"}, {0x0C0C, "0C0C"}, {0x100C, "100C"},
        {0, "0000"},      {-1, "FFFF"},     {static_cast<std::int16_t>(0x8000), "8000"},
    };
    for (const auto& c : cases) EXPECT_EQ(LanguageIdText(c.id), c.text);
}

TEST(LanguageIdToName, ExactCaseSensitiveTableLookUp) {
    const struct {
        const char* idText;
        const char* name;
    } cases[] = {
        {"0411", "Japanese"},
        {"040C", "French"},
        {"0C0C", "Canadian French"},
        {"100C", "Swiss French"},
        {"0000", "Neutral Language"},
        {"0409", "U.S. English"},
        {"0414", "Norwegian ? Bokmal"},
        {"081A", "Serbo-Croatian (Cyrillic)"},
        {"0401", "Arabic"},
        {"0422", ""},   // no row
        {"040c", ""},   // lower case does not match
        {" 0411", ""},  // nor does untrimmed text
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(LanguageIdToName(c.idText), c.name) << c.idText;
    // The names in table order, from which the report sizes its language column.
    const std::vector<std::string> names = LanguageNames();
    ASSERT_EQ(names.size(), 46u);
    EXPECT_EQ(names.front(), "Arabic");
    EXPECT_EQ(names[22], "Norwegian ? Nynorsk");
    EXPECT_EQ(names.back(), "Neutral Language");
}

}  // namespace
}  // namespace tessaly
