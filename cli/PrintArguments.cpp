#include "cli/PrintArguments.h"

#include <charconv>
#include <cmath>

#include "engine/BarcodeError.h"

namespace {

// A value of an option, or the usage error that names it.
template <class T, class Parse>
bool Value(const std::optional<std::string>& text, const char* option, Parse parse,
           std::optional<T>& into, std::string& error) {
    if (!text) return true;
    std::string why;
    into = parse(*text, why);
    if (!into) error = std::string("--") + option + ": " + why;
    return into.has_value();
}

constexpr double MaxQuietModules = 1000;

std::optional<double> QuietModules(const std::string& text, std::string& why) {
    double v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() ||
        !std::isfinite(v) || v < 0 || v > MaxQuietModules) {
        why = Quoted(text) + " is no count of modules from 0 to 1000";
        return std::nullopt;
    }
    return v;
}

std::optional<int> QuarterTurns(const std::string& text, std::string& why) {
    for (int turns = 0; turns < 4; ++turns)
        if (text == std::to_string(turns * 90)) return turns;
    why = Quoted(text) + " is no rotation: 0, 90, 180 or 270 (degrees clockwise)";
    return std::nullopt;
}

std::optional<TLength> Length(const std::string& text, std::string& why) {
    return ParseLength(text, false, why);
}

std::optional<TLength> LengthOrModules(const std::string& text, std::string& why) {
    return ParseLength(text, true, why);
}

} // namespace

std::optional<TPrintOptions> PrintOptionsOf(const TPrintArguments& a, const TPrintContext& c,
                                            std::string& error) {
    error.clear();
    const std::pair<const char*, bool> others[] = {
        {"height", a.Height.has_value()},      {"quiet-zone", a.QuietZone.has_value()},
        {"no-quiet-zone", a.NoQuietZone},      {"quiet-zone-marks", a.QuietZoneMarks},
        {"text-size", a.TextSize.has_value()}, {"text-gap", a.TextGap.has_value()},
        {"fg", a.Foreground.has_value()},      {"bg", a.Background.has_value()},
        {"rotate", a.Rotate.has_value()},
    };
    if (!a.XDim) {
        for (const auto& [name, given] : others)
            if (given) {
                error = std::string("--") + name +
                        " shapes a label at a print size: give --xdim with it";
                return std::nullopt;
            }
        return std::nullopt;
    }
    if (c.SizeGiven) {
        error = "--xdim with --size: the X-dimension decides the picture's size, a box cannot";
        return std::nullopt;
    }
    if (c.BorderGiven) {
        error = "--xdim with --border or --no-border: at a print size the quiet zones take the "
                "border's place (--quiet-zone, --no-quiet-zone)";
        return std::nullopt;
    }
    if (a.QuietZone && a.NoQuietZone) {
        error = "--quiet-zone with --no-quiet-zone: give one of them";
        return std::nullopt;
    }
    TPrintOptions o;
    o.Dpi = c.Dpi;
    std::optional<TLength> xdim;
    std::optional<TRgba> fg, bg;
    std::optional<int> turns;
    if (!Value(a.XDim, "xdim", Length, xdim, error) ||
        !Value(a.Height, "height", LengthOrModules, o.BarHeight, error) ||
        !Value(a.QuietZone, "quiet-zone", QuietModules, o.QuietZone, error) ||
        !Value(a.TextSize, "text-size", Length, o.TextSize, error) ||
        !Value(a.TextGap, "text-gap", Length, o.TextGap, error) ||
        !Value(a.Foreground, "fg", ParseColour, fg, error) ||
        !Value(a.Background, "bg", ParseColour, bg, error) ||
        !Value(a.Rotate, "rotate", QuarterTurns, turns, error))
        return std::nullopt;
    o.XDim = *xdim;
    if (!(LengthInDots(o.XDim, o.Dpi) > 0)) {
        error = "--xdim: the X-dimension must be more than nothing";
        return std::nullopt;
    }
    o.NoQuietZone = a.NoQuietZone;
    o.QuietZoneMarks = a.QuietZoneMarks;
    o.Foreground = fg.value_or(RgbaBlack);
    o.Background = bg.value_or(RgbaWhite);
    o.QuarterTurns = turns.value_or(0);
    if (const std::string problem = ContrastProblem(o.Foreground, o.Background); !problem.empty()) {
        error = "--fg and --bg: " + problem;
        return std::nullopt;
    }
    if (const std::string problem = TransparencyProblem(o, c.Format); !problem.empty()) {
        error = problem;
        return std::nullopt;
    }
    return o;
}

std::string TransparencyProblem(const TPrintOptions& o, const std::string& format) {
    const bool opaque = AlphaOf(o.Foreground) == 0xFF && AlphaOf(o.Background) == 0xFF;
    if (opaque || (format != "BMP" && format != "JPEG")) return {};
    return "--fg and --bg: " + format +
           " keeps no transparency; give opaque colours, or write PNG, SVG or PDF";
}
