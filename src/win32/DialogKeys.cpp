#include "win32/DialogKeys.h"

#include <cwchar>
#include <iterator>

namespace relaydeck::win32 {

namespace {

bool isPushButton(HWND window) {
    wchar_t type[16] = {};
    if (GetClassNameW(window, type, static_cast<int>(std::size(type))) == 0) return false;
    if (_wcsicmp(type, L"Button") != 0) return false;
    const auto style = static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)) & BS_TYPEMASK;
    return style == BS_PUSHBUTTON || style == BS_DEFPUSHBUTTON;
}

}  // namespace

bool handleDialogKey(const MSG& message) {
    if (message.message != WM_KEYDOWN) return false;
    switch (message.wParam) {
        case VK_RETURN: {
            const HWND focus = GetFocus();
            if (focus == nullptr || !isPushButton(focus) || !IsWindowEnabled(focus)) return false;
            SendMessageW(focus, BM_CLICK, 0, 0);
            return true;
        }
        case VK_ESCAPE: {
            const HWND top = GetAncestor(message.hwnd, GA_ROOT);
            if (top == nullptr) return false;
            SendMessageW(top, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
            return true;
        }
        default:
            return false;
    }
}

}  // namespace relaydeck::win32
