// Runs the real barcodegen-cli (BARCODEGEN_CLI, set by the build) as a script would.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

#include "tests/FileContent.h"

struct CliRun {
    int exitCode = -1; // -1 when it crashed or did not end
    QByteArray out;
    QString err;
    QString text() const { return QString::fromUtf8(out); }
};

// input goes to its standard input.
inline CliRun Cli(const QStringList& args, const QByteArray& input = {}) {
    QProcess p;
    p.start(QStringLiteral(BARCODEGEN_CLI), args);
    p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(120000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            QString::fromUtf8(p.readAllStandardError())};
}
