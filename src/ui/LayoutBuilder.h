#pragma once
/// @file
/// @brief Builds a window's Qt widgets from its toolkit-neutral layout.

#include <QWidget>
#include <type_traits>
#include <vector>

#include "controller/WindowLayout.h"
#include "ui/ControlBinder.h"
#include "ui/Twips.h"

class QGroupBox;
class QLabel;

namespace relaydeck {

/// @brief The model's id of a window's control, from the window's own control enum.
template <typename Control>
requires std::is_enum_v<Control>
constexpr int controlId(Control c) {
    return static_cast<int>(c);
}

/// @brief Creates a window's frames, fixed captions and placed controls in @p client,
/// each where the layout puts it (twips to pixels at the window's resolution), with its
/// font, colour, alignment and look. Controls are created through @p binder, which keeps
/// them bound to the model; menu entries are left to the view.
class LayoutBuilder {
  public:
    LayoutBuilder(const WindowLayout& layout, ControlBinder& binder, const Twips& twips);

    /// @brief Builds everything into @p client, with the window's font and colours.
    void build(QWidget* client);

    /// @brief The group frame at @p index of the layout.
    QGroupBox* frame(int index) const { return frames_.at(static_cast<std::size_t>(index)); }
    /// @brief The widget of a placed control (the etched line's too).
    template <typename Control>
    QWidget* control(Control c) const {
        const int id = controlId(c);
        if (extras_.size() > static_cast<std::size_t>(id) &&
            extras_[static_cast<std::size_t>(id)]) {
            return extras_[static_cast<std::size_t>(id)];
        }
        return binder_.widget(id);
    }

  private:
    QWidget* parentFor(int frame, QWidget* client) const;
    void placeControl(const ControlPlacement& p, QWidget* client);

    const WindowLayout& layout_;
    ControlBinder& binder_;
    const Twips& twips_;
    std::vector<QGroupBox*> frames_;
    std::vector<QLabel*> captions_;  ///< in the order of the layout's captions
    std::vector<QWidget*> extras_;
};

}  // namespace relaydeck
