#include "platform/QtConvert.h"

QFont ToQFont(const TFont& f) {
    QFont q(ToQString(f.Name));
    // A size of 0 or less has no meaning for Qt; the smallest real size stands in.
    q.setPointSize(f.Size > 0 ? f.Size : 1);
    const auto has = [&](TFontStyle s) { return (f.Style & static_cast<std::uint8_t>(s)) != 0; };
    q.setBold(has(TFontStyle::fsBold));
    q.setItalic(has(TFontStyle::fsItalic));
    q.setUnderline(has(TFontStyle::fsUnderline));
    q.setStrikeOut(has(TFontStyle::fsStrikeOut));
    // Pictures must be the same on every machine: no hinting differences from the screen.
    q.setHintingPreference(QFont::PreferNoHinting);
    return q;
}
