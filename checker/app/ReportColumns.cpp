#include "ReportColumns.h"

#include "Catalogue.h"
#include "WinText.h"

#include <algorithm>
#include <cwctype>
#include <initializer_list>
#include <string>

namespace tessaly {
namespace {

int Width(HDC dc, const std::wstring& text) {
    SIZE size = {};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return static_cast<int>(size.cx);
}

int Widest(HDC dc, std::initializer_list<const wchar_t*> texts) {
    int widest = 0;
    for (const wchar_t* text : texts) widest = std::max(widest, Width(dc, text));
    return widest;
}

std::wstring Padded(std::wstring text, std::size_t width) {
    text.resize(width, L' ');
    return text;
}

}  // namespace

std::vector<int> ReportTabStops(HDC dc) {
    // Edit controls turn dialog units into pixels with this average width.
    int average = std::max(1, (Width(dc, L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ") / 26 + 1) / 2);
    int gap = (average + 1) / 2;

    int names = 0;
    for (const CatalogueRow& row : CatalogueRows()) {
        std::wstring name = Utf8ToWide(row.name);
        for (wchar_t& c : name) c = static_cast<wchar_t>(std::towupper(c));
        names = std::max(names, Width(dc, Padded(name, 16)));
    }
    int date = Width(dc, L"0000/00/00 00:00:00");
    int size = Width(dc, L"0,000,000");  // catalogued files stay below 10 MB
    // The language field is 20 characters: the longest names fill it.
    int language = Widest(dc, {L"Serbo-Croatian (Cyri", L"Croato-Serbian (Lati", L"Portuguese (Portuga",
                                L"Neutral Language    ", L"Traditional Chinese "});
    int version = Widest(dc, {L"NotVer         ", L"5.1.2600.2180  ", L"6.0.2900.2180  "});

    int dateColumn = names + gap;
    int sizeColumn = dateColumn + date + gap;
    int languageColumn = sizeColumn + size + gap;
    int versionColumn = languageColumn + language + gap;
    int statusColumn = versionColumn + version + gap;
    int pixels[] = {Width(dc, L"Name") + gap,      dateColumn,    dateColumn + Width(dc, L"Date") + gap,
                    sizeColumn,                     languageColumn, versionColumn,
                    versionColumn + Width(dc, L"Version") + gap, statusColumn};
    std::vector<int> stops;
    for (int px : pixels) stops.push_back((px * 4 + average - 1) / average);
    return stops;
}

}  // namespace tessaly
