#include "app/ProgramStart.h"
#include "app/f_main.h"
#include "platform/SvgIcon.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char** argv) {
    if (const std::optional<int> status = AnswerWithoutWindow(argc, argv)) return *status;
    QApplication app(argc, argv);
    if (const std::optional<int> status = RefuseLeftArguments(argc, argv)) return *status;
    // The desktop entry's name: a Wayland compositor finds the icon and the
    // entry by it, an X11 desktop by the class, which is the program's name.
    QGuiApplication::setDesktopFileName(QStringLiteral(BARCODEGEN_APP_ID));
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128})
        icon.addPixmap(RenderSvg(QStringLiteral(":/program/barcodegen.svg"), size));
    QApplication::setWindowIcon(icon);
    CloseWindowsOnSignals();
    InitProgram();
    TMain Main;
    Main.show();
    return app.exec();
}
