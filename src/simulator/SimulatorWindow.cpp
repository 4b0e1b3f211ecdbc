#include "simulator/SimulatorWindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTime>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "controller/NumberText.h"
#include "ui/ScreenPlacement.h"
#include "ui/Twips.h"
#include "ui/Widgets.h"

namespace relaydeck {

namespace {

const std::string kSimulatorSection = "SIMULATOR";
const QColor kOff(0x808080);
const QColor kTxOn(0xFF0000);
const QColor kAuxOn(0xFFC080);
const QColor kReceiveOn(0x00FF00);
constexpr auto kSaveDelay = std::chrono::milliseconds(500);
/// Positions read from the file are kept within this many twips of the origin.
constexpr double kFarTwips = 1.0e7;

LampWidget* lamp(const QString& name, QWidget* parent) {
    auto* lamp = new LampWidget(parent);
    lamp->setObjectName(name);
    lamp->setFixedSize(18, 18);
    return lamp;
}

/// A lamp with its caption to the right.
QWidget* captioned(LampWidget* lamp, const QString& caption) {
    auto* box = new QWidget;
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(lamp);
    row->addWidget(new QLabel(caption));
    row->addStretch();
    return box;
}

/// How a raised event is logged: the replay tool's command, then the event, as
/// "carrier on: CarrierDetect(True)".
QString eventLine(const char* command, const char* event, LinkBool on) {
    return QStringLiteral("%1 %2: %3(%4)")
        .arg(QLatin1String(command), on != 0 ? QStringLiteral("on") : QStringLiteral("off"),
             QLatin1String(event), on != 0 ? QStringLiteral("True") : QStringLiteral("False"));
}

Twips screenTwips() {
    return Twips::forScreen(QGuiApplication::primaryScreen());
}

}  // namespace

/// A push-to-talk button with its latch: the line is up while the button is held down
/// or the latch is ticked, and each change of that raises one event.
struct SimulatorWindow::Key {
    QPushButton* button = nullptr;
    QCheckBox* hold = nullptr;
    std::function<void(LinkBool)> raise;
    bool held = false;
    bool on = false;

    void refresh() {
        const bool wanted = held || hold->isChecked();
        if (wanted == on) return;
        on = wanted;
        raise(toLinkBool(on));
    }
};

SimulatorWindow::SimulatorWindow(SimulatedStation& station, const SettingsStore& settings,
                                 SpeechEngineFactory speech, ToneOutputFactory tones,
                                 QWidget* parent)
    : QWidget(parent, Qt::Window),
      station_(station),
      settings_(settings.SettingsPath().parent_path(), kSimulatorSection) {
    setWindowTitle(QStringLiteral("Link Simulator"));
    setObjectName(QStringLiteral("LinkSimulator"));
    saveTimer_.setSingleShot(true);
    saveTimer_.setInterval(kSaveDelay);
    connect(&saveTimer_, &QTimer::timeout, this, &SimulatorWindow::saveSettings);

    buildWidgets();
    loadSettings();

    observers_ = {station_.addCallObserver([this](const LinkCall& call) { onCall(call); }),
                  station_.addStateObserver([this] { refreshLamps(); })};
    refreshLamps();

    morse_ = new MorsePlayer(std::move(tones), this);
    connect(morse_, &MorsePlayer::outputFailed, this, &SimulatorWindow::log);
    speech_ = new SpeechService(std::move(speech), SpeechService::kAnswerLimit, this);
    connect(speech_, &SpeechService::note, this, &SimulatorWindow::log);
}

SimulatorWindow::~SimulatorWindow() {
    for (const SimulatedStation::ObserverId id : observers_) station_.removeObserver(id);
    saveSettings();
}

void SimulatorWindow::buildWidgets() {
    auto* layout = new QVBoxLayout(this);

    auto* callRow = new QHBoxLayout;
    callRow->addWidget(new QLabel(QStringLiteral("Station callsign:")));
    callsign_ = new QLineEdit(this);
    callsign_->setObjectName(QStringLiteral("callsign"));
    callsign_->setToolTip(QStringLiteral("What GetStation reports to the controller"));
    callRow->addWidget(callsign_, 1);
    layout->addLayout(callRow);
    connect(callsign_, &QLineEdit::textEdited, this, [this](const QString& text) {
        station_.setCallsign(text.toStdString());
        callsignDirty_ = true;
        saveTimer_.start();
    });

    auto* radio = new QGroupBox(QStringLiteral("Station"), this);
    auto* grid = new QGridLayout(radio);
    auto makeKey = [this, grid](int row, const QString& name, const QString& caption,
                                const QString& tip, LampWidget* state, const QString& stateName,
                                std::function<void(LinkBool)> raise) {
        auto key = std::make_unique<Key>();
        key->button = new QPushButton(caption, this);
        key->button->setObjectName(name + QStringLiteral("Button"));
        key->button->setToolTip(tip);
        key->button->setMinimumWidth(140);
        key->hold = new QCheckBox(QStringLiteral("Hold"), this);
        key->hold->setObjectName(name + QStringLiteral("Hold"));
        key->hold->setToolTip(QStringLiteral("Keep it on without holding the button"));
        key->raise = std::move(raise);
        Key* k = key.get();
        connect(k->button, &QPushButton::pressed, this, [k] {
            k->held = true;
            k->refresh();
        });
        connect(k->button, &QPushButton::released, this, [k] {
            k->held = false;
            k->refresh();
        });
        connect(k->hold, &QCheckBox::toggled, this, [k] { k->refresh(); });
        grid->addWidget(k->button, row, 0);
        grid->addWidget(k->hold, row, 1);
        grid->addWidget(captioned(state, stateName), row, 2);
        return key;
    };
    carrierLamp_ = lamp(QStringLiteral("carrierLamp"), this);
    rxLamp_ = lamp(QStringLiteral("rxLamp"), this);
    carrier_ = makeKey(0, QStringLiteral("carrier"), QStringLiteral("Local carrier"),
                       QStringLiteral("Hold down while a local user talks on the repeater's input"),
                       carrierLamp_, QStringLiteral("Carrier"), [this](LinkBool on) {
                           log(eventLine("carrier", "CarrierDetect", on));
                           raiseLater([this, on] { station_.setCarrier(on); });
                       });
    rx_ = makeKey(1, QStringLiteral("rx"), QStringLiteral("Internet audio"),
                  QStringLiteral("Hold down while an Internet station talks"), rxLamp_,
                  QStringLiteral("Internet"), [this](LinkBool on) {
                      log(eventLine("rx", "RX", on));
                      raiseLater([this, on] { station_.setRX(on); });
                  });

    txLamp_ = lamp(QStringLiteral("txLamp"), this);
    auxLamp_ = lamp(QStringLiteral("auxLamp"), this);
    grid->addWidget(captioned(txLamp_, QStringLiteral("TX")), 0, 3);
    grid->addWidget(captioned(auxLamp_, QStringLiteral("Aux / Fan")), 1, 3);
    grid->setColumnStretch(2, 1);
    grid->setColumnStretch(3, 1);
    layout->addWidget(radio);

    auto* faults = new QHBoxLayout;
    auto* closing = new QPushButton(QStringLiteral("EchoLink closing"), this);
    closing->setObjectName(QStringLiteral("closingButton"));
    closing->setToolTip(QStringLiteral("The link program announces that it is closing"));
    connect(closing, &QPushButton::clicked, this, [this] {
        log(QStringLiteral("closing: Closing"));
        raiseLater([this] { station_.raiseClosing(); });
    });
    faults->addWidget(closing);
    faults->addStretch();
    failOperation_ = new QComboBox(this);
    failOperation_->setObjectName(QStringLiteral("failOperation"));
    for (const LinkOperationDefinition& op : kLinkOperations) {
        failOperation_->addItem(QString::fromLatin1(op.name.data(), qsizetype(op.name.size())));
    }
    failOperation_->addItem(
        QString::fromLatin1(kFailCreation.data(), qsizetype(kFailCreation.size())));
    faults->addWidget(failOperation_);
    auto* fail = new QPushButton(QStringLiteral("Fail next call"), this);
    fail->setObjectName(QStringLiteral("failButton"));
    fail->setToolTip(QStringLiteral("The next call of the chosen operation fails"));
    connect(fail, &QPushButton::clicked, this, &SimulatorWindow::failNext);
    faults->addWidget(fail);
    layout->addLayout(faults);

    auto* logHead = new QHBoxLayout;
    logHead->addWidget(new QLabel(QStringLiteral("Operations called by the controller:")));
    logHead->addStretch();
    showQueries_ = new QCheckBox(QStringLiteral("Show queries"), this);
    showQueries_->setObjectName(QStringLiteral("showQueries"));
    showQueries_->setToolTip(QStringLiteral("Also list GetRX, GetPTT, GetCarrier and GetStation"));
    logHead->addWidget(showQueries_);
    layout->addLayout(logHead);

    log_ = new QPlainTextEdit(this);
    log_->setObjectName(QStringLiteral("log"));
    log_->setReadOnly(true);
    log_->setMaximumBlockCount(kLogLines);
    // Long lines (a station text) wrap, anywhere if a word is wider than the log.
    log_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    log_->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    log_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    log_->setMinimumSize(440, 260);
    layout->addWidget(log_, 1);
}

void SimulatorWindow::loadSettings() {
    const std::string call = settings_.ReadSetting("CALLSIGN", station_.callsign());
    station_.setCallsign(call);
    callsign_->setText(QString::fromStdString(call));

    const auto left = parseNumber(settings_.ReadSetting("LEFT", ""));
    const auto top = parseNumber(settings_.ReadSetting("TOP", ""));
    if (!left || !top) return;
    const Twips twips = screenTwips();
    // The inside's position, as stored. Beyond any screen, the nearest one takes the window.
    const QRect inside(twips.px(std::clamp(*left, -kFarTwips, kFarTwips)),
                       twips.px(std::clamp(*top, -kFarTwips, kFarTwips)), sizeHint().width(),
                       sizeHint().height());
    storedPosition_ = placeOnScreen(inside);
    setGeometry(QRect(*storedPosition_, sizeHint()));
}

void SimulatorWindow::saveSettings() {
    saveTimer_.stop();
    std::vector<SettingValue> values;
    if (positionDirty_) {
        positionDirty_ = false;
        const Twips twips = screenTwips();
        const auto asTwips = [&twips](int px) {
            return numberToText(static_cast<double>(std::lround(twips.twips(px))));
        };
        // The inside (not the frame, which only the window system knows): it is what
        // setGeometry() takes back on the next launch.
        values.push_back({"LEFT", asTwips(geometry().x())});
        values.push_back({"TOP", asTwips(geometry().y())});
    }
    if (callsignDirty_) {
        callsignDirty_ = false;
        values.push_back({"CALLSIGN", callsign_->text().toStdString()});
    }
    if (values.empty()) return;
    try {
        settings_.WriteSettings(values);
        lastSaveError_.clear();
    } catch (const SettingsWriteError& error) {
        // Kept for the next save; the operator hears of each new reason once.
        for (const SettingValue& value : values) {
            (value.key == "CALLSIGN" ? callsignDirty_ : positionDirty_) = true;
        }
        const QString reason = QString::fromStdString(error.what());
        if (reason != lastSaveError_) log(QStringLiteral("(settings not saved: %1)").arg(reason));
        lastSaveError_ = reason;
    }
}

void SimulatorWindow::onCall(const LinkCall& call) {
    if (!call.query || showQueries_->isChecked()) log(QString::fromStdString(call.toString()));
    if (call.operation == LinkOperation::SendCW) {
        if (const auto text = call.text()) morse_->play(*text);
    } else if (call.operation == LinkOperation::Speak) {
        if (const auto text = call.text()) speech_->speak(QString::fromStdString(*text));
    }
}

void SimulatorWindow::refreshLamps() {
    txLamp_->setColour(station_.ptt() ? kTxOn : kOff);
    auxLamp_->setColour(station_.aux() ? kAuxOn : kOff);
    carrierLamp_->setColour(station_.carrier() ? kReceiveOn : kOff);
    rxLamp_->setColour(station_.rx() ? kReceiveOn : kOff);
}

void SimulatorWindow::failNext() {
    const QString op = failOperation_->currentText();
    station_.failNext(op.toStdString());
    log(op == QStringLiteral("create")
            ? QStringLiteral("fail create: the next link-host creation fails")
            : QStringLiteral("fail %1: the next %1 call fails").arg(op));
}

void SimulatorWindow::log(const QString& text) {
    QScrollBar* bar = log_->verticalScrollBar();
    const bool atBottom = bar->value() >= bar->maximum();
    log_->appendPlainText(QTime::currentTime().toString(QStringLiteral("hh:mm:ss.zzz")) +
                          QStringLiteral("  ") + text);
    if (atBottom) bar->setValue(bar->maximum());
}

void SimulatorWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (shown_) return;
    shown_ = true;
    // Whoever showed the window may have placed it; a kept position wins, on a screen.
    if (storedPosition_) {
        setGeometry(QRect(placeOnScreen(QRect(*storedPosition_, size())), size()));
    }
    // The frame is known only once the window system has put one around the window: then
    // its title bar, too, must be where the operator can take hold of it.
    for (const int delayMs : {200, 1000}) {
        QTimer::singleShot(delayMs, this, [this] { keepFrameOnScreen(); });
    }
}

void SimulatorWindow::keepFrameOnScreen() {
    if (!isVisible() || isMinimized()) return;
    const QRect frame = frameGeometry();
    const QPoint at = placeOnScreen(frame);
    if (at != frame.topLeft()) move(at);
}

void SimulatorWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    positionDirty_ = true;
    saveSettings();
}

void SimulatorWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    if (!shown_) return;
    positionDirty_ = true;
    saveTimer_.start();
}

void SimulatorWindow::closeEvent(QCloseEvent* event) {
    positionDirty_ = true;
    saveSettings();
    // The repeater goes on while the program runs, and this window is all that drives its
    // radio: closing it only puts it out of the way.
    if (closeMinimises_) {
        event->ignore();
        if (!isMinimized()) {
            log(QStringLiteral("(the simulator stays while Relaydeck runs: minimised)"));
            showMinimized();
        }
        return;
    }
    QWidget::closeEvent(event);
}

void SimulatorWindow::raiseLater(std::function<void()> raise) {
    QMetaObject::invokeMethod(this, std::move(raise), Qt::QueuedConnection);
}

}  // namespace relaydeck
