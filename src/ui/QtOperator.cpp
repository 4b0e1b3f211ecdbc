#include "ui/QtOperator.h"

#include <QMessageBox>

#include "ui/AboutDialog.h"

namespace relaydeck {

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
        return dialog.exec() == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
    }
    dialog.setStandardButtons(QMessageBox::Ok);
    dialog.exec();
    return MessageAnswer::Ok;
}

void QtOperator::showAbout(AboutModel& about) {
    AboutDialog dialog(about, owner_);
    dialog.exec();
}

}  // namespace relaydeck
