#include "VersionResource.h"

#include <cstring>

#include "WinText.h"

namespace tessaly {

VersionResource::VersionResource(const std::string& path) {
    const std::wstring widePath = Utf8ToWide(path);
    DWORD unusedHandle = 0;
    const DWORD size = GetFileVersionInfoSizeW(widePath.c_str(), &unusedHandle);
    if (size == 0) return;
    block_.resize(size);
    if (!GetFileVersionInfoW(widePath.c_str(), 0, size, block_.data())) block_.clear();
}

bool VersionResource::CopyValue(const wchar_t* subBlock, void* out, UINT size) const {
    if (block_.empty()) return false;
    void* value = nullptr;
    UINT length = 0;
    // VerQueryValueW only reads the block; its parameter just lacks const.
    auto* block = const_cast<BYTE*>(block_.data());
    if (!VerQueryValueW(block, subBlock, &value, &length) || value == nullptr || length < size)
        return false;
    std::memcpy(out, value, size);
    return true;
}

}  // namespace tessaly
