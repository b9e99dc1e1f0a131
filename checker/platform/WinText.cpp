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

std::string WideToMultiByte(UINT codePage, const std::wstring& text) {
    if (text.empty()) return {};
    const int length = static_cast<int>(text.size());
    const int count = WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(count), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), length, bytes.data(), count, nullptr, nullptr);
    return bytes;
}

}  // namespace

std::wstring Utf8ToWide(const std::string& text) {
    return MultiByteToWide(CP_UTF8, text.data(), static_cast<int>(text.size()));
}

std::string WideToUtf8(const std::wstring& text) { return WideToMultiByte(CP_UTF8, text); }

std::string AnsiToUtf8(const char* bytes, int length) {
    return WideToUtf8(MultiByteToWide(CP_ACP, bytes, length));
}

std::string Utf8ToAnsi(const std::string& text) { return WideToMultiByte(CP_ACP, Utf8ToWide(text)); }

}  // namespace tessaly
