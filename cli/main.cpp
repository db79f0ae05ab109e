#include <QFile>
#include <QGuiApplication>
#include <QTextStream>
#include <cstdio>
#include <malloc.h>

#include "cli/BarcodeCli.h"
#include "platform/WindowFont.h"

int main(int argc, char** argv) {
    // Every picture of a batch takes and gives back the same few blocks of a
    // quarter megabyte. Kept by the allocator instead of mapped and unmapped
    // each time, they cost no page faults, which showed as a third of a
    // batch's time (and more with every thread added).
    mallopt(M_MMAP_THRESHOLD, 64 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
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
        err << StandardOutputProblem(out) << "\n";
        return cliRefused;
    }
    return status;
}
