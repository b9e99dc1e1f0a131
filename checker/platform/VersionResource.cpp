#include "VersionResource.h"

#include <cstring>
#include <cwchar>

#include "SystemDll.h"
#include "WinText.h"

namespace tessaly {
namespace {

// version.dll's three functions, from the system folder's version.dll: it is
// not a KnownDLL, so a static import would take one beside the program first.
struct VersionFunctions {
    decltype(&GetFileVersionInfoSizeW) infoSize = nullptr;
    decltype(&GetFileVersionInfoW) info = nullptr;
    decltype(&VerQueryValueW) queryValue = nullptr;
};

// Loaded once and kept; all null when version.dll cannot be loaded, and then
// every file reads as one without version information.
const VersionFunctions& Version() {
    static const VersionFunctions functions = [] {
        VersionFunctions f;
        if (HMODULE module = LoadSystemDll(L"version.dll")) {
            f.infoSize = ProcAddress<decltype(f.infoSize)>(module, "GetFileVersionInfoSizeW");
            f.info = ProcAddress<decltype(f.info)>(module, "GetFileVersionInfoW");
            f.queryValue = ProcAddress<decltype(f.queryValue)>(module, "VerQueryValueW");
        }
        return f.infoSize && f.info && f.queryValue ? f : VersionFunctions{};
    }();
    return functions;
}

}  // namespace

VersionResource::VersionResource(const std::string& path) {
    const VersionFunctions& version = Version();
    if (!version.infoSize) return;
    const std::wstring widePath = Utf8ToWide(path);
    DWORD unusedHandle = 0;
    const DWORD size = version.infoSize(widePath.c_str(), &unusedHandle);
    if (size == 0) return;
    block_.resize(size);
    if (!version.info(widePath.c_str(), 0, size, block_.data())) block_.clear();
}

VersionResource::VersionResource(HMODULE module) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const auto* data = static_cast<const BYTE*>(loaded ? LockResource(loaded) : nullptr);
    const DWORD size = found ? SizeofResource(module, found) : 0;
    // The block begins with its own length, which the reading below trusts.
    WORD length = 0;
    if (!data || size < sizeof length) return;
    std::memcpy(&length, data, sizeof length);
    if (length <= size) block_.assign(data, data + length);
    fromFile_ = false;
}

// VerQueryValueW is documented for blocks from GetFileVersionInfoW, which
// leaves room after the resource's data that the function may use; a
// module's resource has none, and how much room is needed is not
// documented. So a module's block gives only its root value, the
// VS_FIXEDFILEINFO, read by the documented VS_VERSIONINFO layout: wLength,
// wValueLength, wType, the key L"VS_VERSION_INFO", padding to 32 bits, and
// the value (wValueLength bytes; none when the resource has no fixed record).
bool VersionResource::CopyFixedInfo(void* out, UINT size) const {
    static const wchar_t key[] = L"VS_VERSION_INFO";
    const size_t valueAt = (3 * sizeof(WORD) + sizeof key + 3) & ~size_t{3};
    WORD valueLength = 0;
    if (block_.size() < valueAt || std::memcmp(block_.data() + 3 * sizeof(WORD), key, sizeof key) != 0)
        return false;
    std::memcpy(&valueLength, block_.data() + sizeof(WORD), sizeof valueLength);
    if (valueLength < size || block_.size() < valueAt + valueLength) return false;
    std::memcpy(out, block_.data() + valueAt, size);
    return true;
}

bool VersionResource::CopyValue(const wchar_t* subBlock, void* out, UINT size) const {
    if (block_.empty()) return false;
    if (!fromFile_) return std::wcscmp(subBlock, L"\\") == 0 && CopyFixedInfo(out, size);
    void* value = nullptr;
    UINT length = 0;
    if (!Version().queryValue(block_.data(), subBlock, &value, &length) || value == nullptr || length < size)
        return false;
    std::memcpy(out, value, size);
    return true;
}

}  // namespace tessaly
