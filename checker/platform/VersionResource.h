// A file's version information block, read whole, and typed look-ups in it.
#pragma once

#include <windows.h>
#include <winver.h>

#include <string>
#include <vector>

namespace tessaly {

class VersionResource {
public:
    // Reads the block; empty when the file is missing, unreadable or has none.
    explicit VersionResource(const std::string& path);
    // Copies the block of a loaded module (the program's own: its handle),
    // from memory, so however long the module's path; empty when it has
    // none or it claims to be longer than its resource. Only its root
    // value, L"\\" (VS_FIXEDFILEINFO), can be read from it.
    explicit VersionResource(HMODULE module);

    bool Empty() const { return block_.empty(); }

    // Copies exactly `size` bytes of the value at `subBlock` into `out`;
    // false when the value is missing or shorter than `size` bytes.
    bool CopyValue(const wchar_t* subBlock, void* out, UINT size) const;

private:
    bool CopyFixedInfo(void* out, UINT size) const;

    // Our own copy: VerQueryValueW may write into the block it is given.
    mutable std::vector<BYTE> block_;
    // From GetFileVersionInfoW, else from a module's resource.
    bool fromFile_ = true;
};

}  // namespace tessaly
