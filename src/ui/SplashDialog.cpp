#include "ui/SplashDialog.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>

#include "ui/ScreenPlacement.h"

namespace relaydeck {

SplashDialog::SplashDialog(SplashModel& model, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint),
      model_(model),
      twips_(Twips::forScreen(QGuiApplication::primaryScreen())),
      binder_(model, [this] { applyWindow(); }, model.operatorTexts()),
      layout_(splashLayout(), binder_, twips_) {
    setWindowTitle(QStringLiteral("Relaydeck"));
    setFixedSize(twips_.px(SplashModel::kWidthTwips), twips_.px(SplashModel::kHeightTwips));
    layout_.build(this);
    applyWindow();
}

SplashDialog::~SplashDialog() = default;

QWidget* SplashDialog::control(SplashControl c) const {
    return layout_.control(c);
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
