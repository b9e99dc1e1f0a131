#include "SystemDll.h"

#include <string>

namespace tessaly {

// The function needs Windows 8, or Windows 7 with update KB2533623; a static
// import of it would keep the program from starting without them.
void RestrictDllSearchToSystemFolder() {
    const auto set = ProcAddress<BOOL(WINAPI*)(DWORD)>(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories");
    if (set) set(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

// By its full path: asked for by name alone, the loader would hand back a
// module of that name that is already loaded, wherever it came from.
HMODULE LoadSystemDll(const wchar_t* name) {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    return LoadLibraryW((std::wstring(folder, length) + L"\\" + name).c_str());
}

}  // namespace tessaly
