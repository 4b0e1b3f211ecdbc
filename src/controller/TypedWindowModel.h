#pragma once
/// @file
/// @brief A window model addressed by its own control enum.

#include <string>
#include <utility>

#include "controller/WindowModel.h"

namespace relaydeck {

/// @brief A WindowModel whose controls are named by the enum @p Control, listed in the
/// order of the window's control table. The int-based calls stay available.
template <typename Control>
class TypedWindowModel : public WindowModel {
  public:
    using WindowModel::WindowModel;

    /// @brief The control's id: its place in the control table.
    static constexpr int id(Control c) { return static_cast<int>(c); }

    using WindowModel::click;
    using WindowModel::clickCheckBox;
    using WindowModel::colour;
    using WindowModel::enabled;
    using WindowModel::setText;
    using WindowModel::setValue;
    using WindowModel::text;
    using WindowModel::value;
    using WindowModel::visible;

    /// @brief The controls and frame as the parts of a window's model read and change them
    /// from code: assignments notify, and run handlers, as an edit would.
    class Controls {
      public:
        const std::string& text(Control c) const { return model_.text(c); }
        int value(Control c) const { return model_.value(c); }
        Rgb colour(Control c) const { return model_.colour(c); }
        // Straight to the window's own calls: one move of the text, as from the model itself.
        void assignText(Control c, std::string t) {
            model_.WindowModel::assignText(id(c), std::move(t));
        }
        void assignValue(Control c, int v) { model_.assignValue(c, v); }
        void setColour(Control c, Rgb rgb) { model_.setColour(c, rgb); }
        void setEnabled(Control c, bool on) { model_.setEnabled(c, on); }
        const std::string& caption() const { return model_.caption(); }
        void setCaption(std::string caption) { model_.setCaption(std::move(caption)); }
        /// @brief Tells the views that the window's geometry changed.
        void notifyWindowChanged() { model_.notifyWindowChanged(); }

      private:
        friend TypedWindowModel;
        explicit Controls(TypedWindowModel& model) : model_(model) {}
        TypedWindowModel& model_;
    };

    const std::string& text(Control c) const { return text(id(c)); }
    int value(Control c) const { return value(id(c)); }
    Rgb colour(Control c) const { return colour(id(c)); }
    bool enabled(Control c) const { return enabled(id(c)); }
    bool visible(Control c) const { return visible(id(c)); }
    void setText(Control c, std::string t) { setText(id(c), std::move(t)); }
    void setValue(Control c, int v) { setValue(id(c), v); }
    void click(Control c) { click(id(c)); }
    void clickCheckBox(Control c) { clickCheckBox(id(c)); }

  protected:
    using WindowModel::assignText;
    using WindowModel::assignValue;
    using WindowModel::setColour;
    using WindowModel::setEnabled;
    using WindowModel::setVisible;

    void assignText(Control c, std::string t) { assignText(id(c), std::move(t)); }
    void assignValue(Control c, int v) { assignValue(id(c), v); }
    void setColour(Control c, Rgb rgb) { setColour(id(c), rgb); }
    void setEnabled(Control c, bool on) { setEnabled(id(c), on); }
    void setVisible(Control c, bool on) { setVisible(id(c), on); }

    /// @brief The controls, for the parts of this window's model.
    Controls controls() { return Controls(*this); }

    /// @brief The handlers by control: a text changed, a check box's value changed, a
    /// button, menu entry or clickable label was clicked.
    virtual void textChanged(Control /*c*/) {}
    virtual void valueChanged(Control /*c*/) {}
    virtual void clicked(Control /*c*/) {}

  private:
    void onTextChanged(int i) final { textChanged(static_cast<Control>(i)); }
    void onValueChanged(int i) final { valueChanged(static_cast<Control>(i)); }
    void onClick(int i) final { clicked(static_cast<Control>(i)); }
};

}  // namespace relaydeck
