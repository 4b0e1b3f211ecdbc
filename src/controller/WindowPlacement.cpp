// The main window's height and position.
#include "controller/WindowPlacement.h"

#include <algorithm>
#include <cmath>

#include "controller/MainContext.h"
#include "controller/NumberText.h"
#include "controller/SettingKeys.h"
#include "settings/SettingsStore.h"

namespace relaydeck {

double WindowPlacement::clampPosition(double twips) {
    return std::clamp(twips, kMinPositionTwips, kMaxPositionTwips);
}

void WindowPlacement::setHeight(int twips) {
    if (heightTwips_ == twips) return;
    heightTwips_ = twips;
    window_.notifyWindowChanged();
}

void WindowPlacement::moveTo(double leftTwips, double topTwips) {
    if (!std::isfinite(leftTwips) || !std::isfinite(topTwips)) return;
    leftTwips = clampPosition(leftTwips);
    topTwips = clampPosition(topTwips);
    if (leftTwips == leftTwips_ && topTwips == topTwips_) return;
    leftTwips_ = leftTwips;
    topTwips_ = topTwips;
    window_.notifyWindowChanged();
}

void WindowPlacement::loadPosition(const SettingsStore& settings) {
    const double fallback = *parseNumber(kDefaultPosition);
    const auto edge = [&](const char* key) {
        return clampPosition(
            parseNumber(settings.ReadSetting(key, kDefaultPosition)).value_or(fallback));
    };
    leftTwips_ = edge(kKeyLeft);
    topTwips_ = edge(kKeyTop);
    window_.notifyWindowChanged();
}

void WindowPlacement::savePosition(const SettingsStore& settings) const {
    const SettingValue position[] = {{kKeyLeft, numberToText(leftTwips_)},
                                     {kKeyTop, numberToText(topTwips_)}};
    settings.WriteSettings(position);
}

}  // namespace relaydeck
