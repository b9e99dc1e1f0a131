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

// The status column of a row: the comparison of the installed with the
// shipped version (or the missing word), with the row's marks.
std::string RowStatus(const CatalogueRow& row, const RowWording& words, const std::string& installedVersion,
                      bool present) {
    const std::string nameField = NameField(row);
    std::string status = words.missing;
    if (present) {
        const double installed = VersionToNumber(installedVersion);
        const double shipped = VersionToNumber(LowerAscii(row.version));
        status = installed == shipped ? words.same : installed < shipped ? words.old : words.newer;
        // Only the Japanese wording marks outdated files.
        const std::string key = "," + UpperAscii(TrimTrailingSpaces(nameField)) + ",";
        if (status == kJapaneseRows.old && std::string(kNotUpdatableNames).find(key) != std::string::npos) {
            status += kNotUpdatableMark;
        }
    }
    if (IsForeignBuild(nameField, VersionField(installedVersion))) status += kForeignBuildMark;
    return status;
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
    // A status depends on the row, the wording, whether the file is there
    // and how its version compares: no version at all is the lowest, the
    // shipped one the same and the highest a resource can give the newest,
    // so these versions, with the builds that earn a mark, reach every text.
    std::vector<std::string> texts;
    for (const CatalogueRow& row : CatalogueRows()) {
        const std::string versions[] = {"", row.version, "65535.65535.65535.65535",
                                        TrimSpaces(kForeignBuildVersions[0]), TrimSpaces(kForeignBuildVersions[1])};
        for (const RowWording& words : {kJapaneseRows, kEnglishRows}) {
            for (const std::string& version : versions) {
                for (const bool present : {true, false}) {
                    const std::string status = RowStatus(row, words, version, present);
                    if (std::find(texts.begin(), texts.end(), status) == texts.end()) texts.push_back(status);
                }
            }
        }
    }
    return texts;
}

}  // namespace tessaly
