// The byte rules of GetKeyValue: how a registry value's returned bytes
// become the text handed back to the caller. Portable; the registry calls
// themselves are in app/SysInfoLauncher.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tessaly {

// Registry value types that GetKeyValue understands (the Win32 numbers).
constexpr std::uint32_t kRegistryText = 1;    // REG_SZ
constexpr std::uint32_t kRegistryNumber = 4;  // REG_DWORD

// The bytes kept of a query's result: all `size` bytes, less one trailing
// NUL when the last returned byte is 0. No other NUL is looked for.
std::string KeptValueBytes(const unsigned char* data, std::size_t size);

// A REG_DWORD from the kept bytes: the first four, least significant first;
// missing high bytes (dropped by the trim) count as zero.
std::uint32_t NumberFromKeptBytes(const std::string& kept);

// Applies a successfully queried value of `type` to keyVal:
//   text   -> keyVal = keptAsText (the kept bytes converted from ANSI),
//   number -> keyVal = the number in decimal (unsigned, no grouping),
//   other  -> keyVal unchanged.
void ApplyRegistryValue(std::uint32_t type, const std::string& kept,
                        const std::string& keptAsText, std::string& keyVal);

}  // namespace tessaly
