#include "ui/Keyboard.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QStyleOption>

namespace relaydeck {

namespace {

/// Alt only: AltGr types characters on many keyboards, and Windows opens no menu for it.
bool isAltKey(int key) {
    return key == Qt::Key_Alt;
}

QList<QAction*> usable(const QMenuBar* bar) {
    QList<QAction*> result;
    for (QAction* action : bar->actions()) {
        if (action->isVisible() && action->isEnabled() && !action->isSeparator()) {
            result.append(action);
        }
    }
    return result;
}

QAction* withAccessKey(const QMenuBar* bar, QChar key) {
    for (QAction* action : usable(bar)) {
        if (accessKeyOf(action->text()) == key) return action;
    }
    return nullptr;
}

}  // namespace

QChar accessKeyOf(const QString& caption) {
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != QLatin1Char('&')) continue;
        if (caption[i + 1] != QLatin1Char('&')) return caption[i + 1].toLower();
        ++i;  // "&&" is a plain ampersand
    }
    return QChar();
}

QMenuBar* menuBarFor(QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget == nullptr) return nullptr;
    auto* main = qobject_cast<QMainWindow*>(widget->window());
    if (main == nullptr) return nullptr;
    QMenuBar* bar = main->menuBar();
    return bar != nullptr && bar->isVisible() ? bar : nullptr;
}

QColor KeyboardStyle::focusColourOn(const QColor& background) {
    return background.lightness() < 128 ? QColor(Qt::white) : QColor(Qt::black);
}

void KeyboardStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                  QPainter* painter, const QWidget* widget) const {
    if (element != PE_FrameFocusRect || option == nullptr) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    // A dotted rectangle, as on Windows, in the colour that shows on what lies below.
    QColor background = option->palette.color(QPalette::Window);
    if (widget != nullptr && widget->parentWidget() != nullptr && !widget->autoFillBackground()) {
        background =
            widget->parentWidget()->palette().color(widget->parentWidget()->backgroundRole());
    }
    painter->save();
    QPen pen(focusColourOn(background));
    pen.setStyle(Qt::DotLine);
    pen.setWidth(1);
    painter->setPen(pen);
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
    painter->restore();
}

void KeyboardStyle::drawControl(ControlElement element, const QStyleOption* option,
                                QPainter* painter, const QWidget* widget) const {
    if (element == CE_MenuBarItem && option != nullptr && (option->state & State_Selected)) {
        // The selected entry is shown pressed, whether the mouse or the keyboard chose it.
        if (const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option)) {
            QStyleOptionMenuItem selected(*item);
            selected.state |= State_Sunken;
            QProxyStyle::drawControl(element, &selected, painter, widget);
            return;
        }
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

int KeyboardStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                             QStyleHintReturn* returnData) const {
    // Menu-bar keys are KeyboardNavigation's: the style must not handle Alt as well.
    if (hint == SH_MenuBar_AltKeyNavigation) return 0;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

bool KeyboardNavigation::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
            return keyPress(watched, static_cast<QKeyEvent*>(event));
        case QEvent::ShortcutOverride:
            // In menu mode every key is the menu's, shortcuts included.
            if (bar_ != nullptr) {
                event->accept();
                return true;
            }
            return false;
        case QEvent::KeyRelease: {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (!isAltKey(key->key()) || key->isAutoRepeat()) return false;
            const bool alone = altAlone_;
            altAlone_ = false;
            if (!alone) return false;
            if (bar_ != nullptr) {
                leaveMenu();
            } else if (QMenuBar* bar = menuBarFor(watched)) {
                enterMenu(bar);
            }
            return bar_ != nullptr;
        }
        case QEvent::MouseButtonPress:
        case QEvent::WindowDeactivate:
        case QEvent::ApplicationDeactivate:
            // The mouse takes over (a click on the bar itself is the bar's to handle).
            altAlone_ = false;
            if (bar_ != nullptr) leaveMenu();
            return false;
        default:
            return false;
    }
}

bool KeyboardNavigation::keyPress(QObject* watched, QKeyEvent* key) {
    if (isAltKey(key->key())) {
        if (!key->isAutoRepeat()) altAlone_ = true;
        return bar_ != nullptr;
    }
    altAlone_ = false;
    if (bar_ != nullptr) return menuKey(key);

    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    if (key->key() == Qt::Key_F10 && mods == Qt::NoModifier) {
        if (QMenuBar* bar = menuBarFor(watched)) {
            enterMenu(bar);
            return true;
        }
        return false;
    }
    if (mods == Qt::AltModifier && !key->text().isEmpty()) {
        // Alt and an access key: the entry at once, as on Windows.
        if (QMenuBar* bar = menuBarFor(watched)) {
            if (QAction* action = withAccessKey(bar, key->text().at(0).toLower())) {
                choose(action);
                return true;
            }
        }
        return false;
    }
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (enter && mods == Qt::NoModifier) {
        // A dialog's default-taking buttons answer Enter themselves.
        auto* button = qobject_cast<QPushButton*>(watched);
        if (button != nullptr && button->hasFocus() && !button->autoDefault() &&
            button->isEnabled()) {
            button->click();
            return true;
        }
    }
    return false;
}

bool KeyboardNavigation::menuKey(QKeyEvent* key) {
    switch (key->key()) {
        case Qt::Key_Left:
            step(-1);
            return true;
        case Qt::Key_Right:
        case Qt::Key_Tab:
            step(1);
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
        case Qt::Key_Down:
            choose(bar_->activeAction());
            return true;
        case Qt::Key_Escape:
        case Qt::Key_F10:
            leaveMenu();
            return true;
        default:
            break;
    }
    if (!key->text().isEmpty()) {
        if (QAction* action = withAccessKey(bar_, key->text().at(0).toLower())) choose(action);
    }
    return true;
}

void KeyboardNavigation::enterMenu(QMenuBar* bar) {
    const QList<QAction*> actions = usable(bar);
    if (actions.isEmpty()) return;
    bar_ = bar;
    bar->setActiveAction(actions.front());
    bar->update();
}

void KeyboardNavigation::leaveMenu() {
    if (bar_ != nullptr) {
        bar_->setActiveAction(nullptr);
        bar_->update();
    }
    bar_ = nullptr;
}

void KeyboardNavigation::step(int direction) {
    const QList<QAction*> actions = usable(bar_);
    if (actions.isEmpty()) {
        leaveMenu();
        return;
    }
    const qsizetype at = actions.indexOf(bar_->activeAction());
    const qsizetype count = actions.size();
    const qsizetype next = at < 0 ? 0 : (at + direction + count) % count;
    bar_->setActiveAction(actions[next]);
    bar_->update();
}

void KeyboardNavigation::choose(QAction* action) {
    leaveMenu();
    // The entry may open a modal box: it runs once this key has been handled.
    if (action != nullptr && action->isEnabled()) {
        QMetaObject::invokeMethod(
            action,
            [target = QPointer<QAction>(action)] {
                if (target != nullptr) target->trigger();
            },
            Qt::QueuedConnection);
    }
}

}  // namespace relaydeck
