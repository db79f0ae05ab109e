// The command line of barcodegen-cli, parsed once into plain options.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

#include "engine/ZoBarCode_interface.h"
#include "picture/GeneratePicture.h"
#include "picture/PrintLayout.h"
#include "picture/SaveImage.h"

enum class TCliAction { Generate, Pattern, ListTypes, Help, Version };

struct TCliOptions {
    TCliAction Action = TCliAction::Generate;
    int Type = bcCodeEAN13;
    TGenerateOptions Generate; // check digit, text, border (0 when off), box size
    bool SizeGiven = false;    // --size: a picture larger than the box is refused
    int Dpi = DefaultDpi;
    QString Output; // a file name, or "-" for standard output; with Batch the name pattern
    QString Format; // "PNG", "BMP", "JPEG", "SVG" or "PDF", from --format or the extension
    QString Code;
    QString Batch;       // the file of codes, one a line ("-" standard input); empty: one CODE
    int Jobs = 1;        // drawing threads of a batch (--jobs, by default the number of cores)
    bool Verify = false; // read every picture back with a decoder before it is written
    // --xdim: a label at a print size instead of the window's picture.
    std::optional<TPrintOptions> Print;
};

// The outcome of parsing: Error is empty when the arguments are fine, otherwise
// the usage error, naming the option at fault; Hint perhaps a line for after it
// ("hint: ..."), where something else was likely meant.
struct TCliParse {
    TCliOptions Options;
    QString Error;
    QString Hint;
};

inline constexpr int CliMaxDpi = 10000;
inline constexpr int CliMaxJobs = 64;

// args without the program name.
TCliParse ParseCliArguments(const QStringList& args);

// A user's text (a code, a value, a file name) as our messages quote it:
// shortened as the engine's messages shorten it.
QString ForMessage(const QString& text);
