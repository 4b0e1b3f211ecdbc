#pragma once
/// @file
/// @brief The main window: status area, lamps, settings panel, save button and menu bar.

#include "controller/MainModel.h"
#include "win32/Window.h"

namespace relaydeck::win32 {

/// @brief Shows a MainModel and passes the operator's input to it.
///
/// Fixed size: 4830 twips of client width and the model's outer height (title bar, menu
/// bar and borders included). Follows the model's caption, position and visibility, and
/// tells the model when the operator moves the window or asks to close it.
class MainView : public Window {
  public:
    explicit MainView(MainModel& model);

  protected:
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void applyWindow() override;

  private:
    void applyGeometry();
    MainModel& model_;
    bool applying_ = false;
};

}  // namespace relaydeck::win32
