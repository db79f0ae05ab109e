// The headless generator: draws exactly what the window's Generate draws.
#pragma once

#include <QStringList>
#include <QTextStream>

enum TCliExit { cliOk = 0, cliRefused = 1, cliUsage = 2 };

// args without the program name. Writes results to out and messages to err.
int RunBarcodeCli(const QStringList& args, QTextStream& out, QTextStream& err);
