#include <QFile>
#include <QGuiApplication>
#include <QTextStream>
#include <cstdio>

#include "BarcodeCli.h"
#include "WindowFont.h"

int main(int argc, char** argv) {
    // Headless: fonts and images need a GUI application, but never a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Start-up chatter of the offscreen platform (no runtime folder and the like)
    // is no concern of a script reading our stderr.
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    QGuiApplication app(argc, argv);
    qInstallMessageHandler(previous);
    RegisterWindowFont();

    QFile out;
    out.open(stdout, QIODevice::WriteOnly);
    QTextStream err(stderr);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    const int status = RunBarcodeCli(args, out, err);
    if (!out.flush() && status == cliOk) { // a full disk behind a redirection
        err << "barcodegen-cli: standard output: " << out.errorString() << "\n";
        return cliRefused;
    }
    return status;
}
