#include "win32/SplashView.h"

#include "controller/WindowLayout.h"
#include "win32/resource.h"

namespace relaydeck::win32 {

SplashView::SplashView(SplashModel& model) : Window(model, splashLayout()), model_(model) {
    createWindow(WS_EX_TOOLWINDOW, WS_POPUP, L"Relaydeck", nullptr, nullptr);
    picture_ = static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr),
                                               MAKEINTRESOURCEW(IDB_SPLASH), IMAGE_BITMAP, 0, 0,
                                               LR_CREATEDIBSECTION));
    host_.setPicture(static_cast<int>(SplashControl::imgLogo), picture_);
    placeCentred();
    applyWindow();
}

SplashView::~SplashView() {
    if (picture_ != nullptr) DeleteObject(picture_);
}

void SplashView::placeCentred() {
    const Scale& scale = host_.scale();
    const int width = scale.px(SplashModel::kWidthTwips);
    const int height = scale.px(SplashModel::kHeightTwips);
    const RECT area = workArea(hwnd());
    SetWindowPos(hwnd(), nullptr, area.left + (area.right - area.left - width) / 2,
                 area.top + (area.bottom - area.top - height) / 2, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void SplashView::applyWindow() {
    const HWND window = hwnd();
    if (window == nullptr) return;
    const bool shown = IsWindowVisible(window) != FALSE;
    if (model_.isVisible() && !shown) {
        ShowWindow(window, SW_SHOW);
        SetForegroundWindow(window);
    } else if (!model_.isVisible() && shown) {
        ShowWindow(window, SW_HIDE);
    }
}

LRESULT SplashView::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:
            // No handler for the system's close command: the buttons are the only way out.
            return 0;
        case WM_DPICHANGED:
            host_.relayout(HIWORD(wParam));
            placeCentred();
            return 0;
        default:
            return Window::onMessage(message, wParam, lParam);
    }
}

}  // namespace relaydeck::win32
