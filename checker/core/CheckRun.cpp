#include "CheckRun.h"

#include <algorithm>
#include <cstdint>

#include "Catalogue.h"
#include "Module1.h"
#include "ReportFormat.h"

namespace tessaly {

namespace {

const char* const kCrLf = "\r\n";
const char* const kJapanCountry = "JAPAN";

std::string JapaneseSummary(int rowCount, std::int16_t found, std::int16_t old) {
    std::string text = std::string(kCrLf) + "ランタイム及びアーカイブファイル" + std::to_string(rowCount) +
                       "個中" + std::to_string(found) + "個が存在しました。" + kCrLf;
    if (old != 0) {
        text += "（" + std::to_string(old) + "の古いファイルを検出しました）" + kCrLf;
        text += std::string("*1:このファイルは特殊ファイルのため更新できません") + kCrLf;
        text += std::string("*2:このファイルは言語が日本語ではないため使用するソフトウェアやＯＳによって"
                            "文字化けする可能性があります") + kCrLf;
    }
    text += std::string(kCrLf) + "ステータス凡例" + kCrLf + "◎：パッケージより新しい" + kCrLf +
            "○：パッケージと同じ" + kCrLf + "△：パッケージより古い" + kCrLf + "×：ファイルがない";
    return text;
}

std::string EnglishSummary(int rowCount, std::int16_t found) {
    return std::string(kCrLf) + std::to_string(found) + " pieces existed among " +
           std::to_string(rowCount) + " run time files.";
}

bool IsForeignBuild(const std::string& nameField, const std::string& versionField) {
    return TrimSpaces(nameField) == kForeignBuildName &&
           (versionField == kForeignBuildVersions[0] || versionField == kForeignBuildVersions[1]);
}

std::string NameField(const CatalogueRow& row) { return FixedWidth(UpperAscii(row.name), kNameWidth); }

std::string VersionField(const std::string& installedVersion) {
    const std::string field = FixedWidth(installedVersion, kVersionWidth);
    return TrimSpaces(field).empty() ? FixedWidth(kNoVersion, kVersionWidth) : field;
}

// How the installed file compares with the shipped version, each outcome
// with its word in a row wording.
enum Outcome { kSame, kOlder, kNewer, kMissing, kOutcomeCount };
constexpr const char* RowWording::*kOutcomeWords[kOutcomeCount] = {&RowWording::same, &RowWording::old,
                                                                  &RowWording::newer, &RowWording::missing};

Outcome Compare(const CatalogueRow& row, const std::string& installedVersion, bool present) {
    if (!present) return kMissing;
    const double installed = VersionToNumber(installedVersion);
    const double shipped = VersionToNumber(LowerAscii(row.version));
    return installed == shipped ? kSame : installed < shipped ? kOlder : kNewer;
}

bool NotUpdatable(const CatalogueRow& row) {
    const std::string key = "," + UpperAscii(TrimTrailingSpaces(NameField(row))) + ",";
    return std::string(kNotUpdatableNames).find(key) != std::string::npos;
}

// The status column from the rule's inputs: the outcome's word, then "*1"
// for an outdated file the package cannot update (only the Japanese wording
// marks outdated files) and "*2" for a build that is not Japanese.
std::string Status(const RowWording& words, Outcome outcome, bool notUpdatable, bool foreignBuild) {
    std::string status = words.*kOutcomeWords[outcome];
    if (notUpdatable && status == kJapaneseRows.old) status += kNotUpdatableMark;
    if (foreignBuild) status += kForeignBuildMark;
    return status;
}

std::string RowStatus(const CatalogueRow& row, const RowWording& words, const std::string& installedVersion,
                      bool present) {
    return Status(words, Compare(row, installedVersion, present), NotUpdatable(row),
                  IsForeignBuild(NameField(row), VersionField(installedVersion)));
}

}  // namespace

void RunCheck(const std::string& systemFolder, CheckWindow& window, CheckPlatform& platform) {
    window.SetReportText(kReportHeader);

    const auto catalogue = CatalogueRows();
    std::int16_t found = 0;
    std::int16_t old = 0;

    for (const auto& row : catalogue) {
        const std::string path = systemFolder + "\\" + row.name;
        window.SetStatusText("SearchFile:" + path);
        window.ProcessPendingMessages();

        // The version and the country are read once per row and used for
        // every decision of the row.
        const bool japanese = platform.SystemCountryName() == kJapanCountry;
        const RowWording& words = japanese ? kJapaneseRows : kEnglishRows;
        const std::string installedVersion = platform.FileVersionText(path);
        const std::string languageField = FixedWidth(platform.FileLanguageName(path), kLanguageWidth);

        // A file whose time or size cannot be read is a missing file.
        LocalDateTime modified;
        std::uint64_t size = 0;
        const bool probed = platform.FileTimeAndSize(path, modified, size);

        const std::string status = RowStatus(row, words, installedVersion, probed);
        std::string rowLine = NameField(row) + "\t" + words.missingText + "\t\t";
        if (probed) {
            rowLine = NameField(row) + "\t" + FormatDateTime(modified) + "\t" + FormatByteCount(size) + "\t" +
                      languageField + "\t" + VersionField(installedVersion);
            ++found;
            // Only the Japanese wording counts outdated files.
            if (status.compare(0, std::string(kJapaneseRows.old).size(), kJapaneseRows.old) == 0) ++old;
        }

        // Append to what the box holds now, so text typed during the run stays.
        window.AppendReportText(rowLine + "\t" + status + kCrLf);
    }

    const int rowCount = static_cast<int>(catalogue.size());
    const bool japanese = platform.SystemCountryName() == kJapanCountry;
    window.AppendReportText(japanese ? JapaneseSummary(rowCount, found, old) : EnglishSummary(rowCount, found));

    window.DisableTimer();
    window.SetStatusText("SearchPath：" + systemFolder);
    window.RestoreDefaultPointer();
}

std::vector<std::string> StatusTexts() {
    // Each outcome in each wording, with the marks the rule gives it for
    // each row. A build that earns "*2" is known by its version, so its
    // outcome is that version's against the row's, or missing when the
    // file's time or size cannot be read.
    std::vector<std::string> texts;
    auto add = [&](const std::string& status) {
        if (std::find(texts.begin(), texts.end(), status) == texts.end()) texts.push_back(status);
    };
    for (const CatalogueRow& row : CatalogueRows()) {
        for (const RowWording& words : {kJapaneseRows, kEnglishRows}) {
            for (int outcome = 0; outcome < kOutcomeCount; ++outcome) {
                add(Status(words, static_cast<Outcome>(outcome), NotUpdatable(row), false));
            }
            for (const char* build : kForeignBuildVersions) {
                if (!IsForeignBuild(NameField(row), build)) continue;
                for (const bool present : {true, false}) {
                    add(Status(words, Compare(row, TrimSpaces(build), present), NotUpdatable(row), true));
                }
            }
        }
    }
    return texts;
}

}  // namespace tessaly
