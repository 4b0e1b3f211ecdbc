// The windows in each language: every caption fits the room its layout gives it, and a
// change of language shows at once.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStyle>

#include "UiRig.h"
#include "activity/ActivityModel.h"
#include "ui/ActivityWindow.h"
#include "ui/MainWindow.h"
#include "ui/SplashDialog.h"
#include "ui/WebMenu.h"
#include "web/RemoteStation.h"

namespace relaydeck {
namespace {

using C = MainControl;

/// Every caption of @p window that its rectangle cuts short, as "text (needs/has px)".
std::string clipped(const QWidget& window) {
    QStringList found;
    const auto check = [&found](const QWidget* w, const QString& text, int room) {
        const int needs = QFontMetrics(w->font()).horizontalAdvance(text);
        if (!text.isEmpty() && needs > room) {
            found << QStringLiteral("%1 (%2/%3)").arg(text).arg(needs).arg(room);
        }
    };
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        if (label->wordWrap() || !label->pixmap().isNull()) continue;
        check(label, label->text(), label->width());
    }
    for (const QCheckBox* box : window.findChildren<QCheckBox*>()) {
        const QStyle* style = box->style();
        check(box, box->text(),
              box->width() - style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, box) -
                  style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, box));
    }
    for (const QPushButton* button : window.findChildren<QPushButton*>()) {
        check(button, QString(button->text()).remove(QLatin1Char('&')), button->width() - 6);
    }
    for (const QGroupBox* frame : window.findChildren<QGroupBox*>()) {
        check(frame, frame->title(), frame->width() - 16);
    }
    return found.join(QStringLiteral("; ")).toStdString();
}

class LanguageTest : public ::testing::TestWithParam<Language> {};

TEST_P(LanguageTest, EveryWindowHoldsItsTextsWithoutClipping) {
    UiRig rig;
    MainWindow& main = rig.startMain();
    main.menuEntry(C::mnuSettings)->trigger();
    NoActivity records;
    web::RemoteStation remote(rig.program, rig.folder.path().toStdString(), records, rig.clock,
                              [](std::function<void()>) {});
    WebSettingsDialog web(remote, &main);
    web.show();
    // Switched while the windows are up: what they show follows at once.
    rig.program.chooseLanguage(GetParam());
    QCoreApplication::processEvents();
    EXPECT_EQ(web.windowTitle(),
              QString::fromUtf8(operatorText(TextId::WebDialogTitle, GetParam())));
    EXPECT_EQ(clipped(web), "");
    EXPECT_EQ(qobject_cast<QPushButton*>(main.control(C::Save))->text(),
              QString::fromUtf8(operatorText(TextId::ButtonSave, GetParam())));
    EXPECT_EQ(main.control(C::txtTimeOutID)->toolTip(),
              QString::fromUtf8(operatorText(TextId::TipTimeOutId, GetParam())));
    EXPECT_EQ(clipped(main), "");
    // Every entry stays on the menu bar, none behind the overflow button.
    const QMenuBar* bar = main.menuBar();
    for (QAction* action : bar->actions()) {
        EXPECT_LE(bar->actionGeometry(action).right(), bar->width())
            << action->text().toStdString();
    }

    SplashDialog splash(*rig.program.splash());
    EXPECT_EQ(clipped(splash), "");

    ActivityJournal journal;
    ActivityModel activity(journal, rig.clock);
    activity.setOperatorTexts(&rig.program.texts());
    ActivityWindow window(activity);
    EXPECT_EQ(window.windowTitle(),
              QString::fromUtf8(operatorText(TextId::MenuActivity, GetParam())));
    EXPECT_EQ(clipped(window), "");
}

std::string languageName(const ::testing::TestParamInfo<Language>& param) {
    static constexpr const char* kNames[] = {"AsDesigned", "English", "Portuguese"};
    return kNames[static_cast<int>(param.param)];
}

INSTANTIATE_TEST_SUITE_P(Languages, LanguageTest,
                         ::testing::Values(Language::AsDesigned, Language::English,
                                           Language::Portuguese),
                         languageName);

}  // namespace
}  // namespace relaydeck
