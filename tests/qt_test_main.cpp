#include <QGuiApplication>
#include <gtest/gtest.h>

#include "platform/WindowFont.h"

int main(int argc, char** argv) {
    // No test needs a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    // Drawn with the font the programs use.
    RegisterWindowFont();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
