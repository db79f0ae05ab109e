#include "app/f_main.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    InitProgram();
    TMain Main;
    Main.show();
    return app.exec();
}
