#include "controller/WindowModel.h"

#include <algorithm>
#include <utility>

namespace relaydeck {

WindowModel::WindowModel(std::span<const ControlDefinition> definitions)
    : definitions_(definitions) {
    states_.reserve(definitions.size());
    for (const ControlDefinition& s : definitions) {
        states_.push_back(ControlState{s.text, s.value, s.colour, s.enabled, s.visible});
    }
}

std::optional<int> findControl(std::span<const ControlDefinition> definitions,
                               std::string_view name) {
    for (std::size_t i = 0; i < definitions.size(); ++i) {
        if (name == definitions[i].name) return static_cast<int>(i);
    }
    return std::nullopt;
}

void WindowModel::setText(int id, std::string text) {
    runGuarded([&] { assignText(id, std::move(text)); });
}

void WindowModel::setValue(int id, int value) {
    runGuarded([&] { assignValue(id, value); });
}

void WindowModel::click(int id) {
    runGuarded([&] { onClick(id); });
}

void WindowModel::clickCheckBox(int id) {
    setValue(id, clickedValue(value(id)));
}

template <typename T>
bool WindowModel::change(int id, T ControlState::*field, T newValue) {
    T& current = states_[static_cast<std::size_t>(id)].*field;
    if (current == newValue) return false;
    current = std::move(newValue);
    notifyControl(id);
    return true;
}

void WindowModel::assignText(int id, std::string text) {
    if (change(id, &ControlState::text, std::move(text))) onTextChanged(id);
}

void WindowModel::assignValue(int id, int value) {
    if (change(id, &ControlState::value, value)) onValueChanged(id);
}

void WindowModel::setColour(int id, Rgb colour) {
    change(id, &ControlState::colour, colour);
}

void WindowModel::setEnabled(int id, bool enabled) {
    change(id, &ControlState::enabled, enabled);
}

void WindowModel::setVisible(int id, bool visible) {
    change(id, &ControlState::visible, visible);
}

bool WindowModel::takesInput(int id) const {
    return enabled(id) && visible(id);
}

void WindowModel::setCaption(std::string caption) {
    if (caption_ == caption) return;
    caption_ = std::move(caption);
    notifyWindowChanged();
}

void WindowModel::setWindowVisible(bool visible) {
    if (visible_ == visible) return;
    visible_ = visible;
    notifyWindowChanged();
}

void WindowModel::addObserver(WindowObserver* observer) {
    observers_.push_back(observer);
}

void WindowModel::removeObserver(WindowObserver* observer) {
    observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

void WindowModel::notifyControl(int id) {
    for (WindowObserver* o : std::vector<WindowObserver*>(observers_)) o->controlChanged(id);
}

void WindowModel::notifyWindowChanged() {
    for (WindowObserver* o : std::vector<WindowObserver*>(observers_)) o->windowChanged();
}

}  // namespace relaydeck
