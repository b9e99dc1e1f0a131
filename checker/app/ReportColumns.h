// Tab stops that line up the report's columns in the report box's font.
#pragma once

#include <windows.h>

#include <vector>

namespace tessaly {

// Tab stops in dialog units for the report box, measured with the font
// selected into `dc`. Each column starts after the widest value of the
// column before it (catalogue names, dates, sizes, language names,
// versions); the short stops between take the header's second tabs after
// "Name", "Date" and "Version".
std::vector<int> ReportTabStops(HDC dc);

}  // namespace tessaly
