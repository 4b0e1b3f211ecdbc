#include "simulator/SimulatorWindow.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <deque>
#include <fstream>
#include <locale>
#include <sstream>

#include "SoundStandIns.h"
#include "controller/NumberText.h"
#include "controller/OperatorInterface.h"
#include "controller/Program.h"
#include "controller/VirtualClock.h"
#include "settings/ProfileFile.h"
#include "ui/Widgets.h"

namespace relaydeck {
namespace {

struct Recorder : LinkEvents {
    std::vector<std::string> events;
    void CarrierDetect(LinkBool v) override {
        events.push_back("CarrierDetect(" + std::to_string(v) + ")");
    }
    void RX(LinkBool v) override { events.push_back("RX(" + std::to_string(v) + ")"); }
    void PTT(LinkBool v) override { events.push_back("PTT(" + std::to_string(v) + ")"); }
    void Closing() override { events.push_back("Closing"); }
    std::vector<std::string> take() { return std::exchange(events, {}); }
};

using Events = std::vector<std::string>;

std::string fileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

struct Simulator : ::testing::Test {
    QTemporaryDir folder;
    SettingsStore settings{folder.path().toStdString()};
    std::deque<std::function<void()>> posted;
    SimulatedStation station{[this](std::function<void()> f) { posted.push_back(std::move(f)); }};
    std::unique_ptr<LinkHost> link = station.createReference();
    Recorder recorder;
    std::unique_ptr<SimulatorWindow> window;

    void SetUp() override {
        link->setEventSink(&recorder);
        open();
    }
    /// No speech and no sound unless a test brings its own: nothing here may depend on the
    /// machine's speech daemon or sound card.
    SpeechEngineFactory speech = [] { return std::unique_ptr<SpeechEngine>(); };
    ToneOutputFactory tones = [](std::function<void()>) { return std::unique_ptr<ToneOutput>(); };

    void open() {
        window = std::make_unique<SimulatorWindow>(station, settings, speech, tones);
        window->show();
        QCoreApplication::processEvents();
    }
    /// Lets the window's raised events reach the station, then what they posted run.
    void settle() {
        QCoreApplication::processEvents();
        drain();
    }
    void drain() {
        while (!posted.empty()) {
            auto task = std::move(posted.front());
            posted.pop_front();
            task();
        }
    }
    template <typename W>
    W* find(const char* name) {
        auto* w = window->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QStringList logLines() {
        return find<QPlainTextEdit>("log")->toPlainText().split(QLatin1Char('\n'));
    }
    /// Log lines that name an operation (not the simulator's own notes and events).
    QStringList operationLines() {
        QStringList out;
        static const QRegularExpression op(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d\\.\\d{3}  [A-Z]"));
        for (const QString& line : logLines()) {
            if (op.match(line).hasMatch()) out << line.mid(14);
        }
        return out;
    }
};

TEST_F(Simulator, LocalCarrierButtonKeysWhileHeldAndTheLatchKeepsIt) {
    auto* button = find<QPushButton>("carrierButton");
    auto* hold = find<QCheckBox>("carrierHold");
    QTest::mousePress(button, Qt::LeftButton);
    settle();
    EXPECT_TRUE(station.carrier());
    QTest::mouseRelease(button, Qt::LeftButton);
    settle();
    EXPECT_EQ(recorder.take(), (Events{"CarrierDetect(-1)", "CarrierDetect(0)"}));

    hold->setChecked(true);
    settle();
    QTest::mousePress(button, Qt::LeftButton);
    settle();
    QTest::mouseRelease(button, Qt::LeftButton);
    settle();
    EXPECT_TRUE(station.carrier());
    hold->setChecked(false);
    settle();
    EXPECT_EQ(recorder.take(), (Events{"CarrierDetect(-1)", "CarrierDetect(0)"}));

    // Latched while held: letting go of the button keeps the carrier until unlatched.
    QTest::mousePress(button, Qt::LeftButton);
    settle();
    hold->setChecked(true);
    settle();
    QTest::mouseRelease(button, Qt::LeftButton);
    settle();
    EXPECT_EQ(recorder.take(), (Events{"CarrierDetect(-1)"}));
    hold->setChecked(false);
    settle();
    EXPECT_EQ(recorder.take(), (Events{"CarrierDetect(0)"}));
    EXPECT_FALSE(station.carrier());
}

TEST_F(Simulator, InternetAudioButtonRaisesRxTheSameWay) {
    auto* button = find<QPushButton>("rxButton");
    QTest::mousePress(button, Qt::LeftButton);
    settle();
    QTest::mouseRelease(button, Qt::LeftButton);
    settle();
    find<QCheckBox>("rxHold")->setChecked(true);
    settle();
    EXPECT_TRUE(station.rx());
    EXPECT_EQ(find<LampWidget>("rxLamp")->colour(), QColor(0x00FF00));
    find<QCheckBox>("rxHold")->setChecked(false);
    settle();
    EXPECT_EQ(recorder.take(), (Events{"RX(-1)", "RX(0)", "RX(-1)", "RX(0)"}));
    EXPECT_FALSE(station.carrier());
    EXPECT_TRUE(logLines().filter(QStringLiteral("rx on: RX(True)")).size() == 2);
}

TEST_F(Simulator, ClosingFailureAndCallsignReachTheStation) {
    QTest::mouseClick(find<QPushButton>("closingButton"), Qt::LeftButton);
    settle();
    EXPECT_EQ(recorder.take(), (Events{"Closing"}));

    auto* callsign = find<QLineEdit>("callsign");
    EXPECT_EQ(callsign->text(), QStringLiteral("N0CALL"));
    callsign->clear();
    QTest::keyClicks(callsign, QStringLiteral("PY2XYZ"));
    EXPECT_EQ(link->GetStation().StationCallsign, "PY2XYZ");

    auto* op = find<QComboBox>("failOperation");
    EXPECT_EQ(op->count(), 12);
    op->setCurrentText(QStringLiteral("SetPTT"));
    QTest::mouseClick(find<QPushButton>("failButton"), Qt::LeftButton);
    settle();
    EXPECT_THROW(link->SetPTT(kLinkTrue), LinkError);
    EXPECT_NO_THROW(link->SetPTT(kLinkTrue));
}

TEST_F(Simulator, LampsFollowTheTransmitterAndTheAuxOutput) {
    auto* tx = find<LampWidget>("txLamp");
    auto* aux = find<LampWidget>("auxLamp");
    EXPECT_EQ(tx->colour(), QColor(0x808080));
    link->SetPTT(kLinkTrue);
    drain();
    EXPECT_EQ(tx->colour(), QColor(0xFF0000));
    link->SetAux(kLinkTrue);
    EXPECT_EQ(aux->colour(), QColor(0xFFC080));
    link->SetPTT(kLinkFalse);
    link->SetAux(kLinkFalse);
    drain();
    EXPECT_EQ(tx->colour(), QColor(0x808080));
    EXPECT_EQ(aux->colour(), QColor(0x808080));
}

TEST_F(Simulator, LogShowsEachOperationWithItsTimeAndQueriesOnlyOnRequest) {
    link->SetPTT(kLinkTrue);
    link->GetRX();
    link->SendCW(kLinkFalse, "K");
    find<QCheckBox>("showQueries")->setChecked(true);
    link->GetCarrier();
    link->PlayPrompt(7);
    EXPECT_EQ(operationLines(), (QStringList{"SetPTT(True)", "SendCW(False, \"K\")",
                                             "GetCarrier() = False", "PlayPrompt(7)"}));
    const QString last = logLines().last();
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d\\.\\d{3}  PlayPrompt\\(7\\)$"))
            .match(last)
            .hasMatch())
        << last.toStdString();
}

TEST_F(Simulator, LogKeepsOnlyTheNewestLines) {
    for (int i = 0; i < SimulatorWindow::kLogLines + 100; ++i) link->PlayPrompt(i);
    const QStringList lines = logLines();
    EXPECT_EQ(lines.size(), SimulatorWindow::kLogLines);
    EXPECT_TRUE(lines.last().endsWith(QStringLiteral("PlayPrompt(599)")));
    EXPECT_TRUE(lines.first().endsWith(QStringLiteral("PlayPrompt(100)")));
}

TEST_F(Simulator, PositionAndCallsignAreKeptInTheirOwnSection) {
    const std::filesystem::path ini = settings.SettingsPath();
    window.reset();
    {
        std::ofstream out(ini, std::ios::binary);
        out << "[SETTINGS]\r\nHANGTIME=5\r\nSTARTUP=1\r\n";
    }
    open();
    QTest::keyClicks(find<QLineEdit>("callsign"), QStringLiteral("/P\u00c7"));
    window->setGeometry(QRect(QPoint(120, 90), window->size()));
    window->close();

    const std::string text = fileText(ini);
    EXPECT_EQ(text.rfind("[SETTINGS]\r\nHANGTIME=5\r\nSTARTUP=1\r\n", 0), 0u) << text;
    EXPECT_EQ(readProfileString(ini, "SIMULATOR", "CALLSIGN"), "N0CALL/P\xc7");
    EXPECT_EQ(readProfileString(ini, "SIMULATOR", "LEFT"), "1800");
    EXPECT_EQ(readProfileString(ini, "SIMULATOR", "TOP"), "1350");

    window.reset();
    station.setCallsign("N0CALL");
    open();
    EXPECT_EQ(link->GetStation().StationCallsign, "N0CALL/P\u00c7");
    EXPECT_EQ(find<QLineEdit>("callsign")->text(), QStringLiteral("N0CALL/P\u00c7"));
    EXPECT_EQ(window->geometry().topLeft(), QPoint(120, 90));
}

TEST_F(Simulator, ThreeLaunchesOpenInTheSamePlace) {
    // The window system puts a frame around the window; what is stored is what comes back.
    window->setGeometry(QRect(QPoint(260, 180), window->size()));
    QCoreApplication::processEvents();
    const QPoint inside = window->geometry().topLeft();
    const QPoint frame = window->frameGeometry().topLeft();
    for (int launch = 1; launch <= 3; ++launch) {
        window.reset();
        open();
        EXPECT_EQ(window->geometry().topLeft(), inside) << "launch " << launch;
        EXPECT_EQ(window->frameGeometry().topLeft(), frame) << "launch " << launch;
    }
}

TEST_F(Simulator, ClosingOnlyMinimisesItWhileTheProgramRuns) {
    window->setGeometry(QRect(QPoint(150, 120), window->size()));
    QCoreApplication::processEvents();
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->isMinimized());
    // Where it stood is kept all the same.
    EXPECT_EQ(readProfileString(settings.SettingsPath(), "SIMULATOR", "LEFT"), "2250");
    // Once more while minimised: no second note.
    window->close();
    EXPECT_EQ(logLines().filter(QStringLiteral("minimised")).size(), 1);

    window->setCloseMinimises(false);
    EXPECT_TRUE(window->close());
    EXPECT_FALSE(window->isVisible());
}

TEST_F(Simulator, LongLogLinesWrapInsideTheLog) {
    auto* log = find<QPlainTextEdit>("log");
    link->SendStationText(
        "You have timed-out with N0CALL: please wait for the channel to "
        "clear before keying again, and keep each over short");
    QCoreApplication::processEvents();
    EXPECT_NE(log->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_FALSE(log->horizontalScrollBar()->isVisible());
    const QTextBlock last = log->document()->lastBlock();
    EXPECT_GT(last.layout()->lineCount(), 1);
}

TEST_F(Simulator, KeptPositionWinsOverThePlacementOfWhoeverShowsTheWindow) {
    window.reset();
    writeProfileString(settings.SettingsPath(), "SIMULATOR", "LEFT", "3000");
    writeProfileString(settings.SettingsPath(), "SIMULATOR", "TOP", "1500");
    window = std::make_unique<SimulatorWindow>(station, settings, speech, tones);
    window->move(400, 10);
    window->show();
    QCoreApplication::processEvents();
    EXPECT_TRUE(window->hasStoredPosition());
    EXPECT_EQ(window->geometry().topLeft(), QPoint(200, 100));

    // A position off every screen (one that is gone, or a number from nowhere) gives way
    // to the nearest screen, and that place is kept.
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    for (const char* left : {"-90000", "99999999", "1e39", "-1e308"}) {
        window.reset();
        writeProfileString(settings.SettingsPath(), "SIMULATOR", "LEFT", left);
        open();
        EXPECT_TRUE(window->hasStoredPosition()) << left;
        EXPECT_TRUE(screen.contains(window->frameGeometry().topLeft())) << left;
        EXPECT_EQ(window->geometry().y(), 100) << left;
        window->close();
        EXPECT_EQ(readProfileString(settings.SettingsPath(), "SIMULATOR", "LEFT"),
                  std::to_string(window->geometry().x() * 15))
            << left;
    }

    // Not a number: no kept place.
    window.reset();
    writeProfileString(settings.SettingsPath(), "SIMULATOR", "LEFT", "abc");
    open();
    EXPECT_FALSE(window->hasStoredPosition());
}

TEST_F(Simulator, PositionsAreReadAsNumbersWhateverTheLocale) {
    window.reset();
    const std::locale before = std::locale::global(std::locale::classic());
    writeProfileString(settings.SettingsPath(), "SIMULATOR", "LEFT", " 3000.4 ");
    writeProfileString(settings.SettingsPath(), "SIMULATOR", "TOP", "1.5e3");
    try {
        std::locale::global(std::locale("pt_BR.UTF-8"));
    } catch (const std::runtime_error&) {
        // Without the Portuguese locale the decimal point still has to be read.
    }
    const bool numbersFollowTheLocale = parseNumber("1.5") != 1.5;
    open();
    std::locale::global(before);
    if (numbersFollowTheLocale) GTEST_SKIP() << "the number rules still read the C locale";
    EXPECT_EQ(window->geometry().topLeft(), QPoint(200, 100));
}

TEST_F(Simulator, AFailedSaveIsLoggedNotLost) {
    window.reset();
    // A folder where the settings file should be: nothing can be written.
    std::filesystem::create_directory(settings.SettingsPath());
    open();
    QTest::keyClicks(find<QLineEdit>("callsign"), QStringLiteral("/M"));
    window->close();
    EXPECT_EQ(logLines().filter(QStringLiteral("(settings not saved: ")).size(), 1)
        << logLines().join('\n').toStdString();

    // Once the file can be written, the next save stores what the failed one could not.
    std::filesystem::remove(settings.SettingsPath());
    window->show();
    window->close();
    EXPECT_EQ(readProfileString(settings.SettingsPath(), "SIMULATOR", "CALLSIGN"), "N0CALL/M");
}

TEST_F(Simulator, ASpeechEngineAndASoundOutputThatNeverAnswerHoldUpNothing) {
    window.reset();
    auto gate = std::make_shared<Gate>();
    speech = [gate] {
        gate->wait();
        return std::unique_ptr<SpeechEngine>();
    };
    tones = [gate](std::function<void()>) {
        gate->wait();
        return std::unique_ptr<ToneOutput>();
    };
    open();
    EXPECT_TRUE(window->isVisible());

    link->SendCW(kLinkFalse, "K");
    link->Speak("PY2XYZ repeater");
    link->SendCW(kLinkFalse, "ID");
    link->Speak("again");
    bool ticked = false;
    QTimer::singleShot(1, window.get(), [&ticked] { ticked = true; });
    EXPECT_TRUE(eventually([&] { return ticked; })) << "the event loop goes on";
    EXPECT_EQ(operationLines(), (QStringList{"SendCW(False, \"K\")", "Speak(\"PY2XYZ repeater\")",
                                             "SendCW(False, \"ID\")", "Speak(\"again\")"}));
    QTest::mouseClick(find<QPushButton>("closingButton"), Qt::LeftButton);
    settle();
    EXPECT_EQ(recorder.take(), (Events{"Closing"})) << "the window still answers the operator";

    window.reset();  // closing does not wait for them either
    gate->open();
}

/// Answers nothing: no box is expected.
struct NoOperator : OperatorInterface {
    MessageAnswer showMessage(const MessageBoxRequest&) override { return MessageAnswer::Ok; }
    void showAbout(AboutModel&) override {}
};

TEST_F(Simulator, ALocalOverDrivesTheControllerAndShowsWhatItDid) {
    VirtualClock clock;
    NoOperator op;
    SimulatedLinkHostFactory links(station);
    Program program(links, clock, settings, op);
    program.startWithSplash();
    program.showMain();
    drain();

    auto* button = find<QPushButton>("carrierButton");
    QTest::mousePress(button, Qt::LeftButton);
    settle();
    EXPECT_EQ(find<LampWidget>("txLamp")->colour(), QColor(0xFF0000));
    clock.advance(std::chrono::seconds(3), [this] { drain(); });
    QTest::mouseRelease(button, Qt::LeftButton);
    settle();
    clock.advance(std::chrono::minutes(1), [this] { drain(); });
    EXPECT_EQ(find<LampWidget>("txLamp")->colour(), QColor(0x808080));

    const QStringList ops = operationLines();
    const auto at = [&ops](const QString& s) { return ops.indexOf(s); };
    EXPECT_EQ(at("SetControlMode(True)"), 0) << ops.join('\n').toStdString();
    EXPECT_LT(at("SetPTT(True)"), at("SendCW(False, \"K\")"));
    EXPECT_LT(at("SendCW(False, \"K\")"), at("SetPTT(False)"));
    EXPECT_GE(at("SetPTT(True)"), 1);
}

}  // namespace
}  // namespace relaydeck
