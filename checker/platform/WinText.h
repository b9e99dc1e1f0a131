// Conversions between the program's UTF-8 text and the texts of Windows:
// UTF-16 for the wide functions, the ANSI code page for the "A" functions.
#pragma once

#include <windows.h>

#include <string>

namespace tessaly {

std::wstring Utf8ToWide(const std::string& text);
std::string WideToUtf8(const std::wstring& text);
std::string AnsiToUtf8(const char* bytes, int length);  // from the ANSI code page
std::string Utf8ToAnsi(const std::string& text);        // to the ANSI code page

}  // namespace tessaly
