// What a label printed at a real size is asked in: lengths with their units,
// colours, and whether a pair of colours would still scan. Plain C++, so the
// command line can parse its values without a toolkit.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

enum class TLengthUnit : std::uint8_t { Millimetre, Mil, Inch, Point, Dot, Module };

struct TLength {
    double Value = 0.0;
    TLengthUnit Unit = TLengthUnit::Dot;
    bool operator==(const TLength&) const = default;
};

// "0.33mm", "13mil", "0.5in", "8pt", "4px" or "4dot" (blanks between number
// and unit allowed, units in any case), and with modulesAllowed "50x" (a
// count of modules). A bare "0" is a length of nothing. Refuses, with a
// message in error, a negative, non-finite or unitless number.
std::optional<TLength> ParseLength(std::string_view text, bool modulesAllowed, std::string& error);

// The length in dots at dpi; a length in modules counts moduleDots each.
double LengthInDots(const TLength& length, int dpi, double moduleDots = 1.0);

// The whole number of dots nearest to dots, at least 1.
int WholeDots(double dots);

// dots at dpi in millimetres.
inline double DotsInMillimetres(double dots, int dpi) {
    return dots * 25.4 / dpi;
}

// 0xAARRGGBB, straight alpha, like a bitmap's pixels.
using TRgba = std::uint32_t;

// "#RRGGBB", "#RRGGBBAA", a CSS colour name ("navy", "darkslategray", any
// case), or "transparent". Refuses anything else with a message.
std::optional<TRgba> ParseColour(std::string_view text, std::string& error);

inline constexpr TRgba RgbaBlack = 0xFF000000;
inline constexpr TRgba RgbaWhite = 0xFFFFFFFF;
inline constexpr TRgba RgbaTransparent = 0x00000000;

inline int AlphaOf(TRgba c) {
    return int(c >> 24);
}

// The reflectance a colour prints with, 0 (black) to 1 (white), on white
// paper where it is not opaque: in daylight (relative luminance), and in the
// red light of laser scanners (the red channel alone).
struct TReflectance {
    double Daylight = 1.0;
    double RedLight = 1.0;
};
TReflectance ReflectanceOf(TRgba colour);

// The least symbol contrast (background's reflectance less the bars') that
// print-quality grading still passes.
inline constexpr double MinSymbolContrast = 0.40;

// Why bars in fg on bg would not scan (lighter bars than ground, or a symbol
// contrast below MinSymbolContrast in either light), or an empty string.
std::string ContrastProblem(TRgba fg, TRgba bg);

// "#RRGGBB" or "#RRGGBBAA" (where not opaque), for messages.
std::string ColourName(TRgba colour);
