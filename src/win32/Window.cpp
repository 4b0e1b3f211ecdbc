#include "win32/Window.h"

namespace relaydeck::win32 {

namespace {

constexpr wchar_t kClassName[] = L"RelaydeckWindow";

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using AdjustForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);

template <typename Fn>
Fn user32Function(const char* name) {
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (user32 == nullptr) return nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(user32, name)));
}

void registerClass() {
    static const bool registered = [] {
        WNDCLASSEXW type{};
        type.cbSize = sizeof type;
        type.style = CS_HREDRAW | CS_VREDRAW;
        type.lpfnWndProc = DefWindowProcW;
        type.hInstance = GetModuleHandleW(nullptr);
        type.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        type.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        type.lpszClassName = kClassName;
        type.hIcon = LoadIconW(type.hInstance, MAKEINTRESOURCEW(1));
        return RegisterClassExW(&type) != 0;
    }();
    (void)registered;
}

}  // namespace

HWND createMessageWindow(const wchar_t* className, WNDPROC procedure, void* owner) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW type{};
    type.cbSize = sizeof type;
    type.lpfnWndProc = procedure;
    type.hInstance = instance;
    type.lpszClassName = className;
    RegisterClassExW(&type);
    const HWND window = CreateWindowExW(0, className, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                        instance, nullptr);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
    return window;
}

unsigned dpiOf(HWND window) {
    static const auto getDpiForWindow = user32Function<GetDpiForWindowFn>("GetDpiForWindow");
    if (window != nullptr && getDpiForWindow != nullptr) {
        const UINT dpi = getDpiForWindow(window);
        if (dpi != 0) return dpi;
    }
    const HDC dc = GetDC(window);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
    ReleaseDC(window, dc);
    return dpi > 0 ? static_cast<unsigned>(dpi) : Scale::kDefaultDpi;
}

SIZE outerSize(int width, int height, DWORD style, DWORD exStyle, bool menu, unsigned dpi) {
    static const auto adjustForDpi = user32Function<AdjustForDpiFn>("AdjustWindowRectExForDpi");
    RECT r{0, 0, width, height};
    if (adjustForDpi != nullptr) {
        adjustForDpi(&r, style, menu ? TRUE : FALSE, exStyle, dpi);
    } else {
        AdjustWindowRectEx(&r, style, menu ? TRUE : FALSE, exStyle);
    }
    return {r.right - r.left, r.bottom - r.top};
}

RECT workArea(HWND window) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    const HMONITOR monitor = window != nullptr
                                 ? MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST)
                                 : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    GetMonitorInfoW(monitor, &info);
    return info.rcWork;
}

Window::Window(WindowModel& model, const WindowLayout& layout) : host_(model, layout) {
    host_.onWindowChanged = [this] { applyWindow(); };
}

Window::~Window() {
    if (hwnd_ != nullptr) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DefWindowProcW));
        DestroyWindow(hwnd_);
    }
}

void Window::createWindow(DWORD exStyle, DWORD style, const wchar_t* title, HWND owner,
                          HMENU menu) {
    registerClass();
    hwnd_ = CreateWindowExW(exStyle, kClassName, title, style, CW_USEDEFAULT, CW_USEDEFAULT, 100,
                            100, owner, menu, GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Window::windowProc));
    host_.create(hwnd_, dpiOf(hwnd_), menu);
}

LRESULT CALLBACK Window::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    return self->dispatch(message, wParam, lParam);
}

LRESULT Window::dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case ControlHost::kApplyPending:
            host_.applyPending();
            return 0;
        case WM_COMMAND:
            if (host_.handleCommand(wParam, lParam)) return 0;
            break;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            if (auto brush = host_.handleColour(reinterpret_cast<HDC>(wParam),
                                                reinterpret_cast<HWND>(lParam))) {
                return *brush;
            }
            break;
        case WM_DRAWITEM:
            if (host_.handleDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) {
                return TRUE;
            }
            break;
        case WM_ERASEBKGND: {
            RECT area;
            GetClientRect(hwnd_, &area);
            if (host_.paintBackground(reinterpret_cast<HDC>(wParam), area)) return 1;
            break;
        }
        default:
            break;
    }
    return onMessage(message, wParam, lParam);
}

LRESULT Window::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

}  // namespace relaydeck::win32
