#pragma once
/// @file
/// @brief The About window: a fixed dialog frame, centred on the screen, owned by the main
///        window.

#include "controller/AboutModel.h"
#include "win32/Window.h"

namespace relaydeck::win32 {

/// @brief Shows an AboutModel; closing it (button, Escape or close box) closes the model.
class AboutView : public Window {
  public:
    AboutView(AboutModel& model, HWND owner);
    ~AboutView() override;

    /// @brief Shows the window and waits, dispatching the thread's messages, until the
    /// model is closed. Returns early when the message loop is asked to quit (the quit
    /// request is then passed on).
    void runModal();

  protected:
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void applyWindow() override;

  private:
    AboutModel& model_;
    HWND owner_;
    HICON wrench_ = nullptr;
    HICON programIcon_ = nullptr;
};

/// @brief A wrench drawn for the About window's frame, @p size pixels square.
HICON makeWrenchIcon(int size);

}  // namespace relaydeck::win32
