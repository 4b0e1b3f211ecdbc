#pragma once
/// @file
/// @brief The operator's message boxes (MessageBoxW) and the modal About window.

#include <windows.h>

#include <chrono>
#include <string>

#include "controller/OperatorInterface.h"

namespace relaydeck::win32 {

/// @brief Shows the controller's boxes as Windows message boxes, owned by the active
/// window of the program (else the main window). Their modal loops dispatch the thread's
/// messages, so timer ticks and link events go on.
class Win32Operator : public OperatorInterface {
  public:
    /// @brief The window that owns boxes and the About window when none of ours is active.
    void setMainWindow(HWND window) { main_ = window; }
    HWND owner() const;

    MessageAnswer showMessage(const MessageBoxRequest& box) override;
    void showAbout(AboutModel& about) override;

    /// @brief The MessageBoxW flags for @p box.
    static UINT flagsFor(const MessageBoxRequest& box);

    /// @brief From now on a box that reports a failure (OK only, error icon) answers itself
    /// after @p delay, so that a station left alone goes on without a click.
    void closeFailureBoxesAfter(std::chrono::milliseconds delay) { failureBoxDelay_ = delay; }

  private:
    /// @brief Shows the box and answers it after @p delay unless the operator does first.
    static int showAnsweredAfter(HWND parent, const std::wstring& text, const std::wstring& title,
                                 UINT flags, std::chrono::milliseconds delay);

    HWND main_ = nullptr;
    std::chrono::milliseconds failureBoxDelay_{0};
};

}  // namespace relaydeck::win32
