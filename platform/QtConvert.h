// Conversions between the engine's plain types and Qt's, in one place.
#pragma once

#include <QColor>
#include <QFile>
#include <QFont>
#include <QString>
#include <string>

#include "engine/Canvas.h"

inline QString ToQString(const std::u16string& s) {
    return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size()));
}

inline std::u16string ToU16(const QString& s) {
    return std::u16string(reinterpret_cast<const char16_t*>(s.utf16()),
                          static_cast<std::size_t>(s.size()));
}

// A file name as the system takes it (its bytes, UTF-8 here), for the file
// functions of picture/FileIO.h.
inline std::string FileNameBytes(const QString& name) {
    return QFile::encodeName(name).toStdString();
}

// 0x00BBGGRR
inline QColor ToQColor(TColor c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

inline TColor ToTColor(const QColor& c) {
    return static_cast<TColor>(c.red()) | (static_cast<TColor>(c.green()) << 8) |
           (static_cast<TColor>(c.blue()) << 16);
}

QFont ToQFont(const TFont& f);
