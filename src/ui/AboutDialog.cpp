#include "ui/AboutDialog.h"

#include <QGuiApplication>
#include <QIcon>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

namespace relaydeck {

namespace {

QPixmap drawWrench(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 32.0, size / 32.0);
    // Drawn along the diagonal from the lower left (handle) to the upper right (jaws).
    painter.translate(16, 16);
    painter.rotate(-45);
    QPainterPath handle;
    handle.addRoundedRect(QRectF(-15, -2.6, 22, 5.2), 2.6, 2.6);
    QPainterPath head;
    head.addEllipse(QPointF(9, 0), 7, 7);
    QPainterPath jaw;
    jaw.addRect(QRectF(10, -2.8, 8, 5.6));
    const QPainterPath wrench = handle.united(head).subtracted(jaw);
    painter.setPen(QPen(QColor(0x30, 0x30, 0x30), 1.2));
    QLinearGradient steel(0, -7, 0, 7);
    steel.setColorAt(0, QColor(0xE8, 0xE8, 0xEC));
    steel.setColorAt(1, QColor(0x90, 0x94, 0x9C));
    painter.setBrush(steel);
    painter.drawPath(wrench);
    return pixmap;
}

}  // namespace

QIcon wrenchIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48}) icon.addPixmap(drawWrench(size));
    return icon;
}

AboutDialog::AboutDialog(AboutModel& model, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      model_(model),
      twips_(Twips::forScreen(QGuiApplication::primaryScreen())),
      binder_(model, [this] { applyWindow(); }, model.operatorTexts()),
      layout_(aboutLayout(), binder_, twips_) {
    setModal(true);
    setWindowIcon(wrenchIcon());
    setFixedSize(twips_.px(AboutModel::kWidthTwips), twips_.px(AboutModel::kHeightTwips));
    layout_.build(this);

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = rect();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    applyWindow();
}

AboutDialog::~AboutDialog() = default;

QWidget* AboutDialog::control(AboutControl c) const {
    return layout_.control(c);
}

void AboutDialog::applyWindow() {
    setWindowTitle(QString::fromStdString(model_.caption()));
    if (model_.closed() && isVisible()) QDialog::done(QDialog::Accepted);
}

void AboutDialog::reject() {
    model_.close();
    if (isVisible()) QDialog::reject();
}

}  // namespace relaydeck
