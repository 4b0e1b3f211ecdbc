#pragma once
/// @file
/// @brief The manual transmitter fan switch.

namespace relaydeck {

class ActivityNotes;
struct MainContext;

/// @brief Turns the transmitter's fan on and off (the link host's auxiliary output); its
/// lamp shows which.
class Fan {
  public:
    Fan(MainContext& context, ActivityNotes& notes) : context_(context), notes_(notes) {}

    /// @brief The operator clicks the fan's label.
    void clicked();

  private:
    MainContext& context_;
    ActivityNotes& notes_;
};

}  // namespace relaydeck
