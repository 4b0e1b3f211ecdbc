// Where a window goes when its stored place would leave it off every screen.

#include "ui/ScreenPlacement.h"

#include <gtest/gtest.h>

#include <QPushButton>

#include "ui/Widgets.h"

namespace relaydeck {
namespace {

const QRect kLeftScreen(0, 0, 1920, 1040);  // available area, below a panel
const QRect kRightScreen(1920, 0, 1280, 1024);

TEST(ScreenPlacement, AWindowWhoseTitleBarCanBeReachedStaysWhereItIs) {
    const QList<QRect> screens{kLeftScreen, kRightScreen};
    for (const QRect frame : {QRect(100, 100, 322, 200), QRect(1800, 500, 322, 200),
                              QRect(-250, 900, 322, 700), QRect(3100, 0, 322, 200)}) {
        EXPECT_EQ(placeOnScreens(frame, screens), frame.topLeft()) << frame.x() << "," << frame.y();
    }
}

TEST(ScreenPlacement, AWindowOffEveryScreenGoesOntoTheNearest) {
    const QList<QRect> screens{kLeftScreen, kRightScreen};
    // Far right: onto the right screen, against its right edge.
    EXPECT_EQ(placeOnScreens(QRect(6'666'666, 300, 322, 200), screens), QPoint(3200 - 322, 300));
    // Far left and above: the left screen's top left corner.
    EXPECT_EQ(placeOnScreens(QRect(-16'000'000, -5000, 322, 200), screens), QPoint(0, 0));
    // Below the left screen: pulled up until it fits.
    EXPECT_EQ(placeOnScreens(QRect(500, 1045, 322, 200), screens), QPoint(500, 1040 - 200));
    // Only the last few pixels of the title bar on a screen are not enough to take hold of it.
    EXPECT_EQ(placeOnScreens(QRect(-310, 100, 322, 200), screens), QPoint(0, 100));
    // A title bar above the screen's top cannot be reached either.
    EXPECT_EQ(placeOnScreens(QRect(100, -150, 322, 200), screens), QPoint(100, 0));
}

TEST(ScreenPlacement, AWindowLargerThanTheScreenShowsItsTopLeft) {
    EXPECT_EQ(placeOnScreens(QRect(5000, 5000, 4000, 3000), {kLeftScreen}), QPoint(0, 0));
}

TEST(ScreenPlacement, WithoutScreensNothingMoves) {
    EXPECT_EQ(placeOnScreens(QRect(-9000, 7, 10, 10), {}), QPoint(-9000, 7));
}

TEST(WidgetAs, AWidgetOfAnotherKindIsReportedNotUsed) {
    QPushButton button;
    button.setObjectName(QStringLiteral("cmdOK"));
    EXPECT_EQ(widgetAs<QAbstractButton>(&button), &button);
    EXPECT_THROW(widgetAs<QLabel>(&button), std::logic_error);
    EXPECT_THROW(widgetAs<QLabel>(nullptr), std::logic_error);
}

}  // namespace
}  // namespace relaydeck
