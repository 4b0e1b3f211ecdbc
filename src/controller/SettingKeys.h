#pragma once
/// @file
/// @brief The settings file's keys: each key's control, default and kind, written once.

#include <span>

namespace relaydeck {

enum class MainControl : int;  // controller/MainControls.h

/// @brief How a key's text is read into its control.
enum class SettingKind {
    Text,  ///< goes into a text field unchanged
    /// minutes of at least 0, or empty (off); anything else takes the key's default
    Minutes,
    /// seconds: a text that begins with a number; anything else takes the key's default
    Seconds,
    Milliseconds,  ///< a text field holding whole milliseconds 0..65535
    /// whole milliseconds, or empty: the field's own handler turns an empty text into "0"
    MillisecondsOrEmpty,
    CheckBox,  ///< a check-box value 0, 1 or 2
};

/// @brief One key of the main window's panel.
struct SettingKey {
    const char* key;
    MainControl control;
    const char* defaultValue;  ///< nullptr: the station callsign
    SettingKind kind;
};

/// @brief The panel's sixteen keys in the order start-up reads them.
std::span<const SettingKey> panelKeysInLoadOrder();
/// @brief The same keys in the order the save writes them.
std::span<const SettingKey* const> panelKeysInSaveOrder();

inline constexpr const char* kKeyLeft = "LEFT";
inline constexpr const char* kKeyTop = "TOP";
inline constexpr const char* kKeyStartup = "STARTUP";
/// @brief Default of LEFT and TOP, in twips.
inline constexpr const char* kDefaultPosition = "500";
inline constexpr const char* kDefaultStartup = "0";

}  // namespace relaydeck
