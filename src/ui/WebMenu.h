#pragma once
/// @file
/// @brief Relaydeck's own menu on the main window: the web server's settings dialog and
///        the repeater's off switch.

#include <QDialog>
#include <QObject>

#include <memory>

#include "controller/Program.h"

class QAction;
class QCheckBox;
class QLabel;
class QPushButton;
class QLineEdit;
class QSpinBox;

namespace relaydeck {

class ProgramViews;
namespace web {
class RemoteStation;
}

/// @brief The web server's settings: on/off, address, port, password.
class WebSettingsDialog : public QDialog {
    Q_OBJECT
  public:
    WebSettingsDialog(web::RemoteStation& remote, QWidget* parent);
    void accept() override;

  private:
    /// @brief Every caption in the language in force.
    void showTexts();
    void showState();
    QString text(TextId id) const;
    web::RemoteStation& remote_;
    QCheckBox* enabled_;
    QLabel* addressLabel_;
    QLineEdit* address_;
    QLabel* portLabel_;
    QSpinBox* port_;
    QLabel* passwordLabel_;
    QLineEdit* password_;
    QCheckBox* clearPassword_;
    QLabel* hint_;
    QLabel* message_;
    QPushButton* cancel_;
    std::unique_ptr<OperatorTexts::Listening> listening_;
};

/// @brief Adds the menu once the main window exists (add it after the ProgramViews).
class WebMenu : public QObject, public ProgramObserver {
    Q_OBJECT
  public:
    WebMenu(ProgramViews& views, web::RemoteStation& remote);
    void mainCreated(MainModel& main) override;

  private:
    void refresh();
    QString shown(TextId id) const;
    ProgramViews& views_;
    web::RemoteStation& remote_;
    QAction* repeater_ = nullptr;
    QAction* settings_ = nullptr;
    const OperatorTexts* texts_ = nullptr;
};

}  // namespace relaydeck
