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
// Text of 50 points and more is rasterised a little differently after other
// sizes were drawn in the same process, so a PNG may differ between two runs
// of different tables while the drawing hash stays the same; drawn alone
// (argument KEYFILE: one key a line, only those are drawn) such a case gives
// the same PNG. Not built by default: ninja picture_table.
#include <QBuffer>
#include <QCryptographicHash>
#include <QGuiApplication>
#include <QImage>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "engine/ZoBarcode.h"
#include "picture/GeneratePicture.h"
#include "picture/SaveImage.h"
#include "platform/QtCanvas.h"
#include "platform/QtConvert.h"

namespace {

// Measures with the real canvas and records what is drawn.
class RecordingCanvas : public TCanvas {
public:
    explicit RecordingCanvas(TQtCanvas& c) : real(c) {}
    std::string log;
    int minY = 1 << 30, maxY = -(1 << 30), upward = 0;
    int textTop = 1 << 30, textBottom = -(1 << 30), texts = 0;

    int TextWidth(const std::u16string& t) override {
        real.Font = Font;
        return real.TextWidth(t);
    }
    int TextHeight(const std::u16string& t) override {
        real.Font = Font;
        return real.TextHeight(t);
    }
    void TextOut(int x, int y, const std::u16string& t) override {
        log += "T" + std::to_string(x) + "," + std::to_string(y) + "," + ToUtf8(t) + "," +
               ToUtf8(Font.Name) + "," + std::to_string(Font.Size) + "," +
               std::to_string(Font.Color) + "," + std::to_string(Brush.Color) + ";";
        ++texts;
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
    TQtCanvas& real;
};

std::string Sha1(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex().toStdString();
}

// The steps of GenerateBarcodePicture's drawing, on a recording canvas.
std::string Recorded(const std::string& code, int type, const TGenerateOptions& o) {
    QImage scratch(1, 1, QImage::Format_RGB32);
    TQtCanvas qt(scratch);
    RecordingCanvas rec(qt);
    TZoBarcode bc;
    bc.SetBarCode(ToU16(QString::fromStdString(code)));
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
    const int box = bottom - top;
    const int bars = box - (rec.texts > 0 ? bc.ShowTextH1 : 0); // a text left out leaves all
    const bool broken = rec.upward > 0 || rec.minY < top || rec.maxY >= bottom ||
                        (o.ShowText && rec.textTop <= rec.textBottom &&
                         (rec.textTop < top || rec.textBottom >= bottom));
    const char* cls = broken ? "BROKEN" : 2 * bars < box ? "UNDERHALF" : "ok";
    return Sha1(QByteArray::fromStdString(rec.log)) + "\t" + cls + " H=" + std::to_string(box) +
           " h=" + std::to_string(bars) + " H1=" + std::to_string(bc.ShowTextH1) +
           " size=" + std::to_string(bc.ShowTextFont().Size);
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
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
                                const QImage picture =
                                    GenerateBarcodePicture(QString::fromStdString(code), type, o);
                                QByteArray png;
                                QBuffer buffer(&png);
                                buffer.open(QIODevice::WriteOnly);
                                QString error;
                                WriteImage(picture, buffer, "PNG", DefaultDpi, &error);
                                line = Sha1(png) + " " + Recorded(code, type, o);
                            } catch (const std::exception& e) {
                                line = std::string("refused\t") + e.what();
                            }
                            std::printf("%s\t%s\n", key.c_str(), line.c_str());
                            std::fflush(stdout);
                        }
}
