// The whole check run against a fake window and a fake system folder; the
// report is compared byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <vector>

#include "Catalogue.h"
#include "CheckRun.h"
#include "ReportFormat.h"

namespace tessaly {
namespace {

const std::string kFolder = "C:\\WINDOWS\\system32";
const std::string kHeader = "Name\t\tDate\t\tSize\tLanguage    \tVersion\t\tStatus\r\n";
const std::string kLegend =
    "\r\nステータス凡例\r\n◎：パッケージより新しい\r\n○：パッケージと同じ\r\n△：パッケージより古い\r\n×：ファイルがない";
const std::string kNotes =
    "*1:このファイルは特殊ファイルのため更新できません\r\n"
    "*2:このファイルは言語が日本語ではないため使用するソフトウェアやＯＳによって文字化けする可能性があります\r\n";

struct FakeFile {
    std::string version;
    std::string language;
    LocalDateTime modified{2004, 8, 4, 13, 0, 0};
    std::uint64_t size = 140288;
    bool timeReadable = true;  // false: the version reads, the time and size do not
};

class FakeWindow : public CheckWindow {
public:
    void SetReportText(const std::string& t) override { text = t; }
    void AppendReportText(const std::string& t) override { text += t; }
    void SetStatusText(const std::string& t) override { statuses.push_back(t); }
    void DisableTimer() override { timerEnabled = false; }
    void RestoreDefaultPointer() override { pointerRestored = true; }
    void ProcessPendingMessages() override {
        ++yields;
        text += typedDuringYield;  // the user types into the box while the run yields
    }

    std::string text = "Wait Please...";
    std::string typedDuringYield;
    std::vector<std::string> statuses;
    bool timerEnabled = true;
    bool pointerRestored = false;
    int yields = 0;
};

class FakeFolder : public CheckPlatform {
public:
    std::string FileVersionText(const std::string& path) override {
        auto it = files.find(path);
        return it == files.end() ? "" : it->second.version;
    }
    std::string FileLanguageName(const std::string& path) override {
        auto it = files.find(path);
        return it == files.end() ? "Neutral Language" : it->second.language;
    }
    std::string SystemCountryName() override { return country; }
    bool FileTimeAndSize(const std::string& path, LocalDateTime& modified, std::uint64_t& size) override {
        auto it = files.find(path);
        if (it == files.end() || !it->second.timeReadable) return false;
        modified = it->second.modified;
        size = it->second.size;
        return true;
    }

    void Add(const std::string& name, FakeFile file) { files[kFolder + "\\" + name] = file; }

    std::map<std::string, FakeFile> files;
    std::string country = "JAPAN";
};

std::string Padded(std::string text, std::size_t width) { return text.append(width - text.size(), ' '); }

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// The report line of the catalogue row `name`: the line that begins with its
// padded upper-case name.
std::string RowOf(const std::string& report, const std::string& name) {
    const std::string start = "\r\n" + Padded(Upper(name), 16) + "\t";
    const auto at = report.find(start);
    if (at == std::string::npos) return "(no row for " + name + ")";
    const auto end = report.find("\r\n", at + 2);
    return report.substr(at + 2, end + 2 - (at + 2));
}

// The version and status columns of a row: everything after its fourth tab.
std::string VersionAndStatus(const std::string& row) {
    std::size_t at = 0;
    for (int tab = 0; tab < 4 && at != std::string::npos; ++tab) at = row.find('\t', at + 1);
    return at == std::string::npos ? "(short row: " + row + ")" : row.substr(at + 1);
}

std::string MissingRow(const std::string& name, bool japanese) {
    return Padded(Upper(name), 16) + (japanese ? "\tファイルがありません\t\t\t×\r\n" : "\tThere is no file.\t\t\tNot\r\n");
}

std::string ReportOf(FakeFolder& folder, FakeWindow& window) {
    RunCheck(kFolder, window, folder);
    return window.text;
}

TEST(CheckRun, NoFileFolderGivesEightyNineMissingRowsInBothModes) {
    for (const bool japanese : {true, false}) {
        FakeFolder folder;
        folder.country = japanese ? "JAPAN" : "UNITED STATES";
        FakeWindow window;
        std::string expected = kHeader;
        for (const auto& row : CatalogueRows()) expected += MissingRow(row.name, japanese);
        expected += japanese ? "\r\nランタイム及びアーカイブファイル89個中0個が存在しました。\r\n" + kLegend
                             : "\r\n0 pieces existed among 89 run time files.";
        EXPECT_EQ(ReportOf(folder, window), expected) << (japanese ? "Japanese" : "English");
    }
}

TEST(CheckRun, WorkedExampleRows) {
    FakeFolder folder;
    folder.Add("COMDLG32.OCX", {"6.1.97.82", "Japanese", {2004, 8, 4, 13, 0, 0}, 140288});
    folder.Add("OLEAUT32.DLL", {"2.40.4522.0", "U.S. English"});
    FakeWindow window;
    const std::string report = ReportOf(folder, window);
    EXPECT_EQ(RowOf(report, "COMDLG32.OCX"),
              "COMDLG32.OCX    \t2004/08/04 13:00:00\t140,288\tJapanese            \t6.1.97.82      \t○\r\n");
    EXPECT_EQ(RowOf(report, "MSCAL.OCX"), "MSCAL.OCX       \tファイルがありません\t\t\t×\r\n");
    EXPECT_EQ(VersionAndStatus(RowOf(report, "OLEAUT32.DLL")), "2.40.4522.0    \t△*1\r\n");
}

TEST(CheckRun, StatusOfAPresentFileInBothModes) {
    const struct {
        const char* name;           // catalogue row (its shipped version in brackets)
        const char* installed;      // "" = no version information
        const char* japanese;
        const char* english;
    } cases[] = {
        {"COMDLG32.OCX", "6.1.97.82", "○", "Same"},       // 6.1.97.82
        {"COMDLG32.OCX", "6.1.97.83", "◎", "New"},
        {"COMDLG32.OCX", "6.1.97.81", "△", "Old"},
        {"COMDLG32.OCX", "", "△", "Old"},                  // versionless counts as 0
        {"imgctl.dll", "", "○", "Same"},                   // empty shipped version
        {"imgctl.dll", "1.0.0.0", "◎", "New"},
        {"pixkit.dll", "0.0.0.1", "◎", "New"},
        {"mfc42.dll", "6.2.4130.0", "△*1", "Old"},          // not updatable, stored lower case
        {"STDOLE2.TLB", "2.40.4275.1", "△*1", "Old"},
        {"STDOLE2.TLB", "5.2.3668.0", "○", "Same"},
        {"RICHED32.DLL", "5.1.2600.0", "◎*2", "New*2"},     // builds that are not Japanese
        {"RICHED32.DLL", "5.0.2134.1", "◎*2", "New*2"},
        {"RICHED32.DLL", "5.0.2134.2", "◎", "New"},
        {"RICHED32.DLL", "5.0.1462.6", "△*1", "Old"},
    };
    for (const auto& c : cases) {
        for (const bool japanese : {true, false}) {
            FakeFolder folder;
            folder.country = japanese ? "JAPAN" : "";
            folder.Add(c.name, {c.installed, "Japanese"});
            FakeWindow window;
            const std::string row = RowOf(ReportOf(folder, window), c.name);
            const std::string status = japanese ? c.japanese : c.english;
            EXPECT_EQ(row.substr(row.rfind('\t') + 1), status + "\r\n") << c.name << " " << c.installed;
        }
    }
}

// The window makes room for exactly the statuses that runs write: every
// row at once with no version, its own, a newer one and each build that
// earns a mark, each with its time readable and not.
TEST(CheckRun, StatusTextsAreTheStatusesRunsWrite) {
    const std::string versions[] = {"", "(own)", "65535.0.0.0", TrimSpaces(kForeignBuildVersions[0]),
                                    TrimSpaces(kForeignBuildVersions[1])};
    std::set<std::string> written;
    for (const char* country : {"JAPAN", "UNITED STATES"}) {
        for (const std::string& version : versions) {
            for (const bool timeReadable : {true, false}) {
                FakeFolder folder;
                folder.country = country;
                for (const auto& row : CatalogueRows()) {
                    folder.Add(row.name, {version == "(own)" ? row.version : version, "Japanese", {}, 0, timeReadable});
                }
                FakeWindow window;
                const std::string report = ReportOf(folder, window);
                for (std::size_t at = kHeader.size(), row = 0; row < CatalogueRows().size(); ++row) {
                    const std::size_t end = report.find("\r\n", at);
                    written.insert(report.substr(report.rfind('\t', end) + 1, end - report.rfind('\t', end) - 1));
                    at = end + 2;
                }
            }
        }
    }
    const std::vector<std::string> derived = StatusTexts();
    EXPECT_EQ(std::set<std::string>(derived.begin(), derived.end()), written);
}

TEST(CheckRun, VersionlessFileShowsNotVerAndCountsAsOld) {
    FakeFolder folder;
    folder.Add("COMCAT.DLL", {"", "Neutral Language", {2001, 2, 3, 4, 5, 6}, 0});
    FakeWindow window;
    const std::string report = ReportOf(folder, window);
    EXPECT_EQ(RowOf(report, "COMCAT.DLL"),
              "COMCAT.DLL      \t2001/02/03 04:05:06\t0\tNeutral Language    \tNotVer         \t△*1\r\n");
    EXPECT_NE(report.find("89個中1個が存在しました。\r\n（1の古いファイルを検出しました）\r\n" + kNotes + kLegend),
              std::string::npos);
}

TEST(CheckRun, JapaneseSummaryCountsFoundAndOldFiles) {
    FakeFolder folder;
    folder.Add("COMDLG32.OCX", {"6.1.97.82", "Japanese"});    // same
    folder.Add("MSCAL.OCX", {"9.0.0.1", "Japanese"});         // old
    folder.Add("ADODCJP.DLL", {"5.0.0.0", "Japanese"});       // old
    folder.Add("vantor.dll", {"8.0.0.0", "Japanese"});        // new
    FakeWindow window;
    const std::string report = ReportOf(folder, window);
    const std::string summary = "\r\nランタイム及びアーカイブファイル89個中4個が存在しました。\r\n"
                                "（2の古いファイルを検出しました）\r\n" + kNotes + kLegend;
    ASSERT_GE(report.size(), summary.size());
    EXPECT_EQ(report.substr(report.size() - summary.size()), summary);
}

TEST(CheckRun, NoNotesWhenNothingIsOldEvenWithAForeignBuild) {
    FakeFolder folder;
    folder.Add("RICHED32.DLL", {"5.1.2600.0", "U.S. English"});
    FakeWindow window;
    const std::string report = ReportOf(folder, window);
    EXPECT_EQ(VersionAndStatus(RowOf(report, "RICHED32.DLL")), "5.1.2600.0     \t◎*2\r\n");
    const std::string tail = "\r\n\r\nランタイム及びアーカイブファイル89個中1個が存在しました。\r\n" + kLegend;
    EXPECT_EQ(report.substr(report.size() - tail.size()), tail);
}

TEST(CheckRun, EnglishModeNeitherCountsNorMarksOldFiles) {
    FakeFolder folder;
    folder.country = "UNITED STATES";
    folder.Add("OLEAUT32.DLL", {"2.40.4522.0", "U.S. English"});
    FakeWindow window;
    const std::string report = ReportOf(folder, window);
    EXPECT_EQ(VersionAndStatus(RowOf(report, "OLEAUT32.DLL")), "2.40.4522.0    \tOld\r\n");
    const std::string tail = "\tThere is no file.\t\t\tNot\r\n\r\n1 pieces existed among 89 run time files.";
    EXPECT_EQ(report.substr(report.size() - tail.size()), tail);
}

TEST(CheckRun, CountryMustBeExactlyJapanForJapaneseWording) {
    for (const char* country : {"Japan", "JAPAN ", "", "UNITED KINGDOM"}) {
        FakeFolder folder;
        folder.country = country;
        FakeWindow window;
        EXPECT_NE(ReportOf(folder, window).find("0 pieces existed among 89 run time files."), std::string::npos)
            << '"' << country << '"';
    }
}

TEST(CheckRun, LongFieldsAreCutButTheWholeVersionIsCompared) {
    FakeFolder folder;
    // 6.0.12345.1 is newer than the shipped 6.0.81.63 only when read whole.
    folder.Add("ADODCJP.DLL", {"6.0.12345.1.100", "Serbo-Croatian (Cyrillic)", {2020, 1, 1, 0, 0, 0}, 1234567});
    FakeWindow window;
    EXPECT_EQ(RowOf(ReportOf(folder, window), "ADODCJP.DLL"),
              "ADODCJP.DLL     \t2020/01/01 00:00:00\t1,234,567\tSerbo-Croatian (Cyri\t6.0.12345.1.100\t◎\r\n");

    folder.files.begin()->second.version = "6.0.12345.1.1000";  // 16 characters, cut to 15
    FakeWindow again;
    EXPECT_EQ(VersionAndStatus(RowOf(ReportOf(folder, again), "ADODCJP.DLL")), "6.0.12345.1.100\t◎\r\n");
}

TEST(CheckRun, UnknownLanguageShowsTwentySpaces) {
    FakeFolder folder;
    folder.Add("ADODCJP.DLL", {"6.0.81.63", ""});
    FakeWindow window;
    EXPECT_NE(RowOf(ReportOf(folder, window), "ADODCJP.DLL").find("\t" + std::string(20, ' ') + "\t6.0.81.63"),
              std::string::npos);
}

TEST(CheckRun, TextTypedDuringTheRunStaysInTheReport) {
    FakeFolder folder;
    FakeWindow window;
    window.typedDuringYield = "x";
    const std::string report = ReportOf(folder, window);
    EXPECT_EQ(report.substr(0, kHeader.size() + 1), kHeader + "x");
    EXPECT_EQ(std::count(report.begin(), report.end(), 'x'), 89);
}

TEST(CheckRun, StatusLineFollowsTheSearchAndWindowIsLeftIdle) {
    FakeFolder folder;
    FakeWindow window;
    ReportOf(folder, window);
    ASSERT_EQ(window.statuses.size(), 90u);
    EXPECT_EQ(window.statuses.front(), "SearchFile:C:\\WINDOWS\\system32\\ADODCJP.DLL");
    EXPECT_EQ(window.statuses[25], "SearchFile:C:\\WINDOWS\\system32\\mfc42.dll");  // case as stored
    EXPECT_EQ(window.statuses.back(), "SearchPath：C:\\WINDOWS\\system32");
    EXPECT_EQ(window.yields, 89);
    EXPECT_FALSE(window.timerEnabled);
    EXPECT_TRUE(window.pointerRestored);
}

TEST(CheckRun, EmptySystemFolderLooksInTheRootAndShowsAnEmptyPath) {
    FakeFolder folder;
    FakeWindow window;
    RunCheck("", window, folder);
    EXPECT_EQ(window.statuses.front(), "SearchFile:\\ADODCJP.DLL");
    EXPECT_EQ(window.statuses.back(), "SearchPath：");
}

TEST(CheckRun, EachRunStartsAgainFromTheHeader) {
    FakeFolder folder;
    FakeWindow window;
    const std::string first = ReportOf(folder, window);
    window.text += "\r\nnotes of the user";
    EXPECT_EQ(ReportOf(folder, window), first);
}

}  // namespace
}  // namespace tessaly
