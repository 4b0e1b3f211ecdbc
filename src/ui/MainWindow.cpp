#include "ui/MainWindow.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <algorithm>

#include "ui/Fonts.h"
#include "ui/ScreenPlacement.h"
#include "ui/Widgets.h"

namespace relaydeck {

namespace {

using C = MainControl;

// Estimated title bar and borders, used until the window system reports its frame.
constexpr int kFrameEstimateTwips = 450;

}  // namespace

MainWindow::MainWindow(MainModel& model, QWidget* parent)
    : QMainWindow(parent),
      model_(model),
      twips_(Twips::forScreen(QGuiApplication::primaryScreen())),
      binder_(model, [this] { applyWindow(); }, model.operatorTexts()),
      layout_(mainLayout(), binder_, twips_) {
    setFont(fontFor(mainLayout().font));
    setWindowIcon(QIcon(QStringLiteral(":/relaydeck.png")));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    // The operator moves between this window and the simulator: hints show in either.
    setAttribute(Qt::WA_AlwaysShowToolTips);

    auto* client = new QWidget(this);
    setCentralWidget(client);
    layout_.build(client);
    panel_ = layout_.frame(kMainPanelFrame);
    save_ = layout_.control(C::Save);
    buildMenu();
    applyWindow();
}

MainWindow::~MainWindow() = default;

QWidget* MainWindow::control(MainControl c) const {
    return layout_.control(c);
}

QAction* MainWindow::menuEntry(MainControl c) const {
    return binder_.action(controlId(c));
}

void MainWindow::buildMenu() {
    QMenuBar* bar = menuBar();
    bar->setNativeMenuBar(false);
    // Seven entries on a narrow window: tight item padding keeps the last one on the bar
    // rather than behind an overflow button.
    bar->setStyleSheet(QStringLiteral("QMenuBar { spacing: 0px; } QMenuBar::item { padding: 1px 2px; }"));
    for (int c = controlId(C::mnuExit); c < controlId(kFirstOwnMenuEntry); ++c) {
        binder_.createMenuEntry(c, bar);
    }
    // Every entry of Relaydeck's own stands in one menu after the others.
    auto* own = new QMenu(bar);
    ownMenu_ = own;
    own->setObjectName(QStringLiteral("mnuRelaydeck"));
    bar->addMenu(own);
    for (int c = controlId(kFirstOwnMenuEntry); c < controlId(C::Count); ++c) {
        if (model_.definition(c).kind == ControlKind::MenuItem) binder_.createMenuEntry(c, own);
    }
    binder_.addTranslation(
        [this, own] { own->setTitle(binder_.shown(designedText(TextId::ProgramName))); });
}

int MainWindow::frameExtraHeight() const {
    if (const QWindow* window = windowHandle(); frameKnown_ && window != nullptr) {
        const QMargins margins = window->frameMargins();
        return margins.top() + margins.bottom();
    }
    return twips_.px(kFrameEstimateTwips);
}

QPoint MainWindow::modelPosition() const {
    return {twips_.px(model_.leftTwips()), twips_.px(model_.topTwips())};
}

void MainWindow::applyWindow() {
    setWindowTitle(QString::fromStdString(model_.caption()));
    applyGeometry();
    if (model_.isVisible() && !isVisible()) {
        show();
        raise();
        activateWindow();
    } else if (!model_.isVisible() && isVisible()) {
        hide();
    }
}

void MainWindow::applyGeometry() {
    const int extra = frameExtraHeight();
    const int outer = twips_.px(model_.heightTwips());
    const int height = std::max(outer - extra, menuBar()->sizeHint().height());
    applying_ = true;
    appliedFrameExtra_ = extra;
    setFixedSize(twips_.px(MainModel::kClientWidthTwips), height);
    const QPoint wanted = modelPosition();
    const QPoint at = placeOnScreen(QRect(wanted, frameGeometry().size()));
    if (pos() != at) move(at);
    applying_ = false;
    // Off every screen: the model learns where the window went instead.
    if (at != wanted) model_.moveTo(twips_.twips(at.x()), twips_.twips(at.y()));
    // The panel below the short window's edge takes no keys: typing must not reach fields
    // the operator cannot see.
    const bool panelShown = model_.heightTwips() > MainModel::kShortHeightTwips;
    panel_->setVisible(panelShown);
    save_->setVisible(panelShown);
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // The window system reports its frame only some time after the window is up; no frame
    // after the last try means there is none (no window manager).
    for (const int delayMs : {0, 100, 400, 1000}) {
        QTimer::singleShot(delayMs, this, [this, delayMs] {
            const QWindow* window = windowHandle();
            if (frameKnown_ || window == nullptr) return;
            const QMargins margins = window->frameMargins();
            if (margins.top() + margins.bottom() == 0 && delayMs < 1000) return;
            frameKnown_ = true;
            if (frameExtraHeight() != appliedFrameExtra_) applyGeometry();
        });
    }
}

void MainWindow::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    if (applying_ || !isVisible()) return;
    const QPoint at = pos();
    if (at != modelPosition()) model_.moveTo(twips_.twips(at.x()), twips_.twips(at.y()));
    // A frame the window system reports late changes the client height.
    if (frameKnown_ && frameExtraHeight() != appliedFrameExtra_) applyGeometry();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (model_.requestClose()) {
        event->accept();
    } else {
        event->ignore();
    }
}

}  // namespace relaydeck
