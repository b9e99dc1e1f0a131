// A real check run over a folder of real files, with the real probe and the
// file system; only the window is a stand-in that records what it is told.
#include <gtest/gtest.h>

#include <cstdlib>

#include "Catalogue.h"
#include "CheckRun.h"
#include "FixtureFolder.h"
#include "Win32CheckPlatform.h"

namespace tessaly {
namespace {

class RecordingWindow : public CheckWindow {
public:
    void SetReportText(const std::string& t) override { text = t; }
    void AppendReportText(const std::string& t) override { text += t; }
    void SetStatusText(const std::string& t) override { status = t; }
    void DisableTimer() override {}
    void RestoreDefaultPointer() override {}
    void ProcessPendingMessages() override {}

    std::string text;
    std::string status;
};

// 11:00 UTC: in Central Europe 13:00 in August (summer time) and 12:00 in
// January, whatever the season of the day the test runs.
constexpr SYSTEMTIME kAugust = {2004, 8, 0, 4, 11, 0, 0, 0};
constexpr SYSTEMTIME kJanuary = {2004, 1, 0, 15, 11, 0, 0, 0};

struct SeededFile {
    const char* name;       // catalogue name, case as stored
    const char* fixture;    // none: a folder of that name, so no file
    const SYSTEMTIME* modified;
    const char* localTime;  // in Europe/Berlin
    const char* language;   // column text, 20 characters
    const char* version;    // column text, 15 characters
    const char* japanese;   // status
    const char* english;
};

const SeededFile kSeeded[] = {
    {"ADODCJP.DLL", "serbo_croatian.dll", &kAugust, "2004/08/04 13:00:00",
     "Serbo-Croatian (Cyri", "6.0.81.63      ", "○", "Same"},
    {"COMDLG32.OCX", "comdlg_6_1_97_82.dll", &kAugust, "2004/08/04 13:00:00",
     "Japanese            ", "6.1.97.82      ", "○", "Same"},
    {"MSCAL.OCX", "empty.dat", &kJanuary, "2004/01/15 12:00:00",
     "Neutral Language    ", "NotVer         ", "△", "Old"},
    {"mfc42.dll", "no_resource.dll", &kJanuary, "2004/01/15 12:00:00",
     "Neutral Language    ", "NotVer         ", "△*1", "Old"},
    // Not OLEAUT32.DLL: Wine answers version queries on the names of its own
    // built-in libraries from those libraries, not from the file.
    {"ASYCFILT.DLL", "english_2_40_4522_0.dll", &kAugust, "2004/08/04 13:00:00",
     "U.S. English        ", "2.40.4522.0    ", "△*1", "Old"},
    {"RICHED32.DLL", "riched_5_1_2600_0.dll", &kJanuary, "2004/01/15 12:00:00",
     "U.S. English        ", "5.1.2600.0     ", "◎*2", "New*2"},
    {"SYSINFO.OCX", "not_a_program.txt", &kAugust, "2004/08/04 13:00:00",
     "Neutral Language    ", "NotVer         ", "△", "Old"},
    {"imgctl.dll", "no_fixed_record.dll", &kAugust, "2004/08/04 13:00:00",
     "French              ", "NotVer         ", "○", "Same"},
    {"vantor.dll", "vantor_7_1_0_0.dll", &kAugust, "2004/08/04 13:00:00",
     "                    ", "7.1.0.0        ", "○", "Same"},
    {"pixkit.dll", "top_bit_major.dll", &kJanuary, "2004/01/15 12:00:00",
     "Japanese            ", "32768.1.0.0    ", "◎", "New"},
    {"COMCT232.OCX", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr},
};

std::string Padded(std::string text, std::size_t width) { return text.append(width - text.size(), ' '); }

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    return text;
}

std::string GroupedThousands(unsigned long long n) {
    std::string digits = std::to_string(n);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) digits.insert(at, ",");
    return digits;
}

TEST(CheckRunOnRealFiles, ReportMatchesTheSeededFolderByteForByte) {
    const char* country = std::getenv("TESSALY_EXPECT_COUNTRY");
    ASSERT_NE(country, nullptr);
    const bool japanese = std::string(country) == "JAPAN";

    test::ScratchFolder folder;
    for (const auto& file : kSeeded) {
        if (file.fixture) folder.Add(file.name, file.fixture, *file.modified);
        else folder.AddFolder(file.name);
    }

    std::string expected = "Name\t\tDate\t\tSize\tLanguage    \tVersion\t\tStatus\r\n";
    for (const auto& row : CatalogueRows()) {
        const SeededFile* seeded = nullptr;
        for (const auto& file : kSeeded)
            if (row.name == file.name) seeded = &file;
        expected += Padded(Upper(row.name), 16) + "\t";
        if (seeded == nullptr || seeded->fixture == nullptr) {
            expected += japanese ? "ファイルがありません\t\t\t×\r\n" : "There is no file.\t\t\tNot\r\n";
            continue;
        }
        const auto size = test::SizeOfFile(folder.Path() + "\\" + row.name);
        expected += std::string(seeded->localTime) + "\t" + GroupedThousands(size) + "\t" +
                    seeded->language + "\t" + seeded->version + "\t" +
                    (japanese ? seeded->japanese : seeded->english) + "\r\n";
    }
    expected += japanese ? "\r\nランタイム及びアーカイブファイル89個中10個が存在しました。\r\n"
                           "（4の古いファイルを検出しました）\r\n"
                           "*1:このファイルは特殊ファイルのため更新できません\r\n"
                           "*2:このファイルは言語が日本語ではないため使用するソフトウェアやＯＳによって"
                           "文字化けする可能性があります\r\n"
                           "\r\nステータス凡例\r\n◎：パッケージより新しい\r\n○：パッケージと同じ\r\n"
                           "△：パッケージより古い\r\n×：ファイルがない"
                         : "\r\n10 pieces existed among 89 run time files.";

    RecordingWindow window;
    Win32CheckPlatform platform;
    RunCheck(folder.Path(), window, platform);
    EXPECT_EQ(window.text, expected);
    EXPECT_EQ(window.status, "SearchPath：" + folder.Path());
}

}  // namespace
}  // namespace tessaly
