// Text drawing with the flags of the framework's DrawText, over QPainter and
// QFontMetrics. Every text of the labels is measured and painted here, so a
// measurement always fits what is painted.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>

#include "engine/Canvas.h"

class QPaintDevice;
class QPainter;

enum TDrawTextFlag : unsigned {
    DT_LEFT = 0x0,
    DT_CENTER = 0x1,
    DT_RIGHT = 0x2,
    DT_WORDBREAK = 0x10,
    DT_EXPANDTABS = 0x40,
    DT_CALCRECT = 0x400,
    DT_NOPREFIX = 0x800,
    DT_PATH_ELLIPSIS = 0x4000,
    DT_END_ELLIPSIS = 0x8000,
    DT_RTLREADING = 0x20000,
    DT_WORD_ELLIPSIS = 0x40000,
};

// Measures (DT_CALCRECT: r's right and bottom become the text's extent, its
// width used for the breaks with DT_WORDBREAK) or paints Text in r, clipped to
// it, aligned to its top. Lines end at CR, LF or CR LF and are the font's
// height apart; DT_WORDBREAK breaks them at blanks. Without DT_NOPREFIX an
// "&" underlines the next character and "&&" shows one "&". The ellipsis
// flags are not supported and ignored. Device gives the resolution the text
// is measured for; painting needs Painter, which draws in Color. Returns the
// height of the text.
int DrawText(const QString& Text, TRect& r, unsigned Flags, const QFont& Font,
             const QPaintDevice* Device, QPainter* Painter = nullptr, const QColor& Color = {});

// The width of one line of text as it is drawn without flags ("&" is a
// character, a tab a glyph), and the height of a line.
int TextWidth(const QString& Text, const QFont& Font, const QPaintDevice* Device);
int TextHeight(const QFont& Font, const QPaintDevice* Device);

// Adds Points to the font's size (negative to shrink it), between 1 and 400
// points so that no mark-up can ask for an empty or a gigantic font. A font
// sized in pixels is converted to points at Device's resolution first.
void AddFontPoints(QFont& Font, int Points, const QPaintDevice* Device = nullptr);
