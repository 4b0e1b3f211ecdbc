#include "ui/AboutDialog.h"

#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>

#include "ui/Fonts.h"
#include "ui/Widgets.h"

namespace relaydeck {

namespace {

using C = AboutControl;

int id(C c) {
    return static_cast<int>(c);
}

constexpr int kTextLeft = 840;
constexpr int kTextWidth = AboutModel::kWidthTwips - kTextLeft - 180;
constexpr int kMargin = 90;
constexpr int kFullWidth = AboutModel::kWidthTwips - 2 * kMargin;

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
      binder_(model, [this] { applyWindow(); }) {
    setModal(true);
    setFont(tahomaFont(8.25));
    setWindowIcon(wrenchIcon());
    setFixedSize(twips_.px(AboutModel::kWidthTwips), twips_.px(AboutModel::kHeightTwips));

    auto* icon = widgetAs<QLabel>(place(C::picIcon, {180, 180, 480, 480}));
    icon->setPixmap(QPixmap(QStringLiteral(":/relaydeck.png")));
    icon->setAlignment(Qt::AlignCenter);
    place(C::lblTitle, {kTextLeft, 180, kTextWidth, 255});
    place(C::lblVersion, {kTextLeft, 450, kTextWidth, 255});
    auto* description =
        widgetAs<QLabel>(place(C::lblDescription, {kTextLeft, 810, kTextWidth, 1860}));
    description->setTextFormat(Qt::PlainText);
    description->setWordWrap(true);
    description->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The long runs of blanks stand for line ends: each credit goes on a line of its own,
    // whatever the font's width.
    binder_.setDisplayFilter(id(C::lblDescription), [](const QString& text) {
        static const QRegularExpression longBlankRun(QStringLiteral(" {8,}"));
        return QString(text).replace(longBlankRun, QStringLiteral("\n")).trimmed();
    });

    auto* line = new EtchedLine(this);
    line->setObjectName(QStringLiteral("Line1"));
    line->setGeometry(twips_.rect(kMargin, 2790, kFullWidth, 30));

    QWidget* ok = place(C::cmdOK, {kMargin, 2910, kFullWidth, 825});
    ok->setFont(tahomaFont(26.25, true));
    widgetAs<QPushButton>(ok)->setDefault(true);

    QWidget* translator = place(C::lblTranslator, {kMargin, 3870, kFullWidth, 420});
    translator->setFont(msSansSerifFont(13.5, true));
    QPalette palette = translator->palette();
    palette.setColor(QPalette::WindowText, QColor(0x00, 0x80, 0x00));
    translator->setPalette(palette);
    widgetAs<QLabel>(translator)->setAlignment(Qt::AlignCenter);

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = rect();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    applyWindow();
}

AboutDialog::~AboutDialog() = default;

QWidget* AboutDialog::control(AboutControl c) const {
    return binder_.widget(id(c));
}

QWidget* AboutDialog::place(AboutControl c, QRect twipsRect) {
    QWidget* widget = binder_.createWidget(id(c), this);
    widget->setGeometry(twips_.rect(twipsRect));
    return widget;
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
