#pragma once
/// @file
/// @brief The startup dialog's view: a borderless black window with the mast picture.

#include <QWidget>

#include "controller/SplashModel.h"
#include "ui/ControlBinder.h"
#include "ui/LayoutBuilder.h"
#include "ui/Twips.h"

namespace relaydeck {

/// @brief Shows a SplashModel. Its only ways out are its two buttons.
class SplashDialog : public QWidget {
    Q_OBJECT
  public:
    explicit SplashDialog(SplashModel& model, QWidget* parent = nullptr);
    ~SplashDialog() override;

    /// @brief The widget showing control @p c.
    QWidget* control(SplashControl c) const;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void applyWindow();

    SplashModel& model_;
    Twips twips_;
    ControlBinder binder_;
    LayoutBuilder layout_;
};

}  // namespace relaydeck
