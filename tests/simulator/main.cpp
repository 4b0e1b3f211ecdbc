// The simulator window's tests run on Qt's offscreen platform: no display is needed.

#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char* argv[]) {
    // Test discovery runs the program outside CTest's environment.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
