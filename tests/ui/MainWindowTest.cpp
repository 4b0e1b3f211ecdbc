// The main window's view: what it shows of the model and what it passes back.

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include "UiRig.h"
#include "ui/MainWindow.h"
#include "ui/ScreenPlacement.h"
#include "ui/Widgets.h"

namespace relaydeck {
namespace {

using C = MainControl;

class MainWindowTest : public ::testing::Test {
  protected:
    MainWindow& window() { return *rig.views.mainWindow(); }
    MainModel& model() { return *rig.program.main(); }
    template <typename W>
    W* control(C c) {
        auto* widget = qobject_cast<W*>(window().control(c));
        EXPECT_NE(widget, nullptr);
        return widget;
    }
    QString labelText(C c) { return control<QLabel>(c)->text(); }
    /// Replaces the field's text as an operator does: select all, then type.
    void type(C c, const char* keys) {
        auto* edit = control<QLineEdit>(c);
        edit->setFocus();
        edit->selectAll();
        if (keys[0] == '\0') {
            QTest::keyClick(edit, Qt::Key_Backspace);
        } else {
            QTest::keyClicks(edit, QString::fromUtf8(keys));
        }
    }
    int px(double twips) { return window().twips().px(twips); }

    UiRig rig;
};

TEST_F(MainWindowTest, ShowsCaptionsAndHoverTextsUnaltered) {
    rig.startMain();
    EXPECT_EQ(window().windowTitle(), QStringLiteral("Relaydeck v1.1 - N0CALL"));
    EXPECT_TRUE(window().isVisible());
    EXPECT_FALSE(window().windowIcon().isNull());

    EXPECT_EQ(control<QLineEdit>(C::txtCWID)->toolTip(),
              QStringLiteral("Morse characters sent as a beacon.  Use a * to introduce a small "
                             "gap, ie: QQ0QQ**H**JO01FS"));
    EXPECT_EQ(control<QCheckBox>(C::Check1)->text(),
              QStringLiteral("CW ID is  -15dB durante conversa completamente"));
    EXPECT_FALSE(control<QCheckBox>(C::Check1)->isEnabled());
    EXPECT_EQ(control<QCheckBox>(C::IPTimeout)->text(),
              QStringLiteral("IP  tráfego não para fora"));
    auto* toneBurst = control<QCheckBox>(C::ToneBurstAccess);
    EXPECT_EQ(toneBurst->text(), QStringLiteral("1750Hz Acesso Tonebust "));
    EXPECT_TRUE(toneBurst->isHidden());
    EXPECT_FALSE(toneBurst->isEnabled());
    EXPECT_EQ(control<QLabel>(C::FanLabel)->toolTip(),
              QStringLiteral("Click to enable/disable fan without using the timer..."));
    EXPECT_EQ(control<QLabel>(C::Label14)->text(), QStringLiteral("T.O."));
    EXPECT_EQ(control<QPushButton>(C::Save)->text(), QStringLiteral("Grava Configuração"));
    EXPECT_FALSE(control<QLineEdit>(C::KerchunkTime)->isEnabled());
    EXPECT_TRUE(control<QLabel>(C::RepeaterStatus)->isHidden());
    EXPECT_EQ(labelText(C::Status), QStringLiteral("Waiting..."));

    auto* panel = window().findChild<QGroupBox*>(QStringLiteral("Frame1"));
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->title(), QStringLiteral("Configuração"));

    QMap<QString, bool> staticLabels;
    for (const QLabel* label : window().findChildren<QLabel*>()) {
        if (label->objectName().isEmpty()) staticLabels.insert(label->text(), label->isEnabled());
    }
    for (const char* text :
         {"CW ID Time :", "Speech ID Time :", "Hang Time :", "Time Out Time :",
          "Indicativo/fala ID :", "CW ID Texto :", "CW ID Intervalo :", "minutes",
          "Intervalo da fala :", "RF Tom cortesia :", "mS - Break Time", "IP Tom cortesia :",
          "Tempo desligar :", "segundos", "Tempo sair :", "minutos", "Tempo sair ID :"}) {
        EXPECT_TRUE(staticLabels.value(QString::fromUtf8(text), false)) << text;
    }
    for (const char* text : {"RF Kerchunker :", "milisegundos"}) {
        ASSERT_TRUE(staticLabels.contains(QString::fromUtf8(text))) << text;
        EXPECT_FALSE(staticLabels.value(QString::fromUtf8(text))) << text;
    }
}

TEST_F(MainWindowTest, MenuBarHasSixCommandsInOrderWithAccessKeysThenRelaydecksOwnMenu) {
    rig.startMain();
    const QList<QAction*> actions = window().menuBar()->actions();
    QStringList texts;
    for (const QAction* action : actions) texts << action->text();
    EXPECT_EQ(texts, (QStringList{QStringLiteral("S&ai"), QStringLiteral("Ativado"),
                                  QStringLiteral("CW ID"), QStringLiteral("Fala ID"),
                                  QStringLiteral("Configuração"), QStringLiteral("Sobre"),
                                  QStringLiteral("Relaydeck")}));
    ASSERT_EQ(actions.size(), 7);
    EXPECT_FALSE(actions[1]->isEnabled());
    for (int i : {0, 2, 3, 4, 5, 6}) EXPECT_TRUE(actions[i]->isEnabled()) << i;
    // Every entry from "Atividade" on, in the order of the controls, stands in the own menu.
    ASSERT_NE(actions[6]->menu(), nullptr);
    QStringList own;
    for (const QAction* action : actions[6]->menu()->actions()) own << action->objectName();
    QStringList expected;
    for (int c = controlId(kFirstOwnMenuEntry); c < controlId(C::Count); ++c) {
        expected << QString::fromUtf8(mainControlDefinitions()[static_cast<std::size_t>(c)].name);
    }
    EXPECT_EQ(own, expected);
    EXPECT_EQ(own.value(0), QStringLiteral("mnuActivity"));
    // Every entry stands on the bar itself, none behind the overflow button.
    for (QAction* action : actions) {
        const QRect at = window().menuBar()->actionGeometry(action);
        EXPECT_TRUE(at.isValid() && at.right() < window().menuBar()->width())
            << action->text().toStdString() << " at " << at.x() << "+" << at.width();
    }
    for (const QAction* action : actions.mid(0, 6)) EXPECT_EQ(action->menu(), nullptr);

    window().menuEntry(C::mnuAbout)->trigger();
    EXPECT_EQ(rig.op.aboutShown, 1);
}

TEST_F(MainWindowTest, OperatorEditsRunTheModelsHandlers) {
    rig.startMain();
    type(C::txtTimeOut, "10");
    EXPECT_EQ(model().text(C::txtTimeOut), "10");
    EXPECT_EQ(labelText(C::txtTimeOutTime), QStringLiteral("600"));

    type(C::txtHangTime, "8");
    EXPECT_EQ(labelText(C::txtHangTimeTime), QStringLiteral("8"));

    // A text not taken as typed: what is in force shows beside the field, in the panel.
    type(C::txtIDInterval, "1,5");
    auto* mark = control<QLabel>(C::InForceIDInterval);
    EXPECT_EQ(mark->text(), QStringLiteral("in force: 1"));
    EXPECT_EQ(mark->parentWidget(), control<QLineEdit>(C::txtIDInterval)->parentWidget());
    EXPECT_GT(mark->x(), control<QLineEdit>(C::txtIDInterval)->geometry().right());
    // A long value shrinks to fit its place.
    const double points = mark->font().pointSizeF();
    type(C::txtIDInterval, "0.00001x");
    EXPECT_EQ(mark->text(), QStringLiteral("in force: 0.00001"));
    EXPECT_LT(mark->font().pointSizeF(), points);
    type(C::txtIDInterval, "2");
    EXPECT_EQ(mark->text(), QString());

    // An emptied break time is put back to "0" by its handler, and the field shows it.
    type(C::BreakTime, "");
    EXPECT_EQ(control<QLineEdit>(C::BreakTime)->text(), QStringLiteral("0"));
    EXPECT_EQ(model().timer(MainTimer::Break).interval().count(), 0);
    type(C::BreakTime, "900");
    EXPECT_EQ(model().timer(MainTimer::Break).interval().count(), 900);
}

TEST_F(MainWindowTest, ModelChangesReachTheWidgetsAndKeepTheCursor) {
    rig.startMain();
    model().setText(C::txtCWID, "QQ0QQ**H");
    EXPECT_EQ(control<QLineEdit>(C::txtCWID)->text(), QStringLiteral("QQ0QQ**H"));
    model().setText(C::txtIDInterval, "0.5");
    EXPECT_EQ(labelText(C::txtCWIDTime), QStringLiteral("30"));

    // Typing in the middle of a field: the echo of the model's own text leaves the cursor.
    auto* edit = control<QLineEdit>(C::txtSpeechID);
    edit->setFocus();
    edit->setCursorPosition(1);
    QTest::keyClicks(edit, QStringLiteral("X"));
    EXPECT_EQ(edit->text(), QStringLiteral("NX0CALL"));
    EXPECT_EQ(edit->cursorPosition(), 2);
    EXPECT_EQ(model().text(C::txtSpeechID), "NX0CALL");
}

TEST_F(MainWindowTest, CheckBoxesMapTheModelsValues) {
    rig.startMain();
    EXPECT_EQ(control<QCheckBox>(C::CTCSSActivity)->checkState(), Qt::Checked);
    auto* box = control<QCheckBox>(C::IDonClosedown);
    EXPECT_EQ(box->checkState(), Qt::Unchecked);
    box->click();
    EXPECT_EQ(model().value(C::IDonClosedown), 1);
    EXPECT_EQ(box->checkState(), Qt::Checked);
    box->click();
    EXPECT_EQ(model().value(C::IDonClosedown), 0);
    EXPECT_EQ(box->checkState(), Qt::Unchecked);

    // Ticked and greyed (2) shows partially checked; a click unticks it.
    model().setValue(C::IDonClosedown, 2);
    EXPECT_EQ(box->checkState(), Qt::PartiallyChecked);
    box->click();
    EXPECT_EQ(model().value(C::IDonClosedown), 0);
    EXPECT_EQ(box->checkState(), Qt::Unchecked);
}

TEST_F(MainWindowTest, CtcssBoxWarnsThenUnlocksItsToneField) {
    rig.startMain();
    EXPECT_FALSE(control<QLineEdit>(C::DecodeTone)->isEnabled());
    EXPECT_FALSE(control<QLabel>(C::Experimental)->isEnabled());
    control<QCheckBox>(C::CTCSSDecode)->click();
    ASSERT_EQ(rig.op.boxes.size(), 1u);
    EXPECT_EQ(rig.op.boxes[0].title, "CTCSS Decode is still experimental!");
    EXPECT_TRUE(control<QLineEdit>(C::DecodeTone)->isEnabled());
    EXPECT_TRUE(control<QLabel>(C::Experimental)->isEnabled());
    EXPECT_FALSE(control<QLineEdit>(C::EncodeTone)->isEnabled());
}

TEST_F(MainWindowTest, GeometryFollowsTheModelInTwips) {
    EXPECT_EQ(Twips(96).px(MainModel::kClientWidthTwips), 322);
    EXPECT_EQ(Twips(96).px(MainModel::kShortHeightTwips), 178);
    EXPECT_EQ(Twips(96).px(MainModel::kTallHeightTwips), 654);
    EXPECT_EQ(Twips(120).px(1440), 120);

    rig.startMain();
    const int outerExtra = window().frameGeometry().height() - window().height();
    EXPECT_EQ(window().width(), px(MainModel::kClientWidthTwips));
    EXPECT_EQ(window().height() + outerExtra, px(MainModel::kShortHeightTwips));
    EXPECT_EQ(window().minimumSize(), window().maximumSize());
    EXPECT_EQ(window().pos(), QPoint(px(500), px(500)));
    // Below the short window's edge the panel takes no keys.
    auto* panel = window().findChild<QGroupBox*>(QStringLiteral("Frame1"));
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->isHidden());
    EXPECT_TRUE(control<QPushButton>(C::Save)->isHidden());

    window().menuEntry(C::mnuSettings)->trigger();
    EXPECT_FALSE(panel->isHidden());
    EXPECT_EQ(window().height() + outerExtra, px(MainModel::kTallHeightTwips));
    EXPECT_EQ(window().width(), px(MainModel::kClientWidthTwips));
    auto* save = control<QPushButton>(C::Save);
    EXPECT_LE(save->geometry().bottom(), window().centralWidget()->height());

    save->click();
    EXPECT_EQ(window().height() + outerExtra, px(MainModel::kShortHeightTwips));
    EXPECT_TRUE(panel->isHidden());
}

TEST_F(MainWindowTest, OperatorsMoveReachesTheModel) {
    rig.startMain();
    window().move(90, 120);
    QCoreApplication::processEvents();
    EXPECT_EQ(window().pos(), QPoint(90, 120));
    EXPECT_DOUBLE_EQ(model().leftTwips(), window().twips().twips(90));
    EXPECT_DOUBLE_EQ(model().topTwips(), window().twips().twips(120));

    model().moveTo(1500, 3000);
    EXPECT_EQ(window().pos(), QPoint(px(1500), px(3000)));
}

TEST_F(MainWindowTest, APositionOffEveryScreenGivesWayToTheNearestOne) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    for (const char* left : {"99999999", "-99999999", "1e39"}) {
        SCOPED_TRACE(left);
        UiRig fresh;
        fresh.settings.WriteSetting("LEFT", left);
        fresh.settings.WriteSetting("TOP", "600");
        MainWindow& shown = fresh.startMain();
        EXPECT_TRUE(screen.contains(shown.frameGeometry().topLeft()));
        // Within reach: its title bar lies on the screen.
        EXPECT_LE(shown.frameGeometry().left() + kReachableWidthPx, screen.right() + 1);
        EXPECT_EQ(shown.pos().y(), shown.twips().px(600));
        // The model learns where the window went, so the exit command stores that place.
        EXPECT_DOUBLE_EQ(fresh.program.main()->leftTwips(), shown.twips().twips(shown.pos().x()));
        EXPECT_DOUBLE_EQ(fresh.program.main()->topTwips(), 600);
    }
}

TEST_F(MainWindowTest, LampsShowTheModelsColours) {
    rig.startMain();
    auto* rx = control<LampWidget>(C::LED);
    auto* tx = control<LampWidget>(C::PTTLED);
    EXPECT_EQ(rx->colour(), QColor(0x808080));
    EXPECT_EQ(tx->text(), QStringLiteral("TX"));
    EXPECT_TRUE(tx->font().bold());

    rig.station.setCarrier(kLinkTrue);
    QCoreApplication::processEvents();
    EXPECT_EQ(rx->colour(), QColor(0x00FF00));
    EXPECT_EQ(tx->colour(), QColor(0xFF0000));

    auto* fan = control<QLabel>(C::FanLabel);
    QTest::mouseClick(fan, Qt::LeftButton, {}, fan->rect().center());
    EXPECT_EQ(control<LampWidget>(C::FanLED)->colour(), QColor(0xFFC080));
    EXPECT_TRUE(rig.station.aux());
}

TEST_F(MainWindowTest, ClosingAsksAndEndsOnlyOnYes) {
    rig.startMain();
    rig.op.answer = MessageAnswer::No;
    EXPECT_FALSE(window().close());
    EXPECT_TRUE(window().isVisible());
    EXPECT_FALSE(rig.program.ended());
    ASSERT_EQ(rig.op.boxes.size(), 1u);
    EXPECT_EQ(rig.op.boxes[0].icon, MessageIcon::Question);

    rig.op.answer = MessageAnswer::Yes;
    EXPECT_TRUE(window().close());
    EXPECT_TRUE(rig.program.ended());
    EXPECT_FALSE(window().isVisible());
    EXPECT_EQ(rig.eventLoopLeft, 1);
}

TEST_F(MainWindowTest, ExitCommandEndsTheProgramAndHidesEveryWindow) {
    rig.startMain();
    window().menuEntry(C::mnuExit)->trigger();
    EXPECT_TRUE(rig.program.ended());
    EXPECT_FALSE(window().isVisible());
    EXPECT_EQ(rig.eventLoopLeft, 1);
    EXPECT_TRUE(rig.op.boxes.empty());
}

}  // namespace
}  // namespace relaydeck
