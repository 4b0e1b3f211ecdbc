#pragma once
/// @file
/// @brief The operator's message boxes and the About window as Qt dialogs.

#include <QPointer>
#include <QWidget>

#include "controller/OperatorInterface.h"

namespace relaydeck {

/// @brief Shows the controller's message boxes with QMessageBox and runs the About
/// window modally. Both wait in a nested event loop, so ticks and link events go on.
class QtOperator : public OperatorInterface {
  public:
    /// @brief The window that owns the boxes and the About window (nullptr: none).
    void setOwner(QWidget* owner) { owner_ = owner; }
    QWidget* owner() const { return owner_; }

    MessageAnswer showMessage(const MessageBoxRequest& box) override;
    void showAbout(AboutModel& about) override;

  private:
    QPointer<QWidget> owner_;
};

}  // namespace relaydeck
