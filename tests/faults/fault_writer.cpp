// The process the fault tests kill: it replaces one file again and again,
// alternating between two versions, the way the program saves it.
//
//   fault_writer settings|picture FILE
//
// Prints "ready" once the first version is in place.
#include <QCoreApplication>

#include <cstdio>

#include "picture/SaveImage.h"
#include "platform/QtConvert.h"
#include "propsave/PropSaveMain.h"
#include "tests/faults/FaultData.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3) return 2;
    const QString kind = QString::fromLocal8Bit(argv[1]);
    const QString path = QString::fromLocal8Bit(argv[2]);
    TPropSaveFile settings;
    settings.DisableAll = true; // saved below, never at destruction
    settings.Open(path);
    const TBitmap pictures[] = {FaultPicture(1, 400), FaultPicture(2, 400)};
    for (long i = 1;; ++i) {
        bool ok = false;
        if (kind == QLatin1String("settings")) {
            settings.Store()->SetIniText(FaultSettingsText(1 + int(i % 2), 1000));
            ok = settings.Save(QString(), false);
        } else {
            std::string error;
            ok = SaveImageAtomically(pictures[i % 2], FileNameBytes(path), &error);
        }
        if (!ok) return 1;
        if (i == 1) {
            std::puts("ready");
            std::fflush(stdout);
        }
    }
}
