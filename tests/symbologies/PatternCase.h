// Worked examples of the encoders: a code, the check-digit settings it holds
// for, the text printed under the symbol and the whole bar pattern. Each
// suite instantiates PatternTest with its own table, named after its
// encoder; the header holds the test, so one source of a test program
// includes it.
#pragma once

#include <gtest/gtest.h>

#include <ostream>

#include "engine/ZoBarCode_interface.h"
#include "tests/BuildSymbol.h"

// Either: the type has no choice, and the option changes nothing.
enum class Checks { On, Off, Either };

struct PatternCase {
    TBarcodeType type;
    const char* text;
    Checks checks;
    const char* printed; // BCText afterwards
    const char* pattern;
};

inline void PrintTo(const PatternCase& c, std::ostream* os) {
    *os << ToUtf8(BarcodeTypeName(c.type)) << " \"" << Printable(c.text) << "\""
        << (c.checks == Checks::On    ? " with check"
            : c.checks == Checks::Off ? " without check"
                                      : "");
}

class PatternTest : public testing::TestWithParam<PatternCase> {};

// Builds the example with every setting it holds for.
TEST_P(PatternTest, EncodesTheExample) {
    const PatternCase& c = GetParam();
    for (const bool check : {true, false}) {
        if (c.checks != Checks::Either && (c.checks == Checks::On) != check) continue;
        SCOPED_TRACE(check ? "with the check digit" : "without the check digit");
        const TBuildResult r = BuildSymbol(c.type, c.text, check);
        ASSERT_TRUE(r.ok) << r.error;
        EXPECT_EQ(r.pattern, c.pattern);
        EXPECT_EQ(r.text, c.printed);
    }
}
