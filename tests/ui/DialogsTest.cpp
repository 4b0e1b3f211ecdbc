// The startup dialog, the About window and the Qt message boxes.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "UiRig.h"
#include "ui/AboutDialog.h"
#include "ui/QtOperator.h"
#include "ui/SplashDialog.h"

namespace relaydeck {
namespace {

/// Runs @p act on the next modal window once the event loop has shown it; without one,
/// fails and closes every open dialog so that the test cannot hang.
void onModal(std::function<void(QWidget*)> act) {
    QTimer::singleShot(0, qApp, [act = std::move(act)] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            act(modal);
            return;
        }
        ADD_FAILURE() << "no modal window";
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* dialog = qobject_cast<QDialog*>(window)) dialog->done(0);
        }
    });
}

class SplashDialogTest : public ::testing::Test {
  protected:
    SplashDialog& start(const char* startup = nullptr) {
        if (startup != nullptr) rig.settings.WriteSetting("STARTUP", startup);
        rig.program.startWithSplash();
        dialog = std::make_unique<SplashDialog>(*rig.program.splash());
        return *dialog;
    }
    QString text(SplashControl c) { return qobject_cast<QLabel*>(dialog->control(c))->text(); }
    QAbstractButton* button(SplashControl c) {
        return qobject_cast<QAbstractButton*>(dialog->control(c));
    }

    UiRig rig;
    std::unique_ptr<SplashDialog> dialog;
};

TEST_F(SplashDialogTest, ShowsStationVersionAndTheStoredStartupBox) {
    SplashDialog& splash = start("2");
    EXPECT_TRUE(splash.isVisible());
    EXPECT_TRUE(splash.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(text(SplashControl::lblProductName), QStringLiteral("Relaydeck"));
    EXPECT_EQ(text(SplashControl::MyCall), QStringLiteral("N0CALL"));
    EXPECT_EQ(text(SplashControl::lblVersion), QStringLiteral("Version 1.1.0"));
    EXPECT_EQ(button(SplashControl::Launch)->text(), QStringLiteral("Ativa Repetidora"));
    EXPECT_EQ(button(SplashControl::Finish)->text(), QStringLiteral("Sai da Pontevox"));
    EXPECT_EQ(splash.size(), QSize(Twips(96).px(8385), Twips(96).px(4950)));

    auto* box = qobject_cast<QCheckBox*>(button(SplashControl::Startup));
    EXPECT_EQ(box->text(), QStringLiteral("Inicia automaticamente"));
    EXPECT_EQ(box->checkState(), Qt::PartiallyChecked);
    box->click();
    EXPECT_EQ(rig.program.splash()->value(SplashControl::Startup), 0);
    EXPECT_EQ(box->checkState(), Qt::Unchecked);
    box->click();
    EXPECT_EQ(rig.program.splash()->value(SplashControl::Startup), 1);
    EXPECT_EQ(box->checkState(), Qt::Checked);
}

TEST_F(SplashDialogTest, LaunchHandsOverToTheMainWindow) {
    SplashDialog& splash = start("1");
    button(SplashControl::Launch)->click();
    ASSERT_NE(rig.views.mainWindow(), nullptr);
    EXPECT_TRUE(rig.views.mainWindow()->isVisible());
    EXPECT_FALSE(splash.isVisible());
    EXPECT_EQ(rig.settings.ReadSetting("STARTUP", ""), "1");
}

TEST_F(SplashDialogTest, TheWaitMessageGoesAfterThreeSeconds) {
    start();
    EXPECT_FALSE(dialog->control(SplashControl::Label1)->isHidden());
    rig.clock.advance(std::chrono::milliseconds(3000));
    EXPECT_TRUE(dialog->control(SplashControl::Label1)->isHidden());
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(SplashDialogTest, OnlyItsButtonsLeaveIt) {
    SplashDialog& splash = start();
    EXPECT_FALSE(splash.close());
    EXPECT_TRUE(splash.isVisible());
    button(SplashControl::Finish)->click();
    EXPECT_TRUE(rig.program.ended());
    EXPECT_FALSE(splash.isVisible());
    EXPECT_EQ(rig.eventLoopLeft, 1);
}

class AboutDialogTest : public ::testing::Test {
  protected:
    AboutDialogTest() { about.load(); }

    SimulatedStation station{[](std::function<void()>) {}};
    SimulatedLinkHostFactory links{station};
    AboutModel about{links};
};

TEST_F(AboutDialogTest, ShowsTitleVersionAndEachCreditOnItsOwnLine) {
    AboutDialog dialog(about);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("About Relaydeck"));
    EXPECT_FALSE(dialog.windowIcon().isNull());
    EXPECT_FALSE(dialog.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(dialog.size(), QSize(Twips(96).px(7110), Twips(96).px(4710)));
    const auto label = [&](AboutControl c) {
        return qobject_cast<QLabel*>(dialog.control(c))->text();
    };
    EXPECT_EQ(label(AboutControl::lblTitle), QStringLiteral("Relaydeck for N0CALL"));
    EXPECT_EQ(label(AboutControl::lblVersion), QStringLiteral("Version 1.1.0"));
    const QStringList lines = label(AboutControl::lblDescription).split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(
        lines[0].startsWith(QStringLiteral("Relaydeck - Um simples repetidor adicional "
                                           "para EchoLink.  Contém")));
    EXPECT_EQ(lines[1], QStringLiteral("Programa: The Relaydeck authors"));
    EXPECT_EQ(lines[2], QStringLiteral("Tradução: The Relaydeck authors"));
}

TEST_F(AboutDialogTest, SaiAndEscapeUnloadTheWindow) {
    {
        AboutDialog dialog(about);
        onModal([](QWidget* modal) {
            qobject_cast<QPushButton*>(
                qobject_cast<AboutDialog*>(modal)->control(AboutControl::cmdOK))
                ->click();
        });
        dialog.exec();
        EXPECT_TRUE(about.closed());
        EXPECT_FALSE(dialog.isVisible());
    }
    AboutModel again(links);
    again.load();
    AboutDialog dialog(again);
    onModal([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
    dialog.exec();
    EXPECT_TRUE(again.closed());
}

TEST(QtOperatorTest, BoxesHaveTheRequestedButtonsAndIcons) {
    QtOperator op;
    QMessageBox::Icon icon{};
    QString title;
    QString text;
    QList<QAbstractButton*> buttons;
    int width = 0;
    int titleWidth = 0;
    const auto inspectThen = [&](QMessageBox::StandardButton press) {
        onModal([&, press](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            width = box->width();
            titleWidth = QFontMetrics(box->font()).horizontalAdvance(box->windowTitle());
            icon = box->icon();
            title = box->windowTitle();
            text = box->text();
            buttons = box->buttons();
            box->button(press)->click();
        });
    };

    inspectThen(QMessageBox::Ok);
    EXPECT_EQ(op.showMessage({"CTCSS Decode is still experimental!", "Please note  two blanks."}),
              MessageAnswer::Ok);
    EXPECT_EQ(icon, QMessageBox::NoIcon);
    EXPECT_EQ(title, QStringLiteral("CTCSS Decode is still experimental!"));
    EXPECT_EQ(text, QStringLiteral("Please note  two blanks."));
    EXPECT_EQ(buttons.size(), 1);
    // The short text alone would make the box too narrow for its title and the title bar's
    // buttons (about 140 pixels).
    EXPECT_GE(width, titleWidth + 140) << width << " wide for a title " << titleWidth << " wide";

    inspectThen(QMessageBox::No);
    EXPECT_EQ(op.showMessage({"Exit Program", "Quit Relaydeck - Are You Sure ?",
                              MessageButtons::YesNo, MessageIcon::Question}),
              MessageAnswer::No);
    EXPECT_EQ(icon, QMessageBox::Question);
    EXPECT_EQ(buttons.size(), 2);

    inspectThen(QMessageBox::Yes);
    EXPECT_EQ(op.showMessage({"Exit Program", "Quit Relaydeck - Are You Sure ?",
                              MessageButtons::YesNo, MessageIcon::Question}),
              MessageAnswer::Yes);

    inspectThen(QMessageBox::Ok);
    op.showMessage({"Relaydeck", "failed", MessageButtons::Ok, MessageIcon::Critical});
    EXPECT_EQ(icon, QMessageBox::Critical);
}

TEST(QtOperatorTest, AboutRunsModallyOverItsOwner) {
    SimulatedStation station{[](std::function<void()>) {}};
    SimulatedLinkHostFactory links{station};
    AboutModel about{links};
    about.load();
    QWidget owner;
    owner.show();
    QtOperator op;
    op.setOwner(&owner);
    QWidget* seenParent = nullptr;
    onModal([&](QWidget* modal) {
        seenParent = modal->parentWidget();
        qobject_cast<QPushButton*>(qobject_cast<AboutDialog*>(modal)->control(AboutControl::cmdOK))
            ->click();
    });
    op.showAbout(about);
    EXPECT_EQ(seenParent, &owner);
    EXPECT_TRUE(about.closed());
}

}  // namespace
}  // namespace relaydeck
