// A window object behind a Win32 window: one window class per derived type,
// and a static window procedure that forwards every message to the object's
// HandleMessage.
#pragma once

#include <windows.h>

namespace tessaly {

template <class Derived>
class BaseWindow {
public:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        Derived* self = nullptr;
        if (msg == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
            self = static_cast<Derived*>(create->lpCreateParams);
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
            self->hwnd_ = hwnd;
        } else {
            self = reinterpret_cast<Derived*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        }
        if (self) return self->HandleMessage(msg, wParam, lParam);
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }

    BaseWindow() = default;
    BaseWindow(const BaseWindow&) = delete;
    BaseWindow& operator=(const BaseWindow&) = delete;

    HWND Window() const { return hwnd_; }

protected:
    // Registers the class (once) and creates the window with this object.
    bool Create(const wchar_t* title, DWORD style, DWORD exStyle, HICON icon, HICON smallIcon,
                int x = CW_USEDEFAULT, int y = CW_USEDEFAULT, int width = CW_USEDEFAULT,
                int height = CW_USEDEFAULT) {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = Derived::WindowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = static_cast<const Derived*>(this)->ClassName();
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.hIcon = icon;
        wc.hIconSm = smallIcon;
        WNDCLASSEXW existing = {};
        existing.cbSize = sizeof existing;
        if (!GetClassInfoExW(wc.hInstance, wc.lpszClassName, &existing) && !RegisterClassExW(&wc)) return false;
        // WM_NCCREATE has set hwnd_ by the time creation can still fail (a
        // WM_CREATE handler that refuses): the window is destroyed then.
        HWND created = CreateWindowExW(exStyle, wc.lpszClassName, title, style, x, y, width, height, nullptr,
                                       nullptr, wc.hInstance, static_cast<Derived*>(this));
        if (!created) hwnd_ = nullptr;
        return created != nullptr;
    }

    HWND hwnd_ = nullptr;
};

}  // namespace tessaly
