#pragma once
/// @file
/// @brief The main window's height and position, in twips.

#include "controller/MainControls.h"

namespace relaydeck {

class SettingsStore;

/// @brief Where the main window stands and how tall it is: the status area alone, or with
/// the settings panel below it.
class WindowPlacement {
  public:
    /// @brief Window heights in twips: status area only, and with the settings panel.
    static constexpr int kShortHeightTwips = 2670;
    static constexpr int kTallHeightTwips = 9810;
    /// @brief The client area's width in twips.
    static constexpr int kClientWidthTwips = 4830;
    /// @brief The range of the window's left and top edges in twips: what a desktop of
    /// 16-bit pixel coordinates can show, 15 twips to the pixel.
    static constexpr double kMinPositionTwips = -32768.0 * 15;
    static constexpr double kMaxPositionTwips = 32767.0 * 15;

    explicit WindowPlacement(MainWindowAccess window) : window_(window) {}

    int heightTwips() const { return heightTwips_; }
    double leftTwips() const { return leftTwips_; }
    double topTwips() const { return topTwips_; }

    void setHeight(int twips);
    /// @brief The window moved (by the operator, or onto a screen). Edges beyond the
    /// position range are brought into it; a non-finite one is ignored.
    void moveTo(double leftTwips, double topTwips);
    /// @brief Takes the position kept in @p settings (each edge clamped) and shows it.
    void loadPosition(const SettingsStore& settings);
    /// @brief Keeps the position in @p settings; a SettingsWriteError propagates.
    void savePosition(const SettingsStore& settings) const;

  private:
    static double clampPosition(double twips);

    MainWindowAccess window_;
    int heightTwips_ = kShortHeightTwips;
    double leftTwips_ = 0;
    double topTwips_ = 0;
};

}  // namespace relaydeck
