#pragma once
/// @file
/// @brief The main window's view: status area, lamps, settings panel and menu bar.

#include <QMainWindow>

#include "controller/MainModel.h"
#include "ui/ControlBinder.h"
#include "ui/LayoutBuilder.h"
#include "ui/Twips.h"

class QGroupBox;
class QMenu;

namespace relaydeck {

/// @brief Shows a MainModel and passes the operator's input to it.
///
/// The window has a fixed size: 4830 twips of client width and the model's outer height
/// (title bar, menu bar and borders included). It follows the model's caption,
/// position and visibility, and tells the model when the operator moves it or asks to
/// close it.
class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    explicit MainWindow(MainModel& model, QWidget* parent = nullptr);
    ~MainWindow() override;

    /// @brief The widget showing control @p c (nullptr for menu entries).
    QWidget* control(MainControl c) const;
    /// @brief The menu-bar entry of control @p c (nullptr for other controls).
    QAction* menuEntry(MainControl c) const;
    /// @brief The menu of Relaydeck's own, the last on the menu bar.
    QMenu* ownMenu() const { return ownMenu_; }
    /// @brief The twips converter the window is laid out with.
    const Twips& twips() const { return twips_; }
    /// @brief The height of title bar and borders now taken by the window system.
    int frameExtraHeight() const;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void buildMenu();
    void applyWindow();
    void applyGeometry();
    QPoint modelPosition() const;

    MainModel& model_;
    Twips twips_;
    ControlBinder binder_;
    LayoutBuilder layout_;
    int appliedFrameExtra_ = -1;
    bool frameKnown_ = false;
    QWidget* panel_ = nullptr;  ///< Frame1 and the save button: reachable only when shown
    QWidget* save_ = nullptr;
    QMenu* ownMenu_ = nullptr;
    bool applying_ = false;
};

}  // namespace relaydeck
