// Small owners of Win32 handles, each closing its handle once.
#pragma once

#include <windows.h>

#include <utility>

namespace tessaly {

template <class Handle, class Traits>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle h) : h_(h) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : h_(std::exchange(other.h_, Handle())) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) Reset(std::exchange(other.h_, Handle()));
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Handle Get() const { return h_; }
    Handle* Put() { Reset(); return &h_; }  // for out-parameters
    void Reset(Handle h = Handle()) {
        if (h_) Traits::Close(h_);
        h_ = h;
    }

private:
    Handle h_ = Handle();
};

struct FontTraits { static void Close(HFONT h) { DeleteObject(h); } };
struct IconTraits { static void Close(HICON h) { DestroyIcon(h); } };
struct KernelTraits { static void Close(HANDLE h) { CloseHandle(h); } };
struct RegKeyTraits { static void Close(HKEY h) { RegCloseKey(h); } };

using UniqueFont = UniqueHandle<HFONT, FontTraits>;
using UniqueIcon = UniqueHandle<HICON, IconTraits>;
using UniqueKernelHandle = UniqueHandle<HANDLE, KernelTraits>;
using RegKey = UniqueHandle<HKEY, RegKeyTraits>;

// A window's device context, from GetDC until the end of the scope.
class WindowDC {
public:
    explicit WindowDC(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    ~WindowDC() { if (dc_) ReleaseDC(hwnd_, dc_); }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC Get() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

// An object selected into a device context until the end of the scope.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(dc ? SelectObject(dc, object) : nullptr) {}
    ~SelectedObject() { if (old_) SelectObject(dc_, old_); }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace tessaly
