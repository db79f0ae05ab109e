#include "complib/BemoCompGlobalCfg.h"
#include "platform/WindowFont.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // No test needs a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Measured and drawn with the font the programs use.
    RegisterWindowFont();
    // As at program start: once, with the application object in place.
    InitBemoCompConfig();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
