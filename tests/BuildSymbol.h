// Runs one pattern build through the public face of TZoBarcode and keeps
// everything a test wants to look at, whether the build succeeded or not.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "engine/ZoBarcode.h"

struct TBuildResult {
    bool ok = false;
    std::string pattern; // UTF-8, empty on failure
    std::string text;    // BCText after the build, UTF-8
    std::string error;   // the EBarcodeError message on failure
};

// code is UTF-8; type may be any 8-bit value.
inline TBuildResult BuildSymbol(int type, std::string_view code, bool useCheckSum = true) {
    TZoBarcode bc;
    bc.SetBarCodeType(static_cast<TBarcodeType>(type));
    bc.SetBarCode(FromUtf8(code));
    bc.SetUseCheckSum(useCheckSum);
    TBuildResult r;
    try {
        r.pattern = ToUtf8(bc.BuildPattern());
        r.ok = true;
    } catch (const EBarcodeError& e) {
        r.error = e.what();
    }
    r.text = ToUtf8(bc.BCText);
    return r;
}

inline std::string Utf8(const char16_t* s) {
    return ToUtf8(s);
}

// A code in a message or a test's name: control characters as <XX>, so that
// two codes never look alike.
inline std::string Printable(std::string_view s) {
    std::string out;
    for (const unsigned char c : s) {
        if (c < 32 || c == 127) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "<%02X>", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}
