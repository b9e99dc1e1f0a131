// The runtime catalogue: the files the package installs into the system
// folder, each with the version the package ships. Constant data, held as
// comma-terminated texts and split at every comma when a run starts.
#pragma once

#include <string>
#include <vector>

namespace tessaly {

// The names text is kept as two texts joined end to end.
extern const char* const kCatalogueNamesFirst;
extern const char* const kCatalogueNamesSecond;
extern const char* const kCatalogueVersions;

// Files the package cannot replace: upper-case names, each with a comma
// before and after it, so that a search for ",NAME," finds whole names only.
extern const char* const kNotUpdatableNames;

// RICHED32.DLL builds that are not Japanese, padded to the width of the
// report's version column because they are compared with that column.
extern const char* const kForeignBuildName;
extern const char* const kForeignBuildVersions[2];

struct CatalogueRow {
    std::string name;     // as stored: the case is kept for the path
    std::string version;  // shipped version text; may be empty
};

// Every piece between commas, the empty piece after a final comma included.
std::vector<std::string> SplitAtCommas(const std::string& text);

// The catalogue rows in order: name piece k paired with version piece k,
// without the empty piece after the final comma.
std::vector<CatalogueRow> CatalogueRows();

}  // namespace tessaly
