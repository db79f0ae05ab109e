#include "BemoCompGlobalCfg.h"
#include "WindowFont.h"
#include "f_main.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    RegisterWindowFont();
    InitBemoCompConfig();
    // The window's caption is the same, so the desktop adds nothing to it.
    QGuiApplication::setApplicationDisplayName(QString::fromUtf16(kProgramTitle));
    TMain Main;
    Main.show();
    return app.exec();
}
