#include "ui/WebMenu.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

#include "settings/SettingsStore.h"
#include "ui/ProgramViews.h"
#include "web/RemoteStation.h"

namespace relaydeck {

WebSettingsDialog::WebSettingsDialog(web::RemoteStation& remote, QWidget* parent)
    : QDialog(parent), remote_(remote) {
    const web::WebSettings s = remote.settings();
    enabled_ = new QCheckBox;
    enabled_->setChecked(s.enabled);
    address_ = new QLineEdit(QString::fromStdString(s.address));
    port_ = new QSpinBox;
    port_->setRange(1, 65535);
    port_->setValue(s.port);
    password_ = new QLineEdit;
    password_->setEchoMode(QLineEdit::Password);
    clearPassword_ = new QCheckBox;
    clearPassword_->setEnabled(!s.passwordHash.empty());
    message_ = new QLabel;
    message_->setWordWrap(true);
    hint_ = new QLabel;
    hint_->setWordWrap(true);
    addressLabel_ = new QLabel;
    portLabel_ = new QLabel;
    passwordLabel_ = new QLabel;

    auto* form = new QFormLayout;
    form->addRow(enabled_);
    form->addRow(addressLabel_, address_);
    form->addRow(portLabel_, port_);
    form->addRow(passwordLabel_, password_);
    form->addRow(clearPassword_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    cancel_ = buttons->button(QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &WebSettingsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &WebSettingsDialog::reject);
    auto* column = new QVBoxLayout(this);
    column->addLayout(form);
    column->addWidget(hint_);
    column->addWidget(message_);
    column->addWidget(buttons);
    // Room for the longest of the languages' hints and refusals.
    setMinimumWidth(fontMetrics().averageCharWidth() * 60);
    showTexts();
    showState();
    listening_ = remote.texts().listen([this] {
        showTexts();
        showState();
    });
}

QString WebSettingsDialog::text(TextId id) const {
    return QString::fromUtf8(remote_.texts().text(id));
}

void WebSettingsDialog::showTexts() {
    setWindowTitle(text(TextId::WebDialogTitle));
    enabled_->setText(text(TextId::WebDialogEnabled));
    addressLabel_->setText(text(TextId::WebDialogAddress));
    portLabel_->setText(text(TextId::WebDialogPort));
    passwordLabel_->setText(text(TextId::WebDialogPassword));
    clearPassword_->setText(text(TextId::WebDialogClearPassword));
    hint_->setText(text(TextId::WebDialogHint));
    cancel_->setText(text(TextId::ButtonCancel));
}

void WebSettingsDialog::showState() {
    const std::string serving = remote_.serving();
    const OperatorTexts& texts = remote_.texts();
    message_->setText(QString::fromStdString(
        serving.empty() ? std::string(texts.text(TextId::WebDialogStopped))
                        : operatorText(TextId::WebDialogRunning, texts.language(), {serving})));
}

void WebSettingsDialog::accept() {
    web::WebSettings s = remote_.settings();
    s.enabled = enabled_->isChecked();
    s.address = address_->text().trimmed().toStdString();
    s.port = port_->value();
    std::optional<std::string> why;
    try {
        why = remote_.apply(s, password_->text().toStdString(), clearPassword_->isChecked());
    } catch (const SettingsWriteError& e) {
        why = Program::writeFailureText(e, remote_.texts().language());
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
    settings_ = menu->addAction(shown(TextId::MenuWebServer));
    QAction* settings = settings_;
    connect(settings, &QAction::triggered, this, [this, window] {
        WebSettingsDialog dialog(remote_, window);
        dialog.exec();
    });
    repeater_ = menu->addAction(shown(TextId::MenuRepeaterOff));
    connect(repeater_, &QAction::triggered, this, [this] {
        remote_.toggleRepeater();
        refresh();
    });
}

QString WebMenu::shown(TextId id) const {
    return QString::fromUtf8(texts_ != nullptr ? texts_->text(id) : designedText(id));
}

void WebMenu::refresh() {
    if (repeater_ == nullptr) return;
    // Also follows a change of language.
    settings_->setText(shown(TextId::MenuWebServer));
    repeater_->setText(
        shown(remote_.repeaterOff() ? TextId::MenuRepeaterOn : TextId::MenuRepeaterOff));
}

}  // namespace relaydeck
