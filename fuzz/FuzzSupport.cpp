#include "fuzz/FuzzSupport.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "complib/BemoCompGlobalCfg.h"
#include "engine/ZoBarcode.h"
#include "platform/WindowFont.h"

std::vector<TFuzzTarget>& FuzzTargets() {
    static std::vector<TFuzzTarget> targets;
    return targets;
}

const TFuzzTarget* FindFuzzTarget(std::string_view Name) {
    for (const TFuzzTarget& t : FuzzTargets())
        if (Name == t.Name) return &t;
    return nullptr;
}

TFuzzRegistration::TFuzzRegistration(const char* Name, TFuzzFunction Run) {
    FuzzTargets().push_back({Name, Run});
}

void FuzzSetUp() {
    static bool done = false;
    if (done) return;
    done = true;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt must not see the fuzzer's own arguments.
    static int argc = 1;
    static char name[] = "barcodegen-fuzz";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    (void)app;
    RegisterWindowFont();
    InitBemoCompConfig();
}

void FuzzFail(const char* File, int Line, const std::string& What) {
    std::fprintf(stderr, "%s:%d: invariant broken: %s\n", File, Line, What.c_str());
    std::fflush(stderr);
    std::abort();
}

std::uint64_t TFuzzInput::Bytes8() {
    std::uint64_t v = 0;
    for (int i = 0; i < 8; ++i)
        v = v << 8 | Byte();
    return v;
}

std::string TFuzzInput::Until(char Separator) {
    const std::size_t from = FPos;
    while (FPos < FSize && FData[FPos] != static_cast<std::uint8_t>(Separator))
        ++FPos;
    std::string s(reinterpret_cast<const char*>(FData + from), FPos - from);
    if (FPos < FSize) ++FPos;
    return s;
}

std::string TFuzzInput::Rest() {
    std::string s(reinterpret_cast<const char*>(FData + FPos), FSize - FPos);
    FPos = FSize;
    return s;
}

std::string Shown(std::u16string_view Text, std::size_t Max) {
    std::string out;
    for (std::size_t i = 0; i < Text.size() && i < Max; ++i) {
        const char16_t c = Text[i];
        char buf[16];
        if (c == u'\\')
            out += "\\\\";
        else if (c >= 32 && c < 127)
            out += static_cast<char>(c);
        else {
            std::snprintf(buf, sizeof buf, c < 256 ? "\\x%02X" : "\\u%04X", unsigned(c));
            out += buf;
        }
    }
    if (Text.size() > Max) out += "...";
    return out;
}

std::string Shown(std::string_view Utf8, std::size_t Max) {
    return Shown(FromUtf8(Utf8), Max);
}
