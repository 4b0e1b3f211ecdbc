#include "win32/AboutView.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "controller/WindowLayout.h"
#include "win32/Text.h"
#include "win32/resource.h"

namespace relaydeck::win32 {

namespace {

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;

/// Draws the wrench on @p dc in @p body, the cut-outs in @p hole; 32 units to @p size.
void drawWrench(HDC dc, int size, COLORREF body, COLORREF hole) {
    const auto at = [size](double v) { return static_cast<int>(std::lround(v * size / 32.0)); };
    const HPEN handlePen = CreatePen(PS_SOLID, std::max(1, at(6)), body);
    HGDIOBJ oldPen = SelectObject(dc, handlePen);
    MoveToEx(dc, at(5), at(27), nullptr);
    LineTo(dc, at(19), at(13));
    SelectObject(dc, oldPen);
    DeleteObject(handlePen);

    const HBRUSH bodyBrush = CreateSolidBrush(body);
    const HPEN bodyPen = CreatePen(PS_SOLID, 1, body);
    HGDIOBJ oldBrush = SelectObject(dc, bodyBrush);
    oldPen = SelectObject(dc, bodyPen);
    Ellipse(dc, at(14), at(3), at(29), at(18));
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(bodyBrush);
    DeleteObject(bodyPen);

    // The jaw: a slot cut into the head from its upper right.
    const HBRUSH holeBrush = CreateSolidBrush(hole);
    const HPEN holePen = CreatePen(PS_SOLID, 1, hole);
    oldBrush = SelectObject(dc, holeBrush);
    oldPen = SelectObject(dc, holePen);
    const POINT slot[] = {{at(19), at(10)}, {at(25), at(4)}, {at(31), at(10)}, {at(25), at(16)}};
    Polygon(dc, slot, static_cast<int>(std::size(slot)));
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(holeBrush);
    DeleteObject(holePen);
}

}  // namespace

HICON makeWrenchIcon(int size) {
    const HDC screen = GetDC(nullptr);
    const HDC dc = CreateCompatibleDC(screen);
    const HBITMAP colour = CreateCompatibleBitmap(screen, size, size);
    const HBITMAP mask = CreateBitmap(size, size, 1, 1, nullptr);
    const RECT all{0, 0, size, size};

    HGDIOBJ old = SelectObject(dc, colour);
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    drawWrench(dc, size, RGB(0xA8, 0xAC, 0xB4), RGB(0, 0, 0));
    SelectObject(dc, mask);
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    drawWrench(dc, size, RGB(0, 0, 0), RGB(0xFF, 0xFF, 0xFF));
    SelectObject(dc, old);

    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmColor = colour;
    info.hbmMask = mask;
    const HICON icon = CreateIconIndirect(&info);
    DeleteObject(colour);
    DeleteObject(mask);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return icon;
}

AboutView::AboutView(AboutModel& model, HWND owner)
    : Window(model, aboutLayout()), model_(model), owner_(owner) {
    createWindow(kExStyle, kStyle, widen(model.caption()).c_str(), owner, nullptr);
    const HWND window = hwnd();
    wrench_ = makeWrenchIcon(GetSystemMetrics(SM_CXSMICON));
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(wrench_));
    SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(wrench_));
    programIcon_ = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr),
                                                 MAKEINTRESOURCEW(IDI_RELAYDECK), IMAGE_ICON,
                                                 32, 32, 0));
    host_.setIcon(static_cast<int>(AboutControl::picIcon), programIcon_);

    const Scale& scale = host_.scale();
    const SIZE outer = outerSize(scale.px(AboutModel::kWidthTwips),
                                 scale.px(AboutModel::kHeightTwips), kStyle, kExStyle, false,
                                 scale.dpi());
    const RECT area = workArea(owner);
    SetWindowPos(window, nullptr, area.left + (area.right - area.left - outer.cx) / 2,
                 area.top + (area.bottom - area.top - outer.cy) / 2, outer.cx, outer.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    applyWindow();
}

AboutView::~AboutView() {
    if (owner_ != nullptr) EnableWindow(owner_, TRUE);
    if (wrench_ != nullptr) DestroyIcon(wrench_);
    if (programIcon_ != nullptr) DestroyIcon(programIcon_);
}

void AboutView::applyWindow() {
    if (hwnd() != nullptr) SetWindowTextW(hwnd(), widen(model_.caption()).c_str());
}

void AboutView::runModal() {
    const HWND window = hwnd();
    if (owner_ != nullptr) EnableWindow(owner_, FALSE);
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    SetFocus(host_.handle(static_cast<int>(AboutControl::cmdOK)));
    MSG message;
    while (!model_.closed()) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (got == -1) break;
        if (IsDialogMessageW(window, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    // The owner takes input again before this window goes, so that it gets the focus back.
    if (owner_ != nullptr) {
        EnableWindow(owner_, TRUE);
        SetActiveWindow(owner_);
    }
    ShowWindow(window, SW_HIDE);
}

LRESULT AboutView::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:
            model_.close();
            return 0;
        case WM_COMMAND:
            // Enter and Escape as a dialog sends them.
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                if (LOWORD(wParam) == IDOK) {
                    model_.click(static_cast<int>(AboutControl::cmdOK));
                } else {
                    model_.close();
                }
                return 0;
            }
            break;
        case DM_GETDEFID:
            return MAKELRESULT(ControlHost::commandId(static_cast<int>(AboutControl::cmdOK)),
                               DC_HASDEFID);
        default:
            break;
    }
    return Window::onMessage(message, wParam, lParam);
}

}  // namespace relaydeck::win32
