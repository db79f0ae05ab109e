#include "picture/PrintSize.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <utility>

#include "engine/BarcodeError.h"

namespace {

struct TNamedColour {
    std::string_view Name;
    std::uint32_t Rgb;
};

// The colour names of CSS and SVG, which are the names Qt knows: the command
// line takes them without loading a toolkit. Sorted, for a binary search.
// clang-format off
constexpr TNamedColour NamedColours[] = {
    {"aliceblue", 0xF0F8FF}, {"antiquewhite", 0xFAEBD7}, {"aqua", 0x00FFFF},
    {"aquamarine", 0x7FFFD4}, {"azure", 0xF0FFFF}, {"beige", 0xF5F5DC},
    {"bisque", 0xFFE4C4}, {"black", 0x000000}, {"blanchedalmond", 0xFFEBCD},
    {"blue", 0x0000FF}, {"blueviolet", 0x8A2BE2}, {"brown", 0xA52A2A},
    {"burlywood", 0xDEB887}, {"cadetblue", 0x5F9EA0}, {"chartreuse", 0x7FFF00},
    {"chocolate", 0xD2691E}, {"coral", 0xFF7F50}, {"cornflowerblue", 0x6495ED},
    {"cornsilk", 0xFFF8DC}, {"crimson", 0xDC143C}, {"cyan", 0x00FFFF},
    {"darkblue", 0x00008B}, {"darkcyan", 0x008B8B}, {"darkgoldenrod", 0xB8860B},
    {"darkgray", 0xA9A9A9}, {"darkgreen", 0x006400}, {"darkgrey", 0xA9A9A9},
    {"darkkhaki", 0xBDB76B}, {"darkmagenta", 0x8B008B}, {"darkolivegreen", 0x556B2F},
    {"darkorange", 0xFF8C00}, {"darkorchid", 0x9932CC}, {"darkred", 0x8B0000},
    {"darksalmon", 0xE9967A}, {"darkseagreen", 0x8FBC8F}, {"darkslateblue", 0x483D8B},
    {"darkslategray", 0x2F4F4F}, {"darkslategrey", 0x2F4F4F}, {"darkturquoise", 0x00CED1},
    {"darkviolet", 0x9400D3}, {"deeppink", 0xFF1493}, {"deepskyblue", 0x00BFFF},
    {"dimgray", 0x696969}, {"dimgrey", 0x696969}, {"dodgerblue", 0x1E90FF},
    {"firebrick", 0xB22222}, {"floralwhite", 0xFFFAF0}, {"forestgreen", 0x228B22},
    {"fuchsia", 0xFF00FF}, {"gainsboro", 0xDCDCDC}, {"ghostwhite", 0xF8F8FF},
    {"gold", 0xFFD700}, {"goldenrod", 0xDAA520}, {"gray", 0x808080},
    {"green", 0x008000}, {"greenyellow", 0xADFF2F}, {"grey", 0x808080},
    {"honeydew", 0xF0FFF0}, {"hotpink", 0xFF69B4}, {"indianred", 0xCD5C5C},
    {"indigo", 0x4B0082}, {"ivory", 0xFFFFF0}, {"khaki", 0xF0E68C},
    {"lavender", 0xE6E6FA}, {"lavenderblush", 0xFFF0F5}, {"lawngreen", 0x7CFC00},
    {"lemonchiffon", 0xFFFACD}, {"lightblue", 0xADD8E6}, {"lightcoral", 0xF08080},
    {"lightcyan", 0xE0FFFF}, {"lightgoldenrodyellow", 0xFAFAD2}, {"lightgray", 0xD3D3D3},
    {"lightgreen", 0x90EE90}, {"lightgrey", 0xD3D3D3}, {"lightpink", 0xFFB6C1},
    {"lightsalmon", 0xFFA07A}, {"lightseagreen", 0x20B2AA}, {"lightskyblue", 0x87CEFA},
    {"lightslategray", 0x778899}, {"lightslategrey", 0x778899}, {"lightsteelblue", 0xB0C4DE},
    {"lightyellow", 0xFFFFE0}, {"lime", 0x00FF00}, {"limegreen", 0x32CD32},
    {"linen", 0xFAF0E6}, {"magenta", 0xFF00FF}, {"maroon", 0x800000},
    {"mediumaquamarine", 0x66CDAA}, {"mediumblue", 0x0000CD}, {"mediumorchid", 0xBA55D3},
    {"mediumpurple", 0x9370DB}, {"mediumseagreen", 0x3CB371}, {"mediumslateblue", 0x7B68EE},
    {"mediumspringgreen", 0x00FA9A}, {"mediumturquoise", 0x48D1CC}, {"mediumvioletred", 0xC71585},
    {"midnightblue", 0x191970}, {"mintcream", 0xF5FFFA}, {"mistyrose", 0xFFE4E1},
    {"moccasin", 0xFFE4B5}, {"navajowhite", 0xFFDEAD}, {"navy", 0x000080},
    {"oldlace", 0xFDF5E6}, {"olive", 0x808000}, {"olivedrab", 0x6B8E23},
    {"orange", 0xFFA500}, {"orangered", 0xFF4500}, {"orchid", 0xDA70D6},
    {"palegoldenrod", 0xEEE8AA}, {"palegreen", 0x98FB98}, {"paleturquoise", 0xAFEEEE},
    {"palevioletred", 0xDB7093}, {"papayawhip", 0xFFEFD5}, {"peachpuff", 0xFFDAB9},
    {"peru", 0xCD853F}, {"pink", 0xFFC0CB}, {"plum", 0xDDA0DD},
    {"powderblue", 0xB0E0E6}, {"purple", 0x800080}, {"rebeccapurple", 0x663399},
    {"red", 0xFF0000}, {"rosybrown", 0xBC8F8F}, {"royalblue", 0x4169E1},
    {"saddlebrown", 0x8B4513}, {"salmon", 0xFA8072}, {"sandybrown", 0xF4A460},
    {"seagreen", 0x2E8B57}, {"seashell", 0xFFF5EE}, {"sienna", 0xA0522D},
    {"silver", 0xC0C0C0}, {"skyblue", 0x87CEEB}, {"slateblue", 0x6A5ACD},
    {"slategray", 0x708090}, {"slategrey", 0x708090}, {"snow", 0xFFFAFA},
    {"springgreen", 0x00FF7F}, {"steelblue", 0x4682B4}, {"tan", 0xD2B48C},
    {"teal", 0x008080}, {"thistle", 0xD8BFD8}, {"tomato", 0xFF6347},
    {"turquoise", 0x40E0D0}, {"violet", 0xEE82EE}, {"wheat", 0xF5DEB3},
    {"white", 0xFFFFFF}, {"whitesmoke", 0xF5F5F5}, {"yellow", 0xFFFF00},
    {"yellowgreen", 0x9ACD32},
};
// clang-format on

constexpr bool SortedNames() {
    for (std::size_t i = 1; i < std::size(NamedColours); ++i)
        if (!(NamedColours[i - 1].Name < NamedColours[i].Name)) return false;
    return true;
}
static_assert(SortedNames(), "the colour names in order, each once");
static_assert(std::size(NamedColours) == 148, "every CSS colour name");

struct TUnitName {
    std::string_view Name;
    TLengthUnit Unit;
};

constexpr TUnitName UnitNames[] = {
    {"mm", TLengthUnit::Millimetre}, {"mil", TLengthUnit::Mil},  {"in", TLengthUnit::Inch},
    {"pt", TLengthUnit::Point},      {"px", TLengthUnit::Dot},   {"dot", TLengthUnit::Dot},
    {"dots", TLengthUnit::Dot},      {"x", TLengthUnit::Module},
};

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return out;
}

std::string_view Trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// sRGB to linear light, 0..1.
double Linear(int channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

} // namespace

std::optional<TLength> ParseLength(std::string_view text, bool modulesAllowed, std::string& error) {
    const std::string_view s = Trimmed(text);
    const std::string units = modulesAllowed ? "mm, mil, in, pt, px or dot, or x for modules"
                                             : "mm, mil, in, pt, px or dot";
    std::size_t n = 0;
    while (n < s.size() && ((s[n] >= '0' && s[n] <= '9') || s[n] == '.'))
        ++n;
    double value = 0.0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + n, value);
    if (n == 0 || ec != std::errc() || end != s.data() + n || !std::isfinite(value)) {
        error = Quoted(text) + " is no length: a number and a unit (" + units + "), such as 0.33mm";
        return std::nullopt;
    }
    const std::string unit = Lower(Trimmed(s.substr(n)));
    if (unit.empty()) {
        if (value == 0.0) return TLength{0.0, TLengthUnit::Dot};
        error = Quoted(text) + " has no unit: give " + units;
        return std::nullopt;
    }
    for (const TUnitName& u : UnitNames)
        if (u.Name == unit && (modulesAllowed || u.Unit != TLengthUnit::Module))
            return TLength{value, u.Unit};
    error = Quoted(text) + " has an unknown unit " + Quoted(unit) + ": give " + units;
    return std::nullopt;
}

double LengthInDots(const TLength& length, int dpi, double moduleDots) {
    switch (length.Unit) {
    case TLengthUnit::Millimetre:
        return length.Value * dpi / 25.4;
    case TLengthUnit::Mil:
        return length.Value * dpi / 1000.0;
    case TLengthUnit::Inch:
        return length.Value * dpi;
    case TLengthUnit::Point:
        return length.Value * dpi / 72.0;
    case TLengthUnit::Dot:
        return length.Value;
    case TLengthUnit::Module:
        return length.Value * moduleDots;
    }
    return 0.0;
}

int WholeDots(double dots) {
    if (!(dots >= 1.5)) return 1; // also NaN
    if (dots >= 1e9) return 1000000000;
    return int(std::lround(dots));
}

std::optional<TRgba> ParseColour(std::string_view text, std::string& error) {
    const std::string name = Lower(Trimmed(text));
    if (!name.empty() && name[0] == '#') {
        const std::string_view hex = std::string_view(name).substr(1);
        if (hex.size() == 6 || hex.size() == 8) {
            std::uint32_t v = 0;
            bool ok = true;
            for (char c : hex) {
                const int d = HexDigit(c);
                ok = ok && d >= 0;
                v = v << 4 | std::uint32_t(d < 0 ? 0 : d);
            }
            // #RRGGBBAA to 0xAARRGGBB
            if (ok) return hex.size() == 6 ? (0xFF000000u | v) : (v >> 8 | (v & 0xFF) << 24);
        }
        error = Quoted(text) + " is no colour: #RRGGBB or #RRGGBBAA in hexadecimal";
        return std::nullopt;
    }
    if (name == "transparent") return RgbaTransparent;
    const auto* it = std::lower_bound(
        std::begin(NamedColours), std::end(NamedColours), name,
        [](const TNamedColour& c, const std::string& key) { return c.Name < key; });
    if (it != std::end(NamedColours) && it->Name == name) return 0xFF000000u | it->Rgb;
    error =
        Quoted(text) + " is no colour: give #RRGGBB, #RRGGBBAA, a CSS colour name or transparent";
    return std::nullopt;
}

TReflectance ReflectanceOf(TRgba colour) {
    // What is not opaque prints as the colour over white paper.
    const double a = AlphaOf(colour) / 255.0;
    auto over = [a](double linear) { return a * linear + (1.0 - a); };
    const double r = Linear(int(colour >> 16 & 0xFF));
    const double g = Linear(int(colour >> 8 & 0xFF));
    const double b = Linear(int(colour & 0xFF));
    return {over(0.2126 * r + 0.7152 * g + 0.0722 * b), over(r)};
}

std::string ContrastProblem(TRgba fg, TRgba bg) {
    const TReflectance bars = ReflectanceOf(fg);
    const TReflectance ground = ReflectanceOf(bg);
    auto percent = [](double v) { return std::to_string(int(std::lround(v * 100))) + " %"; };
    const std::string pair = "bars in " + ColourName(fg) + " on " +
                             (AlphaOf(bg) == 0 ? std::string("white paper") : ColourName(bg));
    if (bars.Daylight >= ground.Daylight)
        return pair + " are no darker than their ground: give --fg the darker colour";
    const double daylight = ground.Daylight - bars.Daylight;
    if (daylight < MinSymbolContrast)
        return pair + " have a symbol contrast of " + percent(daylight) + ", below the " +
               percent(MinSymbolContrast) + " a scanner needs";
    const double red = ground.RedLight - bars.RedLight;
    if (red < MinSymbolContrast)
        return pair + " have a symbol contrast of " + percent(red) +
               " in the red light of laser scanners, below the " + percent(MinSymbolContrast) +
               " they need";
    return {};
}

std::string ColourName(TRgba colour) {
    char s[10];
    if (AlphaOf(colour) == 0xFF)
        std::snprintf(s, sizeof s, "#%06X", unsigned(colour & 0xFFFFFF));
    else
        std::snprintf(s, sizeof s, "#%06X%02X", unsigned(colour & 0xFFFFFF),
                      unsigned(colour >> 24));
    return s;
}
