#include "WinText.h"

namespace tessaly {

namespace {

std::wstring MultiByteToWide(UINT codePage, const char* bytes, int length) {
    if (length <= 0) return {};
    const int count = MultiByteToWideChar(codePage, 0, bytes, length, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(count), L'\0');
    MultiByteToWideChar(codePage, 0, bytes, length, wide.data(), count);
    return wide;
}

}  // namespace

std::wstring Utf8ToWide(const std::string& text) {
    return MultiByteToWide(CP_UTF8, text.data(), static_cast<int>(text.size()));
}

std::string WideToUtf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int length = static_cast<int>(text.size());
    const int count = WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(count), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), length, utf8.data(), count, nullptr, nullptr);
    return utf8;
}

std::string AnsiToUtf8(const char* bytes, int length) {
    return WideToUtf8(MultiByteToWide(CP_ACP, bytes, length));
}

std::string Utf8ToAnsi(const std::string& text) {
    const std::wstring wide = Utf8ToWide(text);
    if (wide.empty()) return {};
    const int length = static_cast<int>(wide.size());
    const int count = WideCharToMultiByte(CP_ACP, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<std::size_t>(count), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), length, ansi.data(), count, nullptr, nullptr);
    return ansi;
}

}  // namespace tessaly
