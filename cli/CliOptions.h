// The command line of barcodegen-cli, parsed once into plain options.
#pragma once

#include <QString>
#include <QStringList>

#include "GeneratePicture.h"
#include "SaveImage.h"
#include "ZoBarCode_interface.h"

enum class TCliAction { Generate, Pattern, ListTypes, Help, Version };

struct TCliOptions {
    TCliAction Action = TCliAction::Generate;
    int Type = bcCodeEAN13;
    TGenerateOptions Generate; // check digit, text, border (0 when off), box size
    int Dpi = DefaultDpi;
    QString Output; // a file name, or "-" for standard output; with Batch the name pattern
    QString Format; // "PNG", "BMP", "JPEG", "SVG" or "PDF", from --format or the extension
    QString Code;
    QString Batch;       // the file of codes, one a line ("-" standard input); empty: one CODE
    int Jobs = 1;        // drawing threads of a batch (--jobs, by default the number of cores)
    bool Verify = false; // read every picture back with a decoder before it is written
};

// The outcome of parsing: Error is empty when the arguments are fine, otherwise
// the usage error, naming the option at fault.
struct TCliParse {
    TCliOptions Options;
    QString Error;
};

inline constexpr int CliMaxDpi = 10000;
inline constexpr int CliMaxJobs = 64;

// args without the program name.
TCliParse ParseCliArguments(const QStringList& args);

// What --help prints.
QString CliHelpText();
