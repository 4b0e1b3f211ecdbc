#include "ui/ControlBinder.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include "ui/Widgets.h"

namespace relaydeck {

QColor toQColor(Rgb colour) {
    const auto channel = [colour](int shift) {
        return static_cast<int>((colour >> shift) & 0xFFU);
    };
    return QColor(channel(16), channel(8), channel(0));
}

ControlBinder::ControlBinder(WindowModel& model, std::function<void()> onWindowChanged,
                             const OperatorTexts* texts)
    : model_(model),
      texts_(texts),
      onWindowChanged_(std::move(onWindowChanged)),
      widgets_(model.controlCount(), nullptr),
      actions_(model.controlCount(), nullptr),
      filters_(model.controlCount()) {
    model_.addObserver(this);
    if (texts_ != nullptr) listening_ = texts_->listen([this] { languageChanged(); });
}

QString ControlBinder::shown(std::string_view text) const {
    if (texts_ == nullptr)
        return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    return QString::fromStdString(texts_->shown(text));
}

void ControlBinder::addTranslation(std::function<void()> retranslate) {
    retranslate();
    translations_.push_back(std::move(retranslate));
}

void ControlBinder::languageChanged() {
    for (std::size_t id = 0; id < widgets_.size(); ++id) {
        const char* tooltip = model_.definition(static_cast<int>(id)).tooltip;
        if (tooltip[0] != '\0') {
            if (widgets_[id] != nullptr) widgets_[id]->setToolTip(shown(tooltip));
            if (actions_[id] != nullptr) actions_[id]->setToolTip(shown(tooltip));
        }
        apply(static_cast<int>(id));
    }
    for (const auto& retranslate : translations_) retranslate();
    if (onWindowChanged_) onWindowChanged_();
}

ControlBinder::~ControlBinder() {
    model_.removeObserver(this);
}

Qt::CheckState ControlBinder::checkState(int value) {
    switch (value) {
        case 0:
            return Qt::Unchecked;
        case 1:
            return Qt::Checked;
        default:
            return Qt::PartiallyChecked;
    }
}

void ControlBinder::setDisplayFilter(int id, std::function<QString(const QString&)> filter) {
    filters_.at(static_cast<std::size_t>(id)) = std::move(filter);
    apply(id);
}

QWidget* ControlBinder::createWidget(int id, QWidget* parent) {
    const ControlDefinition& def = model_.definition(id);
    QWidget* widget = nullptr;
    switch (def.kind) {
        case ControlKind::Label:
        case ControlKind::Picture:
            widget = new QLabel(parent);
            break;
        case ControlKind::ClickLabel: {
            auto* label = new ClickLabel(parent);
            QObject::connect(label, &ClickLabel::clicked, label, [this, id] { model_.click(id); });
            widget = label;
            break;
        }
        case ControlKind::TextField: {
            auto* edit = new QLineEdit(parent);
            QObject::connect(edit, &QLineEdit::textEdited, edit, [this, id](const QString& text) {
                model_.setText(id, text.toStdString());
            });
            widget = edit;
            break;
        }
        case ControlKind::CheckBox: {
            auto* box = new ModelCheckBox(parent);
            box->onToggle = [this, id] { model_.clickCheckBox(id); };
            widget = box;
            break;
        }
        case ControlKind::Lamp:
            widget = new LampWidget(parent);
            break;
        case ControlKind::Button:
        case ControlKind::MenuItem: {
            auto* button = new QPushButton(parent);
            button->setAutoDefault(false);
            QObject::connect(button, &QPushButton::clicked, button,
                             [this, id] { model_.click(id); });
            widget = button;
            break;
        }
    }
    widget->setObjectName(QString::fromUtf8(def.name));
    if (def.tooltip[0] != '\0') widget->setToolTip(shown(def.tooltip));
    widgets_[static_cast<std::size_t>(id)] = widget;
    apply(id);
    return widget;
}

QAction* ControlBinder::createMenuEntry(int id, QWidget* menu) {
    const ControlDefinition& def = model_.definition(id);
    auto* action = new QAction(menu);
    menu->addAction(action);
    action->setObjectName(QString::fromUtf8(def.name));
    if (def.tooltip[0] != '\0') action->setToolTip(shown(def.tooltip));
    QObject::connect(action, &QAction::triggered, menu, [this, id] {
        model_.click(id);
        apply(id);  // a ticked entry that Qt untoggled on its own ticks again
    });
    actions_[static_cast<std::size_t>(id)] = action;
    apply(id);
    return action;
}

void ControlBinder::controlChanged(int id) {
    if (id >= 0 && static_cast<std::size_t>(id) < widgets_.size()) apply(id);
}

void ControlBinder::windowChanged() {
    if (onWindowChanged_) onWindowChanged_();
}

void ControlBinder::apply(int id) {
    const ControlState& state = model_.state(id);
    const bool typed = model_.definition(id).kind == ControlKind::TextField;
    QString text = typed ? QString::fromStdString(state.text) : shown(state.text);
    if (const auto& filter = filters_[static_cast<std::size_t>(id)]) text = filter(text);
    if (QAction* action = actions_[static_cast<std::size_t>(id)]) {
        action->setText(text);
        action->setCheckable(state.value != 0 || action->isCheckable());
        action->setChecked(state.value != 0);
        action->setEnabled(state.enabled);
        action->setVisible(state.visible);
        return;
    }
    QWidget* widget = widgets_[static_cast<std::size_t>(id)];
    if (widget == nullptr) return;
    // Each kind's widget was made by createWidget; the casts only find out which it is.
    if (auto* box = qobject_cast<QCheckBox*>(widget)) {
        const QSignalBlocker block(box);
        if (box->text() != text) box->setText(text);
        box->setCheckState(checkState(state.value));
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        if (edit->text() != text) {
            const QSignalBlocker block(edit);
            edit->setText(text);
        }
    } else if (auto* lamp = qobject_cast<LampWidget*>(widget)) {
        lamp->setColour(toQColor(state.colour));
        lamp->setText(text);
    } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
        if (button->text() != text) button->setText(text);
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        // A picture keeps the pixmap its view gave it.
        if (model_.definition(id).kind != ControlKind::Picture && label->text() != text) {
            label->setText(text);
        }
    }
    widget->setEnabled(state.enabled);
    widget->setHidden(!state.visible);
}

}  // namespace relaydeck
