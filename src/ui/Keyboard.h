#pragma once
/// @file
/// @brief Keyboard use as on Windows: the menu bar reached with F10, Alt and the access
///        keys of its captions; Enter presses the focused button; a focus mark that shows
///        on dark backgrounds as on light ones.

#include <QPointer>
#include <QProxyStyle>

class QAction;
class QKeyEvent;
class QMenuBar;

namespace relaydeck {

/// @brief The application's style with a focus mark in the colour that stands out from
/// the background under it, and menu-bar entries drawn highlighted while selected.
class KeyboardStyle : public QProxyStyle {
    Q_OBJECT
  public:
    using QProxyStyle::QProxyStyle;

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
    int styleHint(StyleHint hint, const QStyleOption* option = nullptr,
                  const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;

    /// @brief The colour of a focus mark drawn over @p background: black on light, white
    /// on dark.
    static QColor focusColourOn(const QColor& background);
};

/// @brief Watches the application's key presses (install with
/// QCoreApplication::installEventFilter).
///
/// F10, or Alt pressed and released alone, selects the first entry of the active window's
/// menu bar; then Left and Right move along it, Enter, Space or Down choose the entry, a
/// letter chooses the entry with that access key, and Escape, F10, Alt or a click leave it.
/// Alt with an access key chooses the entry at once. Enter or Return on a focused push
/// button that is not a dialog's default-taking button presses it.
class KeyboardNavigation : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;

    /// @brief The menu bar in menu mode (nullptr: none).
    QMenuBar* activeMenuBar() const { return bar_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool keyPress(QObject* watched, QKeyEvent* key);
    bool menuKey(QKeyEvent* key);
    void enterMenu(QMenuBar* bar);
    void leaveMenu();
    void step(int direction);
    void choose(QAction* action);

    QPointer<QMenuBar> bar_;
    bool altAlone_ = false;
};

/// @brief The access key of @p caption ('a' for "S&ai"), lower case; 0 when it has none.
QChar accessKeyOf(const QString& caption);

/// @brief The menu bar of the window holding @p object (nullptr: none shown).
QMenuBar* menuBarFor(QObject* object);

}  // namespace relaydeck
