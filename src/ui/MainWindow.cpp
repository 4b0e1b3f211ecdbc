#include "ui/MainWindow.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
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

int id(C c) {
    return static_cast<int>(c);
}

// Status area (`Frame2`), in twips of the window's client area and of the frame.
constexpr QRect kFrame2{60, 60, 4695, 1875};
constexpr int kRowLeft = 150;
constexpr int kRowCaptionWidth = 1470;
constexpr int kCountLeft = 1680;
constexpr int kCountWidth = 900;
constexpr int kRowTop = 165;
constexpr int kRowPitch = 270;
constexpr int kRowHeight = 240;
constexpr int kLampLeft = 3840;
constexpr int kLampWidth = 705;
constexpr int kLampHeight = 300;
constexpr int kLampTop = 150;
constexpr int kLampPitch = 405;

// Settings panel (`Frame1`) and the save button below it.
constexpr QRect kFrame1{60, 2070, 4695, 6630};
constexpr QRect kSave{60, 8745, 4695, 360};
constexpr int kPanelTop = 300;
constexpr int kPanelPitch = 345;
constexpr int kFieldHeight = 285;
constexpr int kLabelLeft = 90;
constexpr int kLabelWidth = 1560;
constexpr int kFieldLeft = 1710;
constexpr int kShortField = 690;
constexpr int kTinyField = 450;
constexpr int kMediumField = 1500;
constexpr int kPanelRight = 4575;
constexpr int kGap = 75;
constexpr int kUnitLeft = kFieldLeft + kShortField + kGap;

constexpr int panelRow(int row) {
    return kPanelTop + row * kPanelPitch;
}

// Estimated title bar and borders, used until the window system reports its frame.
constexpr int kFrameEstimateTwips = 450;

constexpr double kFontPoints = 8.25;
constexpr double kFrameCaptionPoints = 8.25;

}  // namespace

MainWindow::MainWindow(MainModel& model, QWidget* parent)
    : QMainWindow(parent),
      model_(model),
      twips_(Twips::forScreen(QGuiApplication::primaryScreen())),
      binder_(model, [this] { applyWindow(); }) {
    setFont(tahomaFont(kFontPoints));
    setWindowIcon(QIcon(QStringLiteral(":/relaydeck.png")));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);

    auto* client = new QWidget(this);
    setCentralWidget(client);
    buildStatusArea(client);
    buildPanel(client);
    buildMenu();
    applyWindow();
}

MainWindow::~MainWindow() = default;

QWidget* MainWindow::control(MainControl c) const {
    return binder_.widget(id(c));
}

QAction* MainWindow::menuEntry(MainControl c) const {
    return binder_.action(id(c));
}

QWidget* MainWindow::place(MainControl c, QWidget* parent, QRect twipsRect) {
    QWidget* widget = binder_.createWidget(id(c), parent);
    widget->setGeometry(twips_.rect(twipsRect));
    return widget;
}

QWidget* MainWindow::addLabel(QWidget* parent, const QString& text, QRect twipsRect,
                              Qt::Alignment alignment, bool enabled) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(alignment | Qt::AlignVCenter);
    label->setGeometry(twips_.rect(twipsRect));
    label->setEnabled(enabled);
    return label;
}

void MainWindow::buildStatusArea(QWidget* client) {
    auto* frame = new QGroupBox(client);
    frame->setObjectName(QStringLiteral("Frame2"));
    frame->setGeometry(twips_.rect(kFrame2));

    const struct {
        const char* caption;
        C count;
    } rows[] = {
        {"CW ID Time :", C::txtCWIDTime},
        {"Speech ID Time :", C::txtSpeechIDTime},
        {"Hang Time :", C::txtHangTimeTime},
        {"Time Out Time :", C::txtTimeOutTime},
    };
    int top = kRowTop;
    for (const auto& row : rows) {
        addLabel(frame, QString::fromUtf8(row.caption),
                 {kRowLeft, top, kRowCaptionWidth, kRowHeight}, Qt::AlignLeft);
        place(row.count, frame, {kCountLeft, top, kCountWidth, kRowHeight});
        top += kRowPitch;
    }
    place(C::Status, frame, {kRowLeft, top + 90, 2040, kRowHeight});
    // Hidden working captions of the controller.
    place(C::RepeaterStatus, frame, {2700, kRowTop, 450, kRowHeight});
    place(C::FanWait, frame, {2700, kRowTop + kRowPitch, 450, kRowHeight});
    place(C::FanCool, frame, {2700, kRowTop + 2 * kRowPitch, 450, kRowHeight});

    QFont bold = font();
    bold.setBold(true);
    const struct {
        C lamp;
        C caption;
    } lamps[] = {
        {C::PTTLED, C::Count},
        {C::LED, C::Count},
        {C::FanLED, C::FanLabel},
        {C::TOLED, C::Label14},
    };
    top = kLampTop;
    for (const auto& lamp : lamps) {
        const QRect rect{kLampLeft, top, kLampWidth, kLampHeight};
        place(lamp.lamp, frame, rect)->setFont(bold);
        if (lamp.caption != C::Count) {
            auto* caption = widgetAs<QLabel>(place(lamp.caption, frame, rect));
            caption->setFont(bold);
            caption->setAlignment(Qt::AlignCenter);
        }
        top += kLampPitch;
    }
}

void MainWindow::buildPanel(QWidget* client) {
    auto* frame = new QGroupBox(client);
    panel_ = frame;
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setTitle(QStringLiteral("Configuração"));
    frame->setFont(msSansSerifFont(kFrameCaptionPoints));
    frame->setGeometry(twips_.rect(kFrame1));

    const auto rowLabel = [&](int row, const char* text, bool enabled = true) {
        addLabel(frame, QString::fromUtf8(text),
                 {kLabelLeft, panelRow(row), kLabelWidth, kFieldHeight}, Qt::AlignRight, enabled);
    };
    const auto unitLabel = [&](int row, int left, const char* text, bool enabled = true) {
        addLabel(frame, QString::fromUtf8(text),
                 {left, panelRow(row), kPanelRight - left, kFieldHeight}, Qt::AlignLeft, enabled);
    };
    const auto field = [&](C c, int row, int left, int width) {
        place(c, frame, {left, panelRow(row), width, kFieldHeight});
    };
    const auto wideField = [&](C c, int row) {
        field(c, row, kFieldLeft, kPanelRight - kFieldLeft);
    };
    const auto checkBox = [&](C c, int row, int width) {
        place(c, frame, {kLabelLeft + 30, panelRow(row), width, kFieldHeight});
    };

    rowLabel(0, "Indicativo/fala ID :");
    field(C::txtSpeechID, 0, kFieldLeft, kMediumField);
    rowLabel(1, "CW ID Texto :");
    wideField(C::txtCWID, 1);
    rowLabel(2, "CW ID Intervalo :");
    field(C::txtIDInterval, 2, kFieldLeft, kShortField);
    unitLabel(2, kUnitLeft, "minutes");
    rowLabel(3, "Intervalo da fala :");
    field(C::txtSpeechInterval, 3, kFieldLeft, kShortField);
    unitLabel(3, kUnitLeft, "minutes");
    checkBox(C::IDonClosedown, 4, kFieldLeft - kLabelLeft - 60);
    wideField(C::ClosedownCW, 4);
    rowLabel(5, "RF Tom cortesia :");
    field(C::txtCourtesy, 5, kFieldLeft, kTinyField);
    const int breakLeft = kFieldLeft + kTinyField + kGap;
    field(C::BreakTime, 5, breakLeft, kShortField);
    unitLabel(5, breakLeft + kShortField + kGap, "mS - Break Time");
    rowLabel(6, "IP Tom cortesia :");
    field(C::txtIPCourtesy, 6, kFieldLeft, kTinyField);
    rowLabel(7, "RF Kerchunker :", false);
    field(C::KerchunkTime, 7, kFieldLeft, kShortField);
    unitLabel(7, kUnitLeft, "milisegundos", false);
    rowLabel(8, "Tempo desligar :");
    field(C::txtHangTime, 8, kFieldLeft, kShortField);
    unitLabel(8, kUnitLeft, "segundos");
    rowLabel(9, "Tempo sair :");
    field(C::txtTimeOut, 9, kFieldLeft, kShortField);
    unitLabel(9, kUnitLeft, "minutos");
    rowLabel(10, "Tempo sair ID :");
    field(C::txtTimeOutID, 10, kFieldLeft, kMediumField);

    checkBox(C::CTCSSDecode, 11, kFieldLeft - kLabelLeft - 60);
    field(C::DecodeTone, 11, kFieldLeft, kShortField);
    checkBox(C::CTCSSEncode, 12, kFieldLeft - kLabelLeft - 60);
    field(C::EncodeTone, 12, kFieldLeft, kShortField);
    place(C::Experimental, frame,
          {kUnitLeft, panelRow(11) + kPanelPitch / 2, kPanelRight - kUnitLeft, kFieldHeight});
    const int fullWidth = kPanelRight - kLabelLeft - 30;
    checkBox(C::CTCSSActivity, 13, fullWidth);
    checkBox(C::Check1, 14, fullWidth);
    checkBox(C::IPTimeout, 15, fullWidth);
    rowLabel(16, "DTMF Desativado :", false);
    field(C::DTMFDisable, 16, kFieldLeft, kShortField);
    addLabel(frame, QStringLiteral("DTMF Ativado :"), {kUnitLeft, panelRow(16), 1200, kFieldHeight},
             Qt::AlignRight, false);
    field(C::DTMFEnable, 16, kUnitLeft + 1200 + kGap, kShortField);
    checkBox(C::ToneBurstAccess, 17, fullWidth);

    // The frame's caption alone is in the frame's face; its contents use the window's.
    for (QWidget* child : frame->findChildren<QWidget*>()) child->setFont(font());

    save_ = place(C::Save, client, kSave);
    save_->setFont(font());
}

void MainWindow::buildMenu() {
    QMenuBar* bar = menuBar();
    bar->setNativeMenuBar(false);
    for (int c = id(C::mnuExit); c <= id(C::mnuAbout); ++c) binder_.createMenuEntry(c, bar);
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
