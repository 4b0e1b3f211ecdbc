// Message boxes show their whole text and stand clear of the window they would hide.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <algorithm>

#include "ui/MessageBoxLayout.h"
#include "ui/QtOperator.h"
#include "ui/ScreenPlacement.h"

namespace relaydeck {
namespace {

const QRect kScreen(0, 0, 1280, 1000);

TEST(MessageBoxLayout, TextWrapsAtThreeFifthsOfTheScreen) {
    EXPECT_EQ(messageWrapWidthPx(1280), 768);
    EXPECT_EQ(messageWrapWidthPx(1024), 614);
    EXPECT_EQ(messageWrapWidthPx(-5), 0);
}

TEST(MessageBoxLayout, GoesBelowTheOwnerThenAboveThenBesideIt) {
    const QSize box(300, 150);
    // Room below: centred under the owner.
    const QRect high(400, 50, 340, 260);
    EXPECT_EQ(placeClearOf(box, high, kScreen), QPoint(420, 318));
    // At the bottom of the screen: above it.
    const QRect low(400, 700, 340, 260);
    EXPECT_EQ(placeClearOf(box, low, kScreen), QPoint(420, 542));
    // As tall as the screen: to its right, or to its left at the right edge.
    const QRect tall(100, 0, 340, 1000);
    EXPECT_EQ(placeClearOf(box, tall, kScreen), QPoint(448, 425));
    const QRect tallRight(900, 0, 340, 1000);
    EXPECT_EQ(placeClearOf(box, tallRight, kScreen), QPoint(592, 425));
    // Under an owner near a side edge the box stays whole on the screen.
    const QRect corner(1100, 50, 180, 200);
    EXPECT_EQ(placeClearOf(box, corner, kScreen), QPoint(980, 258));
}

TEST(MessageBoxLayout, NoRoomAnywhereLeavesItToTheWindowSystem) {
    EXPECT_FALSE(placeClearOf(QSize(300, 150), QRect(100, 0, 1000, 1000), kScreen).has_value());
    EXPECT_FALSE(placeClearOf(QSize(1400, 150), QRect(0, 0, 100, 100), kScreen).has_value());
    EXPECT_FALSE(placeClearOf(QSize(), QRect(0, 0, 100, 100), kScreen).has_value());
}

TEST(ScreenPlacement, TwoWindowsSideBySideCentredOnTheScreen) {
    const SideBySide at = sideBySide(QSize(400, 200), QSize(500, 420), kScreen, 12);
    EXPECT_EQ(at.first, QPoint(184, 193));
    EXPECT_EQ(at.second, QPoint(596, 193));
    // Too wide together: the second keeps to the screen, over the first.
    const SideBySide narrow = sideBySide(QSize(800, 200), QSize(700, 300), kScreen, 12);
    EXPECT_EQ(narrow.first.x(), 0);
    EXPECT_EQ(narrow.second.x(), 580);
}

/// Shows one box through QtOperator and reports the box as it stands on the screen.
struct Shown {
    QSize size;
    QRect frame;
    int labelWidth = 0;
    int labelHeight = 0;
    int lineHeight = 0;
    int textWidth = 0;
    bool wraps = false;
};

Shown show(QtOperator& op, const MessageBoxRequest& request) {
    Shown seen;
    QTimer::singleShot(0, qApp, [&seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            ADD_FAILURE() << "no message box";
            return;
        }
        const QList<QLabel*> labels = box->findChildren<QLabel*>();
        const auto text = std::find_if(labels.begin(), labels.end(),
                                       [box](const QLabel* l) { return l->text() == box->text(); });
        ASSERT_NE(text, labels.end());
        const QLabel* label = *text;
        seen.size = box->size();
        seen.frame = box->frameGeometry();
        seen.labelWidth = label->width();
        seen.labelHeight = label->height();
        seen.lineHeight = label->fontMetrics().height();
        seen.textWidth = label->fontMetrics().horizontalAdvance(box->text());
        seen.wraps = label->wordWrap();
        box->buttons().front()->click();
    });
    op.showMessage(request);
    return seen;
}

TEST(MessageBox, ALongTextIsWrappedWholeNotCutToTheTitle) {
    QtOperator op;
    const std::string text =
        "Please note that the CTCSS features on Relaydeck are still (and may remain) "
        "experimental: decoding depends on the receiver's audio, and a tone that is not "
        "decoded keeps the repeater closed. Check the settings with a handheld before "
        "relying on them.";
    const Shown seen = show(op, {"CTCSS Decode is still experimental!", text});
    const int wrapPx =
        messageWrapWidthPx(QGuiApplication::primaryScreen()->availableGeometry().width());
    EXPECT_TRUE(seen.wraps);
    EXPECT_LE(seen.labelWidth, wrapPx);
    EXPECT_GT(seen.textWidth, wrapPx) << "the text should be longer than one line";
    // Every line of the text has room: at least as many lines as its width needs.
    const int linesNeeded = (seen.textWidth + seen.labelWidth - 1) / seen.labelWidth;
    EXPECT_GE(seen.labelHeight, linesNeeded * seen.lineHeight)
        << seen.labelHeight << " high for " << linesNeeded << " lines";
    EXPECT_LE(seen.size.width(), wrapPx + 200);
}

TEST(MessageBox, AShortTextKeepsItsOneLineAndTheTitleItsRoom) {
    QtOperator op;
    const Shown seen = show(op, {"EchoLink failed", "The call SetPTT failed: timed out.",
                                 MessageButtons::Ok, MessageIcon::Critical});
    EXPECT_GE(seen.labelWidth, seen.textWidth);
    EXPECT_LT(seen.labelHeight, 2 * seen.lineHeight);
}

TEST(MessageBox, StandsClearOfItsOwnerWhenTheScreenHasRoom) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QWidget owner;
    owner.setGeometry(screen.left() + 100, screen.top() + 40, 330, 200);
    owner.show();
    QCoreApplication::processEvents();
    QtOperator op;
    op.setOwner(&owner);
    const Shown seen = show(op, {"Relaydeck", "A CW ID is not sent during an over."});
    EXPECT_FALSE(seen.frame.intersects(owner.frameGeometry()))
        << "box at " << seen.frame.x() << "," << seen.frame.y();
    EXPECT_TRUE(screen.contains(seen.frame));
}

}  // namespace
}  // namespace relaydeck
