#include "win32/MainView.h"

#include "controller/WindowLayout.h"
#include "win32/Text.h"

namespace relaydeck::win32 {

namespace {

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
// Command identifiers of the own menu's entries, far above the controls' own.
constexpr UINT kFirstOwnCommand = 0xE000;

}  // namespace

MainView::MainView(MainModel& model) : Window(model, mainLayout()), model_(model) {
    createWindow(0, kStyle, widen(model.caption()).c_str(), nullptr, CreateMenu());
    applyWindow();
}

void MainView::applyWindow() {
    const HWND window = hwnd();
    if (window == nullptr) return;
    SetWindowTextW(window, widen(model_.caption()).c_str());
    applyGeometry();
    const bool shown = IsWindowVisible(window) != FALSE;
    if (model_.isVisible() && !shown) {
        ShowWindow(window, SW_SHOW);
        SetForegroundWindow(window);
    } else if (model_.isVisible()) {
        if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
        SetForegroundWindow(window);
    } else if (shown) {
        ShowWindow(window, SW_HIDE);
    }
}

void MainView::applyGeometry() {
    const HWND window = hwnd();
    const Scale& scale = host_.scale();
    const SIZE outer =
        outerSize(scale.px(MainModel::kClientWidthTwips), 0, kStyle, 0, true, scale.dpi());
    const int left = scale.px(model_.leftTwips());
    const int top = scale.px(model_.topTwips());
    const int height = scale.px(model_.heightTwips());
    applying_ = true;
    SetWindowPos(window, nullptr, left, top, outer.cx, height, SWP_NOZORDER | SWP_NOACTIVATE);
    // A menu bar that needs a second row (a wide system menu font) takes it from the
    // window's height rather than from the status area.
    RECT client{};
    GetClientRect(window, &client);
    const int expectedClient = height - outer.cy;
    if (client.bottom < expectedClient) {
        SetWindowPos(window, nullptr, left, top, outer.cx, height + expectedClient - client.bottom,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    applying_ = false;
    // The panel below the short window's edge takes no keys: typing must not reach fields
    // the operator cannot see.
    const bool panelShown = model_.heightTwips() > MainModel::kShortHeightTwips;
    host_.setFrameShown(kMainPanelFrame, panelShown);
    host_.setForcedHidden(static_cast<int>(MainControl::Save), !panelShown);
    // A hidden control keeps the keyboard unless the focus moves away from it.
    const HWND focus = GetFocus();
    if (focus != nullptr && focus != window && IsChild(window, focus) && !IsWindowVisible(focus)) {
        SetFocus(window);
    }
}

void MainView::addOwnMenu(const std::string& title, std::vector<OwnEntry> entries) {
    const HWND window = hwnd();
    const HMENU bar = window != nullptr ? GetMenu(window) : nullptr;
    if (bar == nullptr || ownMenu_ != nullptr) return;
    ownEntries_ = std::move(entries);
    // Into the one menu of Relaydeck's own, after the entries of the window's model.
    ownMenu_ = host_.ownMenu();
    const bool fresh = ownMenu_ == nullptr;
    if (fresh) {
        ownMenu_ = CreatePopupMenu();
    } else {
        AppendMenuW(ownMenu_, MF_SEPARATOR, 0, nullptr);
    }
    for (UINT i = 0; i < ownEntries_.size(); ++i) {
        AppendMenuW(ownMenu_, MF_STRING, kFirstOwnCommand + i,
                    host_.shown(ownEntries_[i].label()).c_str());
    }
    if (fresh) {
        AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(ownMenu_),
                    host_.shown(title).c_str());
    }
    DrawMenuBar(window);
}

LRESULT MainView::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND window = hwnd();
    switch (message) {
        case WM_INITMENUPOPUP:
            if (reinterpret_cast<HMENU>(wParam) == ownMenu_ && ownMenu_ != nullptr) {
                for (UINT i = 0; i < ownEntries_.size(); ++i) {
                    ModifyMenuW(ownMenu_, kFirstOwnCommand + i, MF_BYCOMMAND | MF_STRING,
                                kFirstOwnCommand + i, host_.shown(ownEntries_[i].label()).c_str());
                }
                return 0;
            }
            return Window::onMessage(message, wParam, lParam);
        case WM_COMMAND:
            if (lParam == 0 && LOWORD(wParam) >= kFirstOwnCommand &&
                LOWORD(wParam) < kFirstOwnCommand + ownEntries_.size()) {
                ownEntries_[LOWORD(wParam) - kFirstOwnCommand].run();
                return 0;
            }
            return Window::onMessage(message, wParam, lParam);
        case WM_CLOSE:
            // The model asks the operator; when the answer is Yes the program has ended and
            // the window goes with it.
            model_.requestClose();
            return 0;
        case WM_ENDSESSION:
            // Windows is shutting down or the user logs off: the process ends when this
            // returns, with no close request, so the transmitter is released now.
            if (wParam != FALSE) model_.releaseTransmitter();
            return 0;
        case WM_MOVE:
            if (!applying_ && IsWindowVisible(window) && !IsIconic(window)) {
                RECT frame;
                GetWindowRect(window, &frame);
                const Scale& scale = host_.scale();
                const double left = scale.twips(frame.left);
                const double top = scale.twips(frame.top);
                if (scale.px(left) != scale.px(model_.leftTwips()) ||
                    scale.px(top) != scale.px(model_.topTwips())) {
                    model_.moveTo(left, top);
                }
            }
            return 0;
        case WM_DPICHANGED:
            host_.relayout(HIWORD(wParam));
            applyGeometry();
            return 0;
        default:
            return Window::onMessage(message, wParam, lParam);
    }
}

}  // namespace relaydeck::win32
