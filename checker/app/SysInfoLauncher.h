// The "System info" button: finds the System Information tool through the
// registry and starts it, or tells the user that it is not available.
#pragma once

#include <windows.h>

#include <string>

namespace tessaly {

// Reads the value SubKeyRef of the key KeyName below KeyRoot into KeyVal
// (UTF-8). True when the value was read, whatever its type: text and 32-bit
// numbers set KeyVal, other types leave it as it was. False, with KeyVal
// empty, when the key cannot be opened for reading or the value not read.
bool GetKeyValue(HKEY KeyRoot, const std::string& KeyName, const std::string& SubKeyRef, std::string& KeyVal);

// Starts the tool named by the registry, without waiting for it; shows the
// message box (owned by `owner`) when it cannot be found or started.
void StartSysInfo(HWND owner);

}  // namespace tessaly
