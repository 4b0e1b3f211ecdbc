#pragma once
/// @file
/// @brief The startup dialog: a borderless window with the picture and two buttons.

#include "controller/SplashModel.h"
#include "win32/Window.h"

namespace relaydeck::win32 {

/// @brief Shows a SplashModel; centred on the screen, not in the taskbar.
class SplashView : public Window {
  public:
    explicit SplashView(SplashModel& model);
    ~SplashView() override;

  protected:
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void applyWindow() override;

  private:
    void placeCentred();
    SplashModel& model_;
    HBITMAP picture_ = nullptr;
};

}  // namespace relaydeck::win32
