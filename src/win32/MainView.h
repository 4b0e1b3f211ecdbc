#pragma once
/// @file
/// @brief The main window: status area, lamps, settings panel, save button and menu bar.

#include <functional>
#include <string>
#include <vector>

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

    /// @brief An entry of a menu of Relaydeck's own: its text (asked each time the menu
    /// opens) and what it does.
    struct OwnEntry {
        std::function<std::string()> label;
        std::function<void()> run;
    };
    /// @brief Adds a menu titled @p title after the model's entries.
    void addOwnMenu(const std::string& title, std::vector<OwnEntry> entries);

  protected:
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void applyWindow() override;

  private:
    void applyGeometry();
    MainModel& model_;
    bool applying_ = false;
    HMENU ownMenu_ = nullptr;
    std::vector<OwnEntry> ownEntries_;
};

}  // namespace relaydeck::win32
