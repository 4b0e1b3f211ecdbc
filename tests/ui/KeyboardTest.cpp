// The menu bar reached from the keyboard, Enter on a focused button, the focus mark.

#include "ui/Keyboard.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QStyleOption>
#include <QTest>
#include <QVBoxLayout>

#include "UiRig.h"
#include "controller/MainModel.h"
#include "ui/MainWindow.h"

namespace relaydeck {
namespace {

class KeyboardTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window.menuBar()->setNativeMenuBar(false);
        for (const char* caption : {"S&ai", "CW &ID", "Fala I&D", "&Sobre"}) {
            QAction* action = window.menuBar()->addAction(QString::fromUtf8(caption));
            QObject::connect(action, &QAction::triggered, &window,
                             [this, caption] { chosen.push_back(caption); });
        }
        auto* client = new QWidget;
        auto* column = new QVBoxLayout(client);
        button = new QPushButton(QStringLiteral("Fan"));
        button->setAutoDefault(false);
        column->addWidget(button);
        QObject::connect(button, &QPushButton::clicked, &window, [this] { ++clicks; });
        window.setCentralWidget(client);
        window.show();
        window.activateWindow();
        button->setFocus();
        qApp->installEventFilter(&keys);
        QCoreApplication::processEvents();
    }
    void TearDown() override { qApp->removeEventFilter(&keys); }

    QAction* active() const { return window.menuBar()->activeAction(); }
    QString activeText() const { return active() == nullptr ? QString() : active()->text(); }
    /// Lets a chosen entry run (it runs after the key that chose it).
    std::vector<std::string> settle() {
        QCoreApplication::processEvents();
        return std::exchange(chosen, {});
    }

    KeyboardNavigation keys;
    QMainWindow window;
    QPushButton* button = nullptr;
    int clicks = 0;
    std::vector<std::string> chosen;
};

TEST_F(KeyboardTest, F10SelectsTheFirstEntryAndTheArrowsAndEnterChoose) {
    QTest::keyClick(button, Qt::Key_F10);
    EXPECT_EQ(keys.activeMenuBar(), window.menuBar());
    EXPECT_EQ(activeText(), QStringLiteral("S&ai"));
    QTest::keyClick(button, Qt::Key_Left);
    EXPECT_EQ(activeText(), QStringLiteral("&Sobre"));
    QTest::keyClick(button, Qt::Key_Right);
    QTest::keyClick(button, Qt::Key_Right);
    EXPECT_EQ(activeText(), QStringLiteral("CW &ID"));
    EXPECT_TRUE(settle().empty()) << "moving along the bar chooses nothing";
    QTest::keyClick(button, Qt::Key_Return);
    EXPECT_EQ(settle(), (std::vector<std::string>{"CW &ID"}));
    EXPECT_EQ(active(), nullptr);
    EXPECT_EQ(keys.activeMenuBar(), nullptr);
    EXPECT_EQ(clicks, 0) << "Enter went to the menu, not to the focused button";
}

TEST_F(KeyboardTest, AltAloneSelectsTheBarAndEscapeOrAltLeavesIt) {
    QTest::keyClick(button, Qt::Key_Alt);
    EXPECT_EQ(activeText(), QStringLiteral("S&ai"));
    QTest::keyClick(button, Qt::Key_Escape);
    EXPECT_EQ(active(), nullptr);
    QTest::keyClick(button, Qt::Key_Alt);
    QTest::keyClick(button, Qt::Key_Alt);
    EXPECT_EQ(keys.activeMenuBar(), nullptr);
    QTest::keyClick(button, Qt::Key_F10);
    QTest::keyClick(button, Qt::Key_F10);
    EXPECT_EQ(keys.activeMenuBar(), nullptr);
    EXPECT_TRUE(settle().empty());
}

TEST_F(KeyboardTest, AccessKeysChooseTheirEntryCaptionsUnchanged) {
    // In menu mode a letter is enough; the one ampersand-marked letter of each caption.
    QTest::keyClick(button, Qt::Key_F10);
    QTest::keyClick(button, Qt::Key_S);
    EXPECT_EQ(settle(), (std::vector<std::string>{"&Sobre"}));
    QTest::keyClick(button, Qt::Key_Alt);
    QTest::keyClick(button, Qt::Key_D);
    EXPECT_EQ(settle(), (std::vector<std::string>{"Fala I&D"}));
    // A letter no caption marks leaves the menu mode as it was.
    QTest::keyClick(button, Qt::Key_F10);
    QTest::keyClick(button, Qt::Key_Q);
    EXPECT_TRUE(settle().empty());
    EXPECT_EQ(activeText(), QStringLiteral("S&ai"));
    QTest::keyClick(button, Qt::Key_Escape);
    // Alt held with the key: at once.
    QTest::keyClick(button, Qt::Key_I, Qt::AltModifier);
    EXPECT_EQ(settle(), (std::vector<std::string>{"CW &ID"}));
    EXPECT_EQ(window.menuBar()->actions().front()->text(), QStringLiteral("S&ai"));
}

TEST_F(KeyboardTest, AKeyBetweenAltPressAndReleaseIsNoMenuRequest) {
    QTest::keyPress(button, Qt::Key_Alt);
    QTest::keyClick(button, Qt::Key_Tab, Qt::AltModifier);
    QTest::keyRelease(button, Qt::Key_Alt);
    EXPECT_EQ(keys.activeMenuBar(), nullptr);
}

TEST_F(KeyboardTest, EnterPressesTheFocusedButtonAsSpaceDoes) {
    QTest::keyClick(button, Qt::Key_Return);
    QTest::keyClick(button, Qt::Key_Enter, Qt::KeypadModifier);
    QTest::keyClick(button, Qt::Key_Space);
    EXPECT_EQ(clicks, 3);
    button->setEnabled(false);
    QTest::keyClick(button, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(clicks, 3);
}

TEST_F(KeyboardTest, MenuModeEndsWithAClickElsewhereOrOnTheBar) {
    QTest::keyClick(button, Qt::Key_F10);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(keys.activeMenuBar(), nullptr);
    EXPECT_EQ(clicks, 1);

    // A click on an entry chooses it, and the keys are the focused widget's again.
    QTest::keyClick(button, Qt::Key_F10);
    QMenuBar* bar = window.menuBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(bar->actions().at(3)).center());
    EXPECT_EQ(settle(), (std::vector<std::string>{"&Sobre"}));
    EXPECT_EQ(keys.activeMenuBar(), nullptr);
    QTest::keyClick(button, Qt::Key_Return);
    EXPECT_EQ(clicks, 2);
}

TEST_F(KeyboardTest, AltGrAloneOpensNoMenu) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_AltGr, Qt::GroupSwitchModifier);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_AltGr, Qt::NoModifier);
    QApplication::sendEvent(button, &press);
    QApplication::sendEvent(button, &release);
    EXPECT_EQ(keys.activeMenuBar(), nullptr);
}

TEST(KeyboardAccessKeys, TheMarkedLetterLowerCaseAndDoubledAmpersandsSkipped) {
    EXPECT_EQ(accessKeyOf(QStringLiteral("S&ai")), QChar(u'a'));
    EXPECT_EQ(accessKeyOf(QStringLiteral("&Configura\u00e7\u00e3o")), QChar(u'c'));
    EXPECT_EQ(accessKeyOf(QStringLiteral("R&&D &Fala")), QChar(u'f'));
    EXPECT_TRUE(accessKeyOf(QStringLiteral("Sobre")).isNull());
    EXPECT_TRUE(accessKeyOf(QStringLiteral("Sobre&")).isNull());
}

TEST(KeyboardStyleTest, TheFocusMarkContrastsWithItsBackground) {
    EXPECT_EQ(KeyboardStyle::focusColourOn(QColor(0x00, 0x00, 0x80)), QColor(Qt::white));
    EXPECT_EQ(KeyboardStyle::focusColourOn(QColor(0x40, 0x40, 0x40)), QColor(Qt::white));
    EXPECT_EQ(KeyboardStyle::focusColourOn(QColor(0xC0, 0xC0, 0xC0)), QColor(Qt::black));
    EXPECT_EQ(KeyboardStyle::focusColourOn(QColor(0xFF, 0xFF, 0x00)), QColor(Qt::black));
}

TEST(KeyboardStyleTest, AFocusedButtonOnADarkPanelGetsALightMark) {
    KeyboardStyle style(QStringLiteral("Fusion"));
    QWidget panel;
    QPalette dark = panel.palette();
    dark.setColor(QPalette::Window, QColor(0x10, 0x10, 0x30));
    panel.setPalette(dark);
    panel.setAutoFillBackground(true);
    panel.resize(120, 60);
    auto* box = new QPushButton(QStringLiteral("T.O."), &panel);
    box->setStyle(&style);
    box->setGeometry(10, 10, 100, 40);
    QImage image(100, 40, QImage::Format_ARGB32);
    image.fill(QColor(0x10, 0x10, 0x30));
    QPainter painter(&image);
    QStyleOptionFocusRect focus;
    focus.initFrom(box);
    focus.rect = QRect(2, 2, 96, 36);
    focus.state |= QStyle::State_HasFocus | QStyle::State_KeyboardFocusChange;
    style.drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, box);
    painter.end();
    int light = 0;
    for (int x = 2; x < 98; ++x) {
        if (QColor(image.pixel(x, 2)).lightness() > 200) ++light;
    }
    EXPECT_GT(light, 20) << "the mark along the top edge shows on the dark panel";
}

TEST(MainWindowKeys, F10WalksTheMainMenuPastTheDisabledEntry) {
    UiRig rig;
    MainWindow& window = rig.startMain();
    KeyboardNavigation keys;
    qApp->installEventFilter(&keys);
    QWidget* focus = window.control(MainControl::Status);
    QTest::keyClick(focus, Qt::Key_F10);
    QMenuBar* bar = window.menuBar();
    ASSERT_NE(bar->activeAction(), nullptr);
    EXPECT_EQ(bar->activeAction()->objectName(), QStringLiteral("mnuExit"));
    QTest::keyClick(focus, Qt::Key_Right);
    EXPECT_EQ(bar->activeAction()->objectName(), QStringLiteral("mnuSendCWID"));
    QTest::keyClick(focus, Qt::Key_Escape);
    EXPECT_EQ(bar->activeAction(), nullptr);
    qApp->removeEventFilter(&keys);
}

TEST(MainWindowHints, TooltipsShowWhenTheWindowIsNotActive) {
    UiRig rig;
    MainWindow& window = rig.startMain();
    EXPECT_TRUE(window.testAttribute(Qt::WA_AlwaysShowToolTips));
}

}  // namespace
}  // namespace relaydeck
