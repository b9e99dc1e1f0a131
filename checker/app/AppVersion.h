// The program's own version, read from its version resource.
#pragma once

#include <string>

namespace tessaly {

// "Ver. " + major + "." + minor + "." + revision of this program's file
// version (for 3.1.0.0: "Ver. 3.1.0"); "Ver. 0.0.0" if the resource is missing.
std::wstring VersionCaption();

}  // namespace tessaly
