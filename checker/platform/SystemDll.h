// Loading DLLs from the system folder only. A DLL that is not one of
// Windows' KnownDLLs (version.dll, for one) is otherwise looked for first in
// the program's own folder, where a download may have left one of that name.
#pragma once

#include <windows.h>

namespace tessaly {

// From now on, DLLs that the process loads by name, also on its behalf by
// system code, come from the system folder only.
void RestrictDllSearchToSystemFolder();

// Loads `name` from the system folder; null when it is not there.
HMODULE LoadSystemDll(const wchar_t* name);

// The function `name` of `module` as its own type; null when it is missing
// or the module is (GetProcAddress would search the program itself then).
// GetProcAddress gives a generic pointer; going through void(*)() is the
// sanctioned way to turn it into the real function type.
template <typename Fn>
Fn ProcAddress(HMODULE module, const char* name) {
    if (!module) return nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace tessaly
