#include "ReportColumns.h"

#include "Catalogue.h"
#include "ReportFormat.h"
#include "WinText.h"
#include "mdlFileInfo.h"

#include <algorithm>
#include <string>

namespace tessaly {
namespace {

int Width(HDC dc, const std::string& utf8) {
    const std::wstring text = Utf8ToWide(utf8);
    SIZE size = {};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return static_cast<int>(size.cx);
}

// The widest of the texts, each as the report writes it in a field of `width`.
int WidestField(HDC dc, const std::vector<std::string>& texts, std::size_t width) {
    int widest = 0;
    for (const std::string& text : texts) widest = std::max(widest, Width(dc, FixedWidth(text, width)));
    return widest;
}

// The header's words, split at its tabs: Name, Date, Size, Language, Version, Status.
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

}  // namespace

std::vector<int> ReportTabStops(HDC dc) {
    // Edit controls turn dialog units into pixels with this average width.
    int average = std::max(1, (Width(dc, "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ") / 26 + 1) / 2);
    int gap = (average + 1) / 2;

    std::vector<std::string> names, versions = {kNoVersion};
    for (const CatalogueRow& row : CatalogueRows()) {
        names.push_back(UpperAscii(row.name));
        versions.push_back(row.version);
    }
    int name = WidestField(dc, names, kNameWidth);
    int date = Width(dc, FormatDateTime(LocalDateTime{}));
    int size = Width(dc, FormatByteCount(9999999));  // catalogued files stay below 10 MB
    int language = WidestField(dc, LanguageNames(), kLanguageWidth);
    int version = WidestField(dc, versions, kVersionWidth);

    // The header's words in their columns: Name, Date and Version each take
    // two tabs, Size and Language one.
    const std::vector<std::string> words = HeaderWords();
    int dateColumn = name + gap;
    int sizeColumn = dateColumn + date + gap;
    int languageColumn = sizeColumn + size + gap;
    int versionColumn = languageColumn + language + gap;
    int statusColumn = versionColumn + version + gap;
    int pixels[] = {Width(dc, words[0]) + gap,      dateColumn,     dateColumn + Width(dc, words[1]) + gap,
                    sizeColumn,                     languageColumn, versionColumn,
                    versionColumn + Width(dc, words[4]) + gap, statusColumn};
    std::vector<int> stops;
    for (int px : pixels) stops.push_back((px * 4 + average - 1) / average);
    return stops;
}

}  // namespace tessaly
