#include "ui/WebMenu.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QMenuBar>
#include <QMessageBox>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

#include "settings/SettingsStore.h"
#include "ui/ProgramViews.h"
#include "web/RemoteStation.h"
#include "web/WebTexts.h"

namespace relaydeck {

namespace texts = web::texts;

WebSettingsDialog::WebSettingsDialog(web::RemoteStation& remote, QWidget* parent)
    : QDialog(parent), remote_(remote) {
    setWindowTitle(QString::fromUtf8(texts::kDialogTitle));
    const web::WebSettings s = remote.settings();
    enabled_ = new QCheckBox(QString::fromUtf8(texts::kDialogEnabled));
    enabled_->setChecked(s.enabled);
    address_ = new QLineEdit(QString::fromStdString(s.address));
    port_ = new QSpinBox;
    port_->setRange(1, 65535);
    port_->setValue(s.port);
    password_ = new QLineEdit;
    password_->setEchoMode(QLineEdit::Password);
    clearPassword_ = new QCheckBox(QString::fromUtf8(texts::kDialogClearPassword));
    clearPassword_->setEnabled(!s.passwordHash.empty());
    message_ = new QLabel;
    message_->setWordWrap(true);
    auto* hint = new QLabel(QString::fromUtf8(texts::kDialogHint));
    hint->setWordWrap(true);

    auto* form = new QFormLayout;
    form->addRow(enabled_);
    form->addRow(QString::fromUtf8(texts::kDialogAddress), address_);
    form->addRow(QString::fromUtf8(texts::kDialogPort), port_);
    form->addRow(QString::fromUtf8(texts::kDialogPassword), password_);
    form->addRow(clearPassword_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &WebSettingsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &WebSettingsDialog::reject);
    auto* column = new QVBoxLayout(this);
    column->addLayout(form);
    column->addWidget(hint);
    column->addWidget(message_);
    column->addWidget(buttons);
    showState();
}

void WebSettingsDialog::showState() {
    const std::string serving = remote_.serving();
    message_->setText(serving.empty() ? QString::fromUtf8(texts::kDialogStopped)
                                      : QString::fromUtf8(texts::kDialogRunning) +
                                            QString::fromStdString(serving) + "/");
}

void WebSettingsDialog::accept() {
    web::WebSettings s = remote_.settings();
    s.enabled = enabled_->isChecked();
    s.address = address_->text().trimmed().toStdString();
    s.port = port_->value();
    std::optional<std::string> why;
    try {
        why = remote_.apply(s, password_->text().toStdString(), clearPassword_->isChecked());
    } catch (const std::exception& e) {
        why = e.what();
    }
    password_->clear();
    if (why) {
        message_->setText(QString::fromStdString(*why));
        return;  // stays open: the operator corrects it or cancels
    }
    QDialog::accept();
}

WebMenu::WebMenu(ProgramViews& views, web::RemoteStation& remote) : views_(views), remote_(remote) {
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &WebMenu::refresh);
    timer->start(500);
}

void WebMenu::mainCreated(MainModel& main) {
    MainWindow* window = views_.mainWindow();
    if (window == nullptr || window->ownMenu() == nullptr) return;
    texts_ = main.operatorTexts();
    // In the one menu of Relaydeck's own, after the entries of the main window's model.
    QMenu* menu = window->ownMenu();
    menu->addSeparator();
    settings_ = menu->addAction(shown(texts::kMenuWebServer));
    QAction* settings = settings_;
    connect(settings, &QAction::triggered, this, [this, window] {
        WebSettingsDialog dialog(remote_, window);
        dialog.exec();
    });
    repeater_ = menu->addAction(shown(texts::kMenuRepeaterOff));
    connect(repeater_, &QAction::triggered, this, [this] {
        remote_.toggleRepeater();
        refresh();
    });
}

QString WebMenu::shown(const char* text) const {
    return QString::fromStdString(texts_ != nullptr ? texts_->shown(text) : std::string(text));
}

void WebMenu::refresh() {
    if (repeater_ == nullptr) return;
    // Also follows a change of language.
    settings_->setText(shown(texts::kMenuWebServer));
    repeater_->setText(
        shown(remote_.repeaterOff() ? texts::kMenuRepeaterOn : texts::kMenuRepeaterOff));
}

}  // namespace relaydeck
