#pragma once
/// @file
/// @brief Small widgets the windows are built from: lamp, clickable caption, model-driven
///        check box and etched separator.

#include <QCheckBox>
#include <QColor>
#include <QLabel>
#include <QWidget>
#include <functional>
#include <stdexcept>
#include <string>

namespace relaydeck {

/// @brief @p widget as a @p W. A widget of another kind (or none) is a mistake in a
/// window's make-up: it is reported at once rather than used as the wrong type.
template <typename W>
W* widgetAs(QWidget* widget) {
    auto* typed = qobject_cast<W*>(widget);
    if (typed == nullptr) {
        throw std::logic_error(
            std::string("widget ") +
            (widget != nullptr ? widget->objectName().toStdString() : std::string("(none)")) +
            " is not a " + W::staticMetaObject.className());
    }
    return typed;
}

/// @brief A small filled oval in one colour, with an optional caption centred on it.
class LampWidget : public QWidget {
    Q_OBJECT
  public:
    explicit LampWidget(QWidget* parent = nullptr);
    void setColour(const QColor& colour);
    QColor colour() const { return colour_; }
    void setText(const QString& text);
    QString text() const { return text_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QColor colour_{0x80, 0x80, 0x80};
    QString text_;
};

/// @brief A caption that reports a click (press and release over it).
class ClickLabel : public QLabel {
    Q_OBJECT
  public:
    using QLabel::QLabel;

  signals:
    void clicked();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    bool pressed_ = false;
};

/// @brief A check box whose tick state is owned elsewhere: an operator's click or key
/// press only asks @ref onToggle, and the owner sets the state that results.
class ModelCheckBox : public QCheckBox {
    Q_OBJECT
  public:
    using QCheckBox::QCheckBox;
    std::function<void()> onToggle;

  protected:
    void nextCheckState() override;
    /// Value 2 is drawn as a tick on a greyed box, not as Qt's "partially checked" mark.
    void paintEvent(QPaintEvent* event) override;
};

/// @brief An etched horizontal separator: a grey line with a white line beneath it.
class EtchedLine : public QWidget {
    Q_OBJECT
  public:
    using QWidget::QWidget;

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace relaydeck
