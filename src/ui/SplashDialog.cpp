#include "ui/SplashDialog.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QScreen>

#include "ui/Fonts.h"
#include "ui/ScreenPlacement.h"
#include "ui/Widgets.h"

namespace relaydeck {

namespace {

using C = SplashControl;

int id(C c) {
    return static_cast<int>(c);
}

// Layout in twips: the picture fills the left part, the texts stand in the right part.
constexpr int kPictureWidth = 2700;
constexpr int kRight = 2940;
constexpr int kRightWidth = SplashModel::kWidthTwips - kRight - 120;

/// The picture scaled to cover @p size, keeping its proportions, cut to the middle.
QPixmap coverPicture(const QPixmap& picture, QSize size) {
    if (picture.isNull()) return {};
    const QPixmap scaled =
        picture.scaled(size, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
    const QPoint offset((scaled.width() - size.width()) / 2, (scaled.height() - size.height()) / 2);
    return scaled.copy(QRect(offset, size));
}

void setTextColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::ButtonText, colour);
    palette.setColor(QPalette::Text, colour);
    widget->setPalette(palette);
}

}  // namespace

SplashDialog::SplashDialog(SplashModel& model, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint),
      model_(model),
      twips_(Twips::forScreen(QGuiApplication::primaryScreen())),
      binder_(model, [this] { applyWindow(); }) {
    setFont(tahomaFont(8.25));
    setWindowTitle(QStringLiteral("Relaydeck"));
    setFixedSize(twips_.px(SplashModel::kWidthTwips), twips_.px(SplashModel::kHeightTwips));
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::black);
    palette.setColor(QPalette::WindowText, Qt::white);
    setPalette(palette);

    auto* picture =
        widgetAs<QLabel>(place(C::imgLogo, {0, 0, kPictureWidth, SplashModel::kHeightTwips}));
    picture->setPixmap(coverPicture(QPixmap(QStringLiteral(":/splash-mast.png")), picture->size()));

    const struct {
        C control;
        QRect rect;
        double points;
        QRgb colour;
    } labels[] = {
        {C::lblProductName, {kRight, 150, kRightWidth, 780}, 32.25, 0x00FFFF},
        {C::lblPlatform, {kRight, 960, kRightWidth, 450}, 15.75, 0x00FFFF},
        {C::MyCall, {kRight, 1470, kRightWidth, 480}, 18, 0xFFFF80},
        {C::lblVersion, {kRight, 2010, kRightWidth, 405}, 14.25, 0x80FF80},
    };
    for (const auto& label : labels) {
        QWidget* widget = place(label.control, label.rect);
        widget->setFont(tahomaFont(label.points, true));
        setTextColour(widget, QColor(label.colour));
    }
    // The callsign's label is as wide as its text.
    auto* call = widgetAs<QLabel>(control(C::MyCall));
    call->adjustSize();
    call->setFixedHeight(twips_.px(480));

    place(C::Label2, {kRight, 2520, kRightWidth, 255});
    place(C::lblAuthor, {kRight, 2775, kRightWidth, 255});
    for (C c : {C::Label2, C::lblAuthor}) setTextColour(control(c), QColor(0xFFFFC0));

    QWidget* startup = place(C::Startup, {kRight, 3180, 3000, 300});
    QPalette boxPalette = startup->palette();
    boxPalette.setColor(QPalette::WindowText, QColor(0xFFC080));
    boxPalette.setColor(QPalette::Window, Qt::black);
    startup->setPalette(boxPalette);

    QWidget* wait = place(C::Label1, {kRight, 3510, kRightWidth, 255});
    setTextColour(wait, palette.color(QPalette::HighlightedText));

    const int buttonWidth = (kRightWidth - 120) / 2;
    for (C c : {C::Launch, C::Finish}) {
        QWidget* button = place(
            c, {c == C::Launch ? kRight : kRight + buttonWidth + 120, 4095, buttonWidth, 570});
        button->setPalette(QGuiApplication::palette());
    }
    applyWindow();
}

SplashDialog::~SplashDialog() = default;

QWidget* SplashDialog::control(SplashControl c) const {
    return binder_.widget(id(c));
}

QWidget* SplashDialog::place(SplashControl c, QRect twipsRect) {
    QWidget* widget = binder_.createWidget(id(c), this);
    widget->setGeometry(twips_.rect(twipsRect));
    return widget;
}

void SplashDialog::applyWindow() {
    if (model_.isVisible() && !isVisible()) {
        show();
        move(placeOnScreen(frameGeometry()));
        raise();
    } else if (!model_.isVisible() && isVisible()) {
        hide();
    }
}

void SplashDialog::closeEvent(QCloseEvent* event) {
    // No handler for the system's close command: the buttons are the only way out.
    event->ignore();
}

}  // namespace relaydeck
