#pragma once
/// @file
/// @brief The state of one window's controls, kept apart from any toolkit.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace relaydeck {

class OperatorTexts;

/// @brief What a control is; decides which of its state a view shows.
enum class ControlKind {
    Label,       ///< static or computed caption
    ClickLabel,  ///< a caption the operator can click
    TextField,   ///< editable text with a change notification
    CheckBox,    ///< value 0 unticked, 1 ticked, 2 ticked and greyed
    Lamp,        ///< filled oval with a colour
    Button,
    MenuItem,
    Picture,
};

/// @brief An RGB colour as 0xRRGGBB.
using Rgb = std::uint32_t;
inline constexpr Rgb kGrey = 0x808080;
inline constexpr Rgb kRed = 0xFF0000;
inline constexpr Rgb kGreen = 0x00FF00;
inline constexpr Rgb kLightOrange = 0xFFC080;
inline constexpr Rgb kYellow = 0xFFFF00;

/// @brief How a control is created: its name, kind, creation text and flags.
struct ControlDefinition {
    const char* name;
    ControlKind kind;
    const char* text = "";     ///< caption or field text at creation
    const char* tooltip = "";  ///< hover text
    bool enabled = true;
    bool visible = true;
    int value = 0;       ///< check-box value at creation
    Rgb colour = kGrey;  ///< lamp colour at creation
};

/// @brief The id of the control called @p name among @p definitions, if there is one.
std::optional<int> findControl(std::span<const ControlDefinition> definitions,
                               std::string_view name);

/// @brief The changing state of a control.
struct ControlState {
    std::string text;
    int value = 0;
    Rgb colour = kGrey;
    bool enabled = true;
    bool visible = true;
};

/// @brief Told of every change a view has to show.
class WindowObserver {
  public:
    virtual ~WindowObserver() = default;
    /// @brief A control's text, value, colour, enabled or visible flag changed.
    virtual void controlChanged(int id) = 0;
    /// @brief The caption, geometry or visibility of the window changed.
    virtual void windowChanged() = 0;
};

/// @brief A window's controls and frame, with the toolkit's notification rules.
///
/// setText raises the change handler only when the text differs, exactly like an
/// operator's edit; a handler that assigns its own field runs again, nested.
class WindowModel {
  public:
    explicit WindowModel(std::span<const ControlDefinition> definitions);
    virtual ~WindowModel() = default;
    WindowModel(const WindowModel&) = delete;
    WindowModel& operator=(const WindowModel&) = delete;

    std::size_t controlCount() const { return definitions_.size(); }
    const ControlDefinition& definition(int id) const {
        return definitions_[static_cast<std::size_t>(id)];
    }
    const ControlState& state(int id) const { return states_[static_cast<std::size_t>(id)]; }

    const std::string& text(int id) const { return state(id).text; }
    int value(int id) const { return state(id).value; }
    Rgb colour(int id) const { return state(id).colour; }
    bool enabled(int id) const { return state(id).enabled; }
    bool visible(int id) const { return state(id).visible; }

    /// @brief The operator edits a text field: when the text differs, observers are told
    /// and the change handler runs.
    void setText(int id, std::string text);
    /// @brief The operator sets a check box: when the value differs, the click handler runs.
    void setValue(int id, int value);
    /// @brief The operator clicks a button, menu entry or clickable label.
    void click(int id);
    /// @brief The operator clicks a check box: unticked (0) becomes ticked (1); ticked (1)
    /// and ticked-and-greyed (2) become unticked. The click handler runs.
    void clickCheckBox(int id);
    /// @brief The value a click gives a check box that holds @p value.
    static constexpr int clickedValue(int value) { return value == 0 ? 1 : 0; }

    /// @brief True when the operator can reach the control (enabled and visible).
    bool takesInput(int id) const;

    const std::string& caption() const { return caption_; }
    /// @brief The texts the window is shown in; nullptr: as designed.
    virtual const OperatorTexts* operatorTexts() const { return nullptr; }
    bool isVisible() const { return visible_; }

    void addObserver(WindowObserver* observer);
    void removeObserver(WindowObserver* observer);

  protected:
    /// @brief Assigns a text from code, with the same notification as an edit.
    void assignText(int id, std::string text);
    /// @brief Assigns a check-box value from code, with the same notification as a click.
    void assignValue(int id, int value);
    void setColour(int id, Rgb colour);
    void setEnabled(int id, bool enabled);
    void setVisible(int id, bool visible);

    /// @brief Runs one operator action; a window with a program routes it through the
    /// program's failure handling.
    virtual void runGuarded(const std::function<void()>& action) { action(); }

    virtual void onTextChanged(int /*id*/) {}
    virtual void onValueChanged(int /*id*/) {}
    virtual void onClick(int /*id*/) {}

    void setCaption(std::string caption);
    void setWindowVisible(bool visible);
    void notifyWindowChanged();

  private:
    /// @brief Sets one field of a control's state; when it differs, observers are told
    /// and true is returned.
    template <typename T>
    bool change(int id, T ControlState::*field, T newValue);
    void notifyControl(int id);
    std::span<const ControlDefinition> definitions_;
    std::vector<ControlState> states_;
    std::string caption_;
    bool visible_ = false;
    std::vector<WindowObserver*> observers_;
};

}  // namespace relaydeck
