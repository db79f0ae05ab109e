// What the fault tests write: two versions of a settings file and of a
// picture, large enough that a write takes a while and can be cut short.
// The tests and the writer process (fault_writer) make them alike.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

#include "picture/Bitmap.h"

// A settings text as the store writes it, so it is written byte for byte.
inline QString FaultSettingsText(int version, int sections) {
    QString text;
    for (int s = 0; s < sections; ++s) {
        text += QStringLiteral("[Section%1]\r\n").arg(s);
        for (int k = 0; k < 20; ++k)
            text += QStringLiteral("Key%1=version %2, value %3 of section %4\r\n")
                        .arg(k)
                        .arg(version)
                        .arg(k)
                        .arg(s);
        text += QStringLiteral("\r\n");
    }
    return text;
}

// A picture of noise, which PNG cannot make small.
inline TBitmap FaultPicture(int version, int size) {
    TBitmap image(size, size);
    std::uint32_t x = 2463534242u + static_cast<std::uint32_t>(version);
    for (int y = 0; y < size; ++y) {
        TPixel* line = image.Row(y);
        for (int i = 0; i < size; ++i) {
            x ^= x << 13;
            x ^= x >> 17;
            x ^= x << 5;
            line[i] = 0xFF000000u | (x & 0xFFFFFFu);
        }
    }
    return image;
}
