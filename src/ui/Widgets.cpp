#include "ui/Widgets.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace relaydeck {

LampWidget::LampWidget(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void LampWidget::setColour(const QColor& colour) {
    if (colour == colour_) return;
    colour_ = colour;
    update();
}

void LampWidget::setText(const QString& text) {
    if (text == text_) return;
    text_ = text;
    update();
}

void LampWidget::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(colour_);
    painter.drawEllipse(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
    if (!text_.isEmpty()) {
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(rect(), Qt::AlignCenter, text_);
    }
}

void ClickLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        pressed_ = true;
        event->accept();
        return;
    }
    QLabel::mousePressEvent(event);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && pressed_) {
        pressed_ = false;
        event->accept();
        if (rect().contains(event->position().toPoint())) emit clicked();
        return;
    }
    QLabel::mouseReleaseEvent(event);
}

void ModelCheckBox::nextCheckState() {
    if (onToggle) onToggle();
}

void ModelCheckBox::paintEvent(QPaintEvent* event) {
    if (checkState() != Qt::PartiallyChecked) {
        QCheckBox::paintEvent(event);
        return;
    }
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.state &= ~QStyle::State_NoChange;
    option.state |= QStyle::State_On;
    // The classic "greyed" box: a dark grey tick on a light grey face, whatever the window.
    option.palette.setColor(QPalette::Base, QColor(0xD4, 0xD0, 0xC8));
    option.palette.setColor(QPalette::Text, QColor(0x60, 0x60, 0x60));
    painter.drawControl(QStyle::CE_CheckBox, option);
}

void EtchedLine::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setPen(QColor(0x80, 0x80, 0x80));
    painter.drawLine(0, 0, width() - 1, 0);
    painter.setPen(QColor(0xFF, 0xFF, 0xFF));
    painter.drawLine(0, 1, width() - 1, 1);
}

}  // namespace relaydeck
