#pragma once
/// @file
/// @brief The About window's view.

#include <QDialog>

#include "controller/AboutModel.h"
#include "ui/ControlBinder.h"
#include "ui/LayoutBuilder.h"
#include "ui/Twips.h"

namespace relaydeck {

/// @brief Shows a loaded AboutModel as a fixed, modal dialog centred on the screen.
///
/// "Sai", the close box and Escape all unload the model, which closes the dialog.
class AboutDialog : public QDialog {
    Q_OBJECT
  public:
    explicit AboutDialog(AboutModel& model, QWidget* parent = nullptr);
    ~AboutDialog() override;

    /// @brief The widget showing control @p c.
    QWidget* control(AboutControl c) const;

  public slots:
    void reject() override;

  private:
    void applyWindow();

    AboutModel& model_;
    Twips twips_;
    ControlBinder binder_;
    LayoutBuilder layout_;
};

/// @brief The About window's icon: a wrench, drawn at run time.
QIcon wrenchIcon();

}  // namespace relaydeck
