// The command line of barcodegen-cli, parsed once into plain options.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/ZoBarCode_interface.h"
#include "picture/GeneratePicture.h"

enum class TCliAction { Generate, Pattern, ListTypes, Help, Version };

inline constexpr int CliDefaultDpi = 96;

// Texts are UTF-8 as the arguments came; file names are kept byte for byte.
struct TCliOptions {
    TCliAction Action = TCliAction::Generate;
    int Type = bcCodeEAN13;
    TGenerateOptions Generate; // check digit, text, border (0 when off), box size
    bool SizeGiven = false;    // --size: a picture larger than the box is refused
    int Dpi = CliDefaultDpi;
    std::string Output; // a file name, or "-" for standard output; with Batch the name pattern
    std::string Format; // "PNG", "BMP", "JPEG", "SVG" or "PDF", from --format or the extension
    std::string Code;
    std::string Batch;   // the file of codes, one a line ("-" standard input); empty: one CODE
    int Jobs = 1;        // drawing threads of a batch (--jobs, by default the number of cores)
    bool Verify = false; // read every picture back with a decoder before it is written
};

// The outcome of parsing: Error is empty when the arguments are fine, otherwise
// the usage error, naming the option at fault; Hint perhaps a line for after it
// ("hint: ..."), where something else was likely meant.
struct TCliParse {
    TCliOptions Options;
    std::string Error;
    std::string Hint;
};

inline constexpr int CliMaxDpi = 10000;
inline constexpr int CliMaxJobs = 64;

// args without the program name. Options may come before, between and after
// the CODE; "--" ends them. Long names are taken whole only (no abbreviations),
// so a name added later cannot change what an older script meant.
TCliParse ParseCliArguments(const std::vector<std::string>& args);

// A user's text (a code, a value, a file name) as our messages quote it:
// shortened as the engine's messages shorten it.
std::string ForMessage(std::string_view utf8);

// The cores this process may run on (at least 1): a batch's default --jobs.
int CliCoreCount();
