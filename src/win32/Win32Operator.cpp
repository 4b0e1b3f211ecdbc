#include "win32/Win32Operator.h"

#include "win32/AboutView.h"
#include "win32/Text.h"

#include <string>
#include <utility>

namespace relaydeck::win32 {

namespace {

/// The box that answers itself: its text, and the box once found.
struct SelfAnsweringBox {
    const std::wstring* text = nullptr;
    HWND found = nullptr;
};
SelfAnsweringBox* selfAnswering = nullptr;

BOOL CALLBACK findBox(HWND window, LPARAM) {
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (lstrcmpW(className, L"#32770") != 0 || !IsWindowVisible(window)) return TRUE;
    wchar_t text[4096] = {};
    GetDlgItemTextW(window, 0xFFFF, text, 4096);
    if (*selfAnswering->text != text) return TRUE;
    selfAnswering->found = window;
    return FALSE;
}

void CALLBACK answerBox(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    if (selfAnswering == nullptr) return;
    EnumThreadWindows(GetCurrentThreadId(), findBox, 0);
    if (selfAnswering->found != nullptr) {
        PostMessageW(selfAnswering->found, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
}

}  // namespace

int Win32Operator::showAnsweredAfter(HWND parent, const std::wstring& text,
                                     const std::wstring& title, UINT flags,
                                     std::chrono::milliseconds delay) {
    SelfAnsweringBox box{&text, nullptr};
    SelfAnsweringBox* const outer = std::exchange(selfAnswering, &box);
    // A thread timer: its tick comes through the box's own modal loop.
    const UINT_PTR timer = SetTimer(nullptr, 0, static_cast<UINT>(delay.count()), answerBox);
    const int answer = MessageBoxW(parent, text.c_str(), title.c_str(), flags);
    if (timer != 0) KillTimer(nullptr, timer);
    selfAnswering = outer;
    return answer;
}

HWND Win32Operator::owner() const {
    const HWND active = GetActiveWindow();
    if (active != nullptr && IsWindowVisible(active)) return active;
    if (main_ != nullptr && IsWindowVisible(main_)) return main_;
    return nullptr;
}

UINT Win32Operator::flagsFor(const MessageBoxRequest& box) {
    UINT flags = box.buttons == MessageButtons::YesNo ? MB_YESNO : MB_OK;
    switch (box.icon) {
        case MessageIcon::Question:
            flags |= MB_ICONQUESTION;
            break;
        case MessageIcon::Critical:
            flags |= MB_ICONERROR;
            break;
        case MessageIcon::None:
            break;
    }
    return flags | MB_SETFOREGROUND;
}

MessageAnswer Win32Operator::showMessage(const MessageBoxRequest& box) {
    const HWND parent = owner();
    UINT flags = flagsFor(box);
    // With no window of ours up, the box still keeps the thread's windows from input.
    if (parent == nullptr) flags |= MB_TASKMODAL;
    const bool failure = box.buttons == MessageButtons::Ok && box.icon == MessageIcon::Critical;
    const int answer =
        failure && failureBoxDelay_.count() > 0
            ? showAnsweredAfter(parent, widen(box.prompt), widen(box.title), flags,
                                failureBoxDelay_)
            : MessageBoxW(parent, widen(box.prompt).c_str(), widen(box.title).c_str(), flags);
    if (box.buttons == MessageButtons::YesNo) {
        return answer == IDYES ? MessageAnswer::Yes : MessageAnswer::No;
    }
    return MessageAnswer::Ok;
}

void Win32Operator::showAbout(AboutModel& about) {
    AboutView view(about, main_);
    view.runModal();
}

}  // namespace relaydeck::win32
