// The number rules under a user locale whose decimal separator is a comma, with a Qt
// application object (which switches the C library's locale to the user's), as in the
// desktop program.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <clocale>
#include <cstdio>

#include "Harness.h"
#include "controller/NumberText.h"

namespace relaydeck::testing {
namespace {

using enum MainControl;

TEST(NumbersUnderAPortugueseLocale, TheCLibraryReallyUsesACommaHere) {
    // Guards the test itself: without the comma the tests below would prove nothing.
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%.1f", 2.5);
    EXPECT_STREQ(buffer, "2,5");
}

TEST(NumbersUnderAPortugueseLocale, ReadAndWriteWithAPoint) {
    EXPECT_EQ(parseNumber("2.5"), 2.5);
    EXPECT_EQ(parseNumber("1.5E-07"), 1.5e-7);
    EXPECT_FALSE(parseNumber("2,5"));
    EXPECT_EQ(numberToText(2.5), "2.5");
    EXPECT_EQ(numberToText(1.0 / 3), "0.333333333333333");
    EXPECT_EQ(numberToText(1.5e-7), "0.00000015");
    EXPECT_EQ(parseLeadingNumber("2,5"), 2.0);
    EXPECT_EQ(numberToText(-0.4), "-0.4");
    EXPECT_EQ(parseTimerMilliseconds("2.5"), 2);
    EXPECT_EQ(parseCheckValue("1.5"), 2);
}

TEST(NumbersUnderAPortugueseLocale, TheControllerCountsFractionalIntervals) {
    Harness h;
    h.ini("[SETTINGS]");
    h.ini("CWINTERVAL=2.5");
    h.ini("TIMEOUT=0.1");
    MainModel& m = h.start();
    EXPECT_EQ(m.text(txtCWIDTime), "150");
    EXPECT_EQ(m.text(txtTimeOutTime), "6");
    m.setText(txtIDInterval, "0.05");
    EXPECT_EQ(m.text(txtCWIDTime), "3");
    h.take();
    h.wait(3);
    EXPECT_EQ(h.take(), (Calls{"3.000 SendCW(False, \"\")"}));
}

}  // namespace
}  // namespace relaydeck::testing

int main(int argc, char** argv) {
    // The locale must exist (scripts/deps.sh generates it): a missing one is a failure,
    // not a skip.
    qputenv("LC_ALL", "pt_BR.UTF-8");
    if (!std::setlocale(LC_ALL, "pt_BR.UTF-8")) {
        std::fprintf(stderr, "the locale pt_BR.UTF-8 is not installed (scripts/deps.sh)\n");
        return 1;
    }
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
