// The print-size options of barcodegen-cli (--xdim and those that shape a
// label with it), from the texts given to the options they are made of.
// Plain C++: the parser hands over the values as it found them.
#pragma once

#include <optional>
#include <string>

#include "picture/PrintLayout.h"

// Each value as given; nullopt where the option was not.
struct TPrintArguments {
    std::optional<std::string> XDim;
    std::optional<std::string> Height;
    std::optional<std::string> QuietZone;
    bool NoQuietZone = false;
    bool QuietZoneMarks = false;
    std::optional<std::string> TextSize;
    std::optional<std::string> TextGap;
    std::optional<std::string> Foreground;
    std::optional<std::string> Background;
    std::optional<std::string> Rotate;
};

// What else the command line said that matters here.
struct TPrintContext {
    int Dpi = 96;
    bool SizeGiven = false;   // --size: a box, which a print size has not
    bool BorderGiven = false; // --border or --no-border: the quiet zones take their place
    std::string Format;       // "PNG", "BMP", "JPEG", "SVG" or "PDF"; empty: not known yet
};

// The print options, or nullopt: without --xdim (and none of the others) the
// picture is the window's; with a usage error in error (naming the option)
// when a value is bad, an option needs --xdim, or two options contradict.
std::optional<TPrintOptions> PrintOptionsOf(const TPrintArguments& args,
                                            const TPrintContext& context, std::string& error);

// Why a transparent ground cannot go into format (BMP and JPEG have no
// alpha), or an empty string.
std::string TransparencyProblem(const TPrintOptions& options, const std::string& format);
