// Tab stops that line up the report's columns in the report box's font.
#pragma once

#include <windows.h>

#include <vector>

namespace tessaly {

// The report's table in the font selected into `dc`, for a box whose text
// is `textWidth` pixels wide. Each column starts after the widest text the
// column before it can hold (catalogue names, dates and the missing-file
// texts, sizes, language names, versions), with the room to spare shared
// out between the columns; the short stops between take the header's second
// tabs after "Name", "Date" and "Version".
struct ReportTable {
    std::vector<int> tabStops;  // dialog units, for EM_SETTABSTOPS
    bool fits = false;          // the widest row, its status included, fits the width
};

ReportTable LayOutReportTable(HDC dc, int textWidth);

}  // namespace tessaly
