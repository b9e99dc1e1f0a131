#include "ReportColumns.h"

#include "Catalogue.h"
#include "CheckRun.h"
#include "ReportFormat.h"
#include "WinText.h"
#include "mdlFileInfo.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace tessaly {
namespace {

// The report's columns, in the order of the header's words.
enum Column { kName, kDate, kSize, kLanguage, kVersion, kStatus, kColumnCount };

// The widest version text a version resource can give, cut to its field.
constexpr char kWidestVersion[] = "65535.65535.65535.65535";
// Catalogued files stay below 10 MB.
constexpr std::uint64_t kLargestSize = 9999999;

int Width(HDC dc, const std::string& utf8) {
    const std::wstring text = Utf8ToWide(utf8);
    SIZE size = {};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return static_cast<int>(size.cx);
}

// The widest of the texts, each as the report writes it: in a field of
// `width` characters, or as it is when `width` is 0.
int Widest(HDC dc, const std::vector<std::string>& texts, std::size_t width = 0) {
    int widest = 0;
    for (const std::string& text : texts) widest = std::max(widest, Width(dc, width ? FixedWidth(text, width) : text));
    return widest;
}

// The header's words, split at its tabs, one per column.
std::vector<std::string> HeaderWords() {
    std::vector<std::string> words;
    std::string header = kReportHeader;
    header.resize(header.find('\r'));
    for (std::size_t at = 0; at <= header.size();) {
        std::size_t tab = std::min(header.find('\t', at), header.size());
        if (tab > at) words.push_back(header.substr(at, tab - at));
        at = tab + 1;
    }
    return words;
}

// What each column can hold, in either language.
std::vector<std::string> ColumnTexts(Column column) {
    std::vector<std::string> texts;
    switch (column) {
    case kName:
        for (const CatalogueRow& row : CatalogueRows()) texts.push_back(UpperAscii(row.name));
        break;
    case kDate:
        // A missing row's text stands here; as long as it ends before the
        // size column, the row's status takes the version column's stop,
        // whatever the language.
        texts = {FormatDateTime(LocalDateTime{}), kJapaneseRows.missingText, kEnglishRows.missingText};
        break;
    case kSize: texts = {FormatByteCount(kLargestSize)}; break;
    case kLanguage: texts = LanguageNames(); break;
    case kVersion: texts = {kNoVersion, kWidestVersion}; break;
    default: texts = StatusTexts(); break;
    }
    return texts;
}

// Columns whose values are written in fields of a fixed number of characters.
constexpr std::size_t kFieldWidths[kColumnCount] = {kNameWidth, 0, 0, kLanguageWidth, kVersionWidth, 0};

}  // namespace

ReportTable LayOutReportTable(HDC dc, int textWidth) {
    // The edit control turns dialog units into pixels with this average width.
    const int average = std::max(1, (Width(dc, "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ") / 26 + 1) / 2);
    const int gap = (average + 1) / 2;

    // Each column is as wide as its widest value or its header word.
    const std::vector<std::string> words = HeaderWords();
    int width[kColumnCount] = {};
    int tableWidth = (kColumnCount - 1) * gap;
    for (int column = kName; column < kColumnCount; ++column) {
        width[column] = std::max(Widest(dc, ColumnTexts(static_cast<Column>(column)), kFieldWidths[column]),
                                 Width(dc, words[column]));
        tableWidth += width[column];
    }
    // Room to spare goes between the columns, less what rounding the stops
    // to dialog units may add.
    const int spare = textWidth - tableWidth - average;
    const int spread = std::max(0, spare / (kColumnCount - 1));
    int start[kColumnCount] = {};
    for (int column = kDate; column < kColumnCount; ++column) {
        start[column] = start[column - 1] + width[column - 1] + gap + spread;
    }
    // Name, Date and Version take two tabs in the header: the first stops
    // just after the word, shorter than any value of the column.
    auto afterWord = [&](Column column) { return start[column] + Width(dc, words[column]) + gap; };
    const int pixels[] = {afterWord(kName), start[kDate],    afterWord(kDate),    start[kSize],
                          start[kLanguage], start[kVersion], afterWord(kVersion), start[kStatus]};
    ReportTable table;
    for (int px : pixels) table.tabStops.push_back((px * 4 + average - 1) / average);
    table.fits = table.tabStops.back() * average / 4 + width[kStatus] <= textWidth;
    return table;
}

}  // namespace tessaly
