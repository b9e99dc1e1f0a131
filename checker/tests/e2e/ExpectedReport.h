// The report that Tessaly must show for a system folder, worked out by the
// test from the facts of the files in it: which catalogued files are there,
// with which version, language, size and date. It shares no code with the
// program.
#pragma once

#include <string>
#include <vector>

namespace e2e {

struct FileFacts {
    bool present = false;
    std::wstring version;   // "a.b.c.d", or empty without version information
    std::wstring language;  // display name, possibly empty
    unsigned long long size = 0;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;  // local time
};

struct CatalogueRow {
    const wchar_t* name;
    const wchar_t* version;
};

// The 89 catalogued files with their shipped versions, in order.
const std::vector<CatalogueRow>& Catalogue();

// facts[i] describes the file of Catalogue()[i].
std::wstring ExpectedReport(const std::vector<FileFacts>& facts, bool japanese);

// The header line alone (what the box holds when a run has just started).
std::wstring ReportHeader();

}  // namespace e2e
