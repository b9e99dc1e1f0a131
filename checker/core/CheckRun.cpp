#include "CheckRun.h"

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

        std::string versionField = FixedWidth(installedVersion, kVersionWidth);
        const std::string languageField = FixedWidth(platform.FileLanguageName(path), kLanguageWidth);
        if (TrimSpaces(versionField).empty()) versionField = FixedWidth(kNoVersion, kVersionWidth);
        const std::string nameField = FixedWidth(UpperAscii(row.name), kNameWidth);

        // A file whose time or size cannot be read is a missing file.
        LocalDateTime modified;
        std::uint64_t size = 0;
        const bool probed = platform.FileTimeAndSize(path, modified, size);

        std::string rowLine;
        std::string status;
        if (probed) {
            rowLine = nameField + "\t" + FormatDateTime(modified) + "\t" + FormatByteCount(size) +
                      "\t" + languageField + "\t" + versionField;
            const double installed = VersionToNumber(installedVersion);
            const double shipped = VersionToNumber(LowerAscii(row.version));
            status = installed == shipped ? words.same : installed < shipped ? words.old : words.newer;

            ++found;
            // Only the Japanese wording counts and marks outdated files.
            if (status == kJapaneseRows.old) {
                ++old;
                const std::string key = "," + UpperAscii(TrimTrailingSpaces(nameField)) + ",";
                if (std::string(kNotUpdatableNames).find(key) != std::string::npos) status += kNotUpdatableMark;
            }
        } else {
            status = words.missing;
            rowLine = nameField + "\t" + words.missingText + "\t\t";
        }
        if (IsForeignBuild(nameField, versionField)) status += kForeignBuildMark;

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

}  // namespace tessaly
