// picture_table: draws a broad table of types x codes x boxes x options with
// GenerateBarcodePicture and prints one line per case, so that two builds can
// be compared picture by picture before a change to the drawing is accepted:
//
//   KEY <TAB> PNG-SHA1 DRAWING-SHA1 <TAB> CLASS H=.. h=.. H1=.. size=..
//
// KEY is type|code|WxH|t(text)|b(border)|c(check). The drawing hash covers
// every canvas command (text, position, font, polygon, colours), taken from a
// second, recorded drawing with the same metrics. CLASS is "ok", "UNDERHALF"
// (bars below half the box) or "BROKEN" (a bar of no height, or anything
// outside the box: text hidden, EAN/UPC guard bars reach below it by design).
// A refused case prints "refused" and the message.
//
// The info ends with masked=HASH: a digest of the picture with every text's
// cell painted white, so that a change of the text's antialiasing alone can be
// told from any other (a glyph's ink beyond its cell shows there too).
//
// Argument KEYFILE: one key a line, only those are drawn. Not built by
// default: ninja picture_table.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "engine/BarcodeError.h"
#include "engine/ZoBarcode.h"
#include "picture/GeneratePicture.h"
#include "picture/SaveImage.h"
#include "picture/TextFace.h"

namespace {

// Measures as the raster canvas does and records what is drawn.
class RecordingCanvas : public TCanvas {
public:
    std::string log;
    int minY = 1 << 30, maxY = -(1 << 30), upward = 0;
    int textTop = 1 << 30, textBottom = -(1 << 30), texts = 0;
    std::vector<TRect> cells;

    int TextWidth(const std::u16string& t) override { return glyphs.TextWidth(Font, t); }
    int TextHeight(const std::u16string& t) override { return glyphs.TextHeight(Font, t); }
    void TextOut(int x, int y, const std::u16string& t) override {
        log += "T" + std::to_string(x) + "," + std::to_string(y) + "," + ToUtf8(t) + "," +
               ToUtf8(Font.Name) + "," + std::to_string(Font.Size) + "," +
               std::to_string(Font.Color) + "," + std::to_string(Brush.Color) + ";";
        ++texts;
        cells.push_back({x, y, x + TextWidth(t), y + TextHeight(t)});
        if (t.empty()) return;
        textTop = std::min(textTop, y);
        textBottom = std::max(textBottom, y + TextHeight(t) - 1);
    }
    void Polygon(const std::vector<TPoint>& p) override {
        log += "P";
        for (const TPoint& q : p)
            log += std::to_string(q.X) + "," + std::to_string(q.Y) + ",";
        log += std::to_string(Pen.Color) + "," + std::to_string(Pen.Width) + "," +
               std::to_string(Brush.Color) + ";";
        if (p[1].Y < p[0].Y) ++upward;
        minY = std::min({minY, p[0].Y, p[1].Y});
        maxY = std::max({maxY, p[0].Y, p[1].Y});
    }

private:
    TFaceGlyphs glyphs;
};

// SHA-1 of the bytes, as the tables of earlier builds (drawn through Qt) have
// it, so that tables of both can be compared.
std::string Sha1(const std::string& bytes) {
    std::uint32_t h[5] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
    std::string m = bytes;
    const std::uint64_t bits = std::uint64_t(bytes.size()) * 8;
    m += char(0x80);
    while (m.size() % 64 != 56)
        m += char(0);
    for (int i = 7; i >= 0; --i)
        m += char(bits >> (8 * i));
    const auto rotl = [](std::uint32_t v, int n) { return (v << n) | (v >> (32 - n)); };
    for (std::size_t at = 0; at < m.size(); at += 64) {
        std::uint32_t w[80];
        for (int i = 0; i < 16; ++i)
            w[i] = std::uint32_t(std::uint8_t(m[at + 4 * i])) << 24 |
                   std::uint32_t(std::uint8_t(m[at + 4 * i + 1])) << 16 |
                   std::uint32_t(std::uint8_t(m[at + 4 * i + 2])) << 8 |
                   std::uint32_t(std::uint8_t(m[at + 4 * i + 3]));
        for (int i = 16; i < 80; ++i)
            w[i] = rotl(w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16], 1);
        std::uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4];
        for (int i = 0; i < 80; ++i) {
            const std::uint32_t f = i < 20   ? (b & c) | (~b & d)
                                    : i < 40 ? b ^ c ^ d
                                    : i < 60 ? (b & c) | (b & d) | (c & d)
                                             : b ^ c ^ d;
            const std::uint32_t k = i < 20   ? 0x5A827999
                                    : i < 40 ? 0x6ED9EBA1
                                    : i < 60 ? 0x8F1BBCDC
                                             : 0xCA62C1D6;
            const std::uint32_t t = rotl(a, 5) + f + e + k + w[i];
            e = d, d = c, c = rotl(b, 30), b = a, a = t;
        }
        h[0] += a, h[1] += b, h[2] += c, h[3] += d, h[4] += e;
    }
    char text[41];
    for (int i = 0; i < 5; ++i)
        std::snprintf(text + 8 * i, 9, "%08x", h[i]);
    return text;
}

std::string Masked(TBitmap picture, const std::vector<TRect>& cells) {
    for (const TRect& c : cells)
        for (int y = std::max(c.Top, 0); y < std::min(c.Bottom, picture.Height()); ++y)
            for (int x = std::max(c.Left, 0); x < std::min(c.Right, picture.Width()); ++x)
                picture.At(x, y) = PixelWhite;
    std::uint64_t h = 0xCBF29CE484222325ull;
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x)
            h = (h ^ (picture.At(x, y) | PixelBlack)) * 0x100000001B3ull;
    char text[32];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
    return text;
}

std::u16string Utf16(const std::string& ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

// The steps of GenerateBarcodePicture's drawing, on a recording canvas.
std::string Recorded(const std::string& code, int type, const TGenerateOptions& o,
                     std::vector<TRect>& cells) {
    RecordingCanvas rec;
    TZoBarcode bc;
    bc.SetBarCode(Utf16(code));
    bc.SetBarCodeType(static_cast<TBarcodeType>(type));
    bc.SetUseCheckSum(o.UseCheckSum);
    bc.SetShowText(o.ShowText);
    bc.SetShowTextFont(GenerateTextFont());
    bc.SetAutoFontSize(true);
    bc.SetShowTextPosition(stpBottomCenter);
    bc.SetModul(2);
    const int b = o.Border, top = b, bottom = o.Height - 2 * b;
    bc.SetTop(top);
    bc.SetLeft(b);
    bc.SetHeight(bottom - top);
    bc.SetWidth(o.Width - 3 * b);
    bc.DrawBarcode(rec);
    cells = rec.cells;
    const int box = bottom - top;
    const int bars = box - (rec.texts > 0 ? bc.ShowTextH1 : 0); // a text left out leaves all
    const bool broken = rec.upward > 0 || rec.minY < top || rec.maxY >= bottom ||
                        (o.ShowText && rec.textTop <= rec.textBottom &&
                         (rec.textTop < top || rec.textBottom >= bottom));
    const char* cls = broken ? "BROKEN" : 2 * bars < box ? "UNDERHALF" : "ok";
    return Sha1(rec.log) + "\t" + cls + " H=" + std::to_string(box) + " h=" + std::to_string(bars) +
           " H1=" + std::to_string(bc.ShowTextH1) +
           " size=" + std::to_string(bc.ShowTextFont().Size);
}

} // namespace

int main(int argc, char** argv) {
    std::set<std::string> only;
    if (argc > 1) {
        std::ifstream in(argv[1]);
        for (std::string line; std::getline(in, line);)
            only.insert(line);
    }
    const std::vector<std::string> codes = {"A",
                                            "1",
                                            "12",
                                            "123",
                                            "1234",
                                            "12345",
                                            "1234567",
                                            "12345678901",
                                            "590123412345",
                                            "5901234123457",
                                            "425261",
                                            "AB",
                                            "A1B",
                                            "A123B",
                                            "CODE39",
                                            "Hello",
                                            "(01)12345678901231",
                                            "12345678901234567890",
                                            "ABCDEFGHIJKLMNOP",
                                            " 12 ",
                                            "TEST93"};
    const std::vector<std::pair<int, int>> boxes = {{300, 200}, {300, 100}, {300, 60},  {150, 60},
                                                    {100, 50},  {80, 80},   {400, 120}, {600, 400},
                                                    {500, 70},  {50, 40},   {31, 31},   {120, 300}};
    for (int type = 0; type < bcTypeUndefined; ++type)
        for (const std::string& code : codes)
            for (const auto& [width, height] : boxes)
                for (bool text : {false, true})
                    for (int border : {10, 0, 3})
                        for (bool check : {false, true}) {
                            if (!check && BarcodeTypeTable[type].Check != ccOptional) continue;
                            const std::string key =
                                std::to_string(type) + "|" + code + "|" + std::to_string(width) +
                                "x" + std::to_string(height) + "|t" + std::to_string(text) + "|b" +
                                std::to_string(border) + "|c" + std::to_string(check);
                            if (!only.empty() && !only.count(key)) continue;
                            TGenerateOptions o;
                            o.Width = width;
                            o.Height = height;
                            o.ShowText = text;
                            o.Border = border;
                            o.UseCheckSum = check;
                            std::string line;
                            try {
                                const TBitmap picture =
                                    GenerateBarcodePicture(Utf16(code), type, o);
                                TBytes png;
                                EncodePng(picture, DefaultDpi, png, nullptr);
                                std::vector<TRect> cells;
                                const std::string drawing = Recorded(code, type, o, cells);
                                line =
                                    Sha1(png) + " " + drawing + " masked=" + Masked(picture, cells);
                            } catch (const std::exception& e) {
                                line = std::string("refused\t") + e.what();
                            }
                            std::printf("%s\t%s\n", key.c_str(), line.c_str());
                            std::fflush(stdout);
                        }
}
