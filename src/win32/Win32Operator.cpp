#include "win32/Win32Operator.h"

#include "win32/AboutView.h"
#include "win32/Text.h"

namespace relaydeck::win32 {

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
    const int answer = MessageBoxW(parent, widen(box.prompt).c_str(), widen(box.title).c_str(), flags);
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
