#include "ui/QtOperator.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

#include "ui/AboutDialog.h"

namespace relaydeck {

namespace {

/// Makes the box wide enough for its whole title, which the window system would otherwise
/// cut short: a message box sizes itself by what its layout needs, so an empty row as
/// wide as the title (and the title bar's buttons) is added below its contents.
void widenForTitle(QMessageBox& dialog) {
    constexpr int kTitleBarButtonsPx = 140;
    const int width =
        QFontMetrics(dialog.font()).horizontalAdvance(dialog.windowTitle()) + kTitleBarButtonsPx;
    auto* spacer = new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed);
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
        grid->addItem(spacer, grid->rowCount(), 0, 1, grid->columnCount());
    } else if (QLayout* layout = dialog.layout()) {
        layout->addItem(spacer);
    } else {
        delete spacer;
        dialog.setMinimumWidth(width);
    }
}

}  // namespace

MessageAnswer QtOperator::showMessage(const MessageBoxRequest& box) {
    QMessageBox dialog(owner_);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setWindowTitle(QString::fromStdString(box.title));
    dialog.setTextFormat(Qt::PlainText);
    dialog.setText(QString::fromStdString(box.prompt));
    switch (box.icon) {
        case MessageIcon::None:
            dialog.setIcon(QMessageBox::NoIcon);
            break;
        case MessageIcon::Question:
            dialog.setIcon(QMessageBox::Question);
            break;
        case MessageIcon::Critical:
            dialog.setIcon(QMessageBox::Critical);
            break;
    }
    if (box.buttons == MessageButtons::YesNo) {
        dialog.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        dialog.setDefaultButton(QMessageBox::Yes);
        widenForTitle(dialog);
        return dialog.exec() == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
    }
    dialog.setStandardButtons(QMessageBox::Ok);
    widenForTitle(dialog);
    dialog.exec();
    return MessageAnswer::Ok;
}

void QtOperator::showAbout(AboutModel& about) {
    AboutDialog dialog(about, owner_);
    dialog.exec();
}

}  // namespace relaydeck
