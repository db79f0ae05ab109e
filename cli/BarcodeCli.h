// The headless generator: draws exactly what the window's Generate draws.
#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QImage>
#include <QSize>
#include <QStringList>
#include <QTextStream>
#include <functional>

#include "cli/CliOptions.h"

enum TCliExit { cliOk = 0, cliRefused = 1, cliUsage = 2 };

// Begins our own messages (the engine's are printed as they are).
inline const QString CliPrefix = QStringLiteral("barcodegen-cli: ");

// What one code's run came to. Nothing in it is shared, so runs may go on in
// several threads at once.
struct TCodeOutcome {
    TCliExit Exit = cliOk;
    QStringList Messages; // lines for standard error: the refusal, then perhaps a hint
    // Why --verify could not check the symbol (its type is one the decoder
    // cannot read); the picture is still made. Reported once per run.
    QString Unverified;
    QImage Picture;   // the picture drawn, also for SVG and PDF (null when refused)
    QByteArray Bytes; // the encoded picture (empty when refused)
};

// Prepares, draws and encodes one code with the parsed options (Type, Generate,
// Dpi, Format), and with Verify reads the encoded bytes back. alterBytes, when
// given, changes the bytes between encoding and reading: how tests stand in
// for a writer whose file does not scan. Catches every failure into the outcome.
TCodeOutcome RenderCode(const TCliOptions& options, const QString& code,
                        const std::function<void(QByteArray&)>& alterBytes = {});

// RenderCode, then the bytes written to fileName whole or not at all.
TCodeOutcome RunCode(const TCliOptions& options, const QString& code, const QString& fileName,
                     TFileFlush flush = TFileFlush::ToDisk);

// The refusal for the exception being handled; only for a catch block. Every
// failure the command line catches, but the engine's refusals of a code (which
// RenderCode hints at), is told through it: "not enough memory" for an
// allocation, the message of any other exception.
TCodeOutcome CaughtFailure();

// The line of standard error that reports an Unverified reason.
QString UnverifiedLine(const QString& reason);

// The line of standard error when out, standard output, could not take the result.
QString StandardOutputProblem(const QIODevice& out);

// The text line of --pattern: a backslash as \\, control characters as \t, \r,
// \n or \xHH, so that the output stays two lines whatever the text.
QString EscapeForLine(const QString& text);

// args without the program name. The picture of -o - and every text result go
// to out, messages to err. Returns a TCliExit.
int RunBarcodeCli(const QStringList& args, QIODevice& out, QTextStream& err);
