// The real probe on real PE files that the build makes with windres.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "FixtureFolder.h"
#include "Module1.h"
#include "VersionResource.h"
#include "WinText.h"
#include "mdlFileInfo.h"

namespace tessaly {
namespace {

using test::FixturePath;

TEST(Probe, VersionAndLanguageOfRealFiles) {
    const struct {
        const char* fixture;
        const char* version;
        std::int16_t languageId;
        const char* languageName;
    } cases[] = {
        {"japanese.dll", "6.0.81.63", 0x0411, "Japanese"},
        {"english_2_40_4522_0.dll", "2.40.4522.0", 0x0409, "U.S. English"},
        {"french.dll", "1.0.0.0", 0x040C, "French"},
        {"canadian_french.dll", "1.0.0.0", 0x0C0C, "Canadian French"},
        {"swiss_french.dll", "1.0.0.0", 0x100C, "Swiss French"},
        {"neutral.dll", "1.0.0.0", 0, "Neutral Language"},
        {"ukrainian.dll", "1.0.0.0", 0x0422, ""},                   // no row in the table
        {"serbo_croatian.dll", "6.0.81.63", 0x081A, "Serbo-Croatian (Cyrillic)"},
        {"top_bit_major.dll", "32768.1.0.0", 0x0411, "Japanese"},
        {"max_halves.dll", "65535.1.65535.65535", static_cast<std::int16_t>(0x8411), ""},
        {"no_translation.dll", "2.0.0.0", 0, "Neutral Language"},
        {"short_translation.dll", "5.6.7.8", 0, "Neutral Language"},  // 2-byte table
        {"no_fixed_record.dll", "", 0x040C, "French"},                // table still read
        {"no_resource.dll", "", 0, "Neutral Language"},
        {"not_a_program.txt", "", 0, "Neutral Language"},
        {"empty.dat", "", 0, "Neutral Language"},
        {"does_not_exist.dll", "", 0, "Neutral Language"},
    };
    for (const auto& c : cases) {
        const std::string path = FixturePath(c.fixture);
        EXPECT_EQ(GetFileVersionText(path), c.version) << c.fixture;
        EXPECT_EQ(GetFileLanguageId(path), c.languageId) << c.fixture;
        EXPECT_EQ(GetFileLanguageName(path), c.languageName) << c.fixture;
        // Read from the module in memory, as the program reads its own: the same fixed record, or none.
        VS_FIXEDFILEINFO file = {}, loaded = {};
        if (HMODULE module = LoadLibraryExW(Utf8ToWide(path).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {
            EXPECT_EQ(VersionResource(module).CopyValue(L"\\", &loaded, sizeof loaded),
                      VersionResource(path).CopyValue(L"\\", &file, sizeof file)) << c.fixture;
            EXPECT_EQ(std::memcmp(&file, &loaded, sizeof file), 0) << c.fixture;
            FreeLibrary(module);
        }
    }
}

TEST(Probe, SystemCountryFollowsTheLocale) {
    // Set by the test registration: LC_ALL=ja_JP.UTF-8 gives a Japanese system.
    const char* expected = std::getenv("TESSALY_EXPECT_COUNTRY");
    ASSERT_NE(expected, nullptr);
    EXPECT_EQ(GetSystemCountryName(), expected);
}

}  // namespace
}  // namespace tessaly
