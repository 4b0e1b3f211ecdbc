#pragma once
/// @file
/// @brief Relaydeck's own menu on the main window: the web server's settings dialog and
///        the repeater's off switch.

#include <QDialog>
#include <QObject>

#include "controller/Program.h"

class QAction;
class QCheckBox;
class QLabel;
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
    void showState();
    web::RemoteStation& remote_;
    QCheckBox* enabled_;
    QLineEdit* address_;
    QSpinBox* port_;
    QLineEdit* password_;
    QCheckBox* clearPassword_;
    QLabel* message_;
};

/// @brief Adds the menu once the main window exists (add it after the ProgramViews).
class WebMenu : public QObject, public ProgramObserver {
    Q_OBJECT
  public:
    WebMenu(ProgramViews& views, web::RemoteStation& remote);
    void mainCreated(MainModel& main) override;

  private:
    void refresh();
    QString shown(const char* text) const;
    ProgramViews& views_;
    web::RemoteStation& remote_;
    QAction* repeater_ = nullptr;
    QAction* settings_ = nullptr;
    const OperatorTexts* texts_ = nullptr;
};

}  // namespace relaydeck
