#include "app/ProgramStart.h"

#include "propsave/PropSaveMain.h"

#include <QApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <string_view>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr const char* UsageText = R"(Usage: barcodegen [-h | --help] [-v | --version] [Qt's options]

Opens the Barcode Generator window: pick a symbology, type the code and press
Generate; Copy image puts the picture on the clipboard, and Save as writes it
as a BMP, JPEG or PNG file. barcodegen-cli draws the same pictures from the
command line (barcodegen-cli --help).

  -h, --help     Print this and exit.
  -v, --version  Print the version and exit.

Qt's own options work as in every Qt program (-platform offscreen, -style
Fusion, -qwindowgeometry 521x416+0+0).

The window remembers its symbology, code, options and place in a settings
file: beside the program, named after it with ".ini", when the program may
write into its folder (a build folder, a portable copy); otherwise, as when it
is installed, with the same name in $XDG_CONFIG_HOME/barcodegen/ (or
~/.config/barcodegen/), made when the window first closes. SIGTERM, SIGINT and
SIGHUP close the window as its close box does, so the file is written then too.
)";

// The file the window would read and write, as it would find it now.
QString SettingsFile(int argc, char** argv) {
    QCoreApplication core(argc, argv);
    return TPropSaveFile().DefaultFileName();
}

int wakeUp[2] = {-1, -1};

extern "C" void WakeUpLoop(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(wakeUp[1], &byte, 1);
}

} // namespace

std::optional<int> AnswerWithoutWindow(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (a == "-h" || a == "--help") {
            std::printf("%sSettings file now: %s\n", UsageText,
                        SettingsFile(argc, argv).toLocal8Bit().constData());
            return 0;
        }
        if (a == "-v" || a == "--version") {
            std::printf("barcodegen %s\n", BARCODEGEN_VERSION);
            return 0;
        }
    }
    return std::nullopt;
}

std::optional<int> RefuseLeftArguments(int argc, char** argv) {
    if (argc < 2) return std::nullopt;
    std::fprintf(stderr, "barcodegen: unknown argument '%s' (see barcodegen --help)\n", argv[1]);
    return 2;
}

void CloseWindowsOnSignals() {
    // The handler only writes a byte; the loop reads it and closes the windows.
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, wakeUp) != 0) return;
    auto* notifier = new QSocketNotifier(wakeUp[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, [] {
        char bytes[16];
        while (::read(wakeUp[0], bytes, sizeof bytes) > 0) {
        }
        QApplication::closeAllWindows();
    });
    struct sigaction action = {};
    action.sa_handler = WakeUpLoop;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal, &action, nullptr);
}
