#include "complib/bFloatFormat.h"

#include <QLocale>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

// Expected texts are written with "." as decimal and "," as thousands
// separator; the comma run swaps the two.
QString Swapped(const QString& s) {
    QString r = s;
    for (QChar& c : r)
        c = c == u'.' ? QChar(u',') : c == u',' ? QChar(u'.') : c;
    return r;
}

struct FormatCase {
    const char16_t* Format;
    double Value;
    const char16_t* Expected;
};

const FormatCase formatCases[] = {
    // general form
    {u"", 10, u"10"},
    {u"", 2.5, u"2.5"},
    {u"", -2.5, u"-2.5"},
    {u"", 0, u"0"},
    {u"", -0.0, u"0"},
    {u"", 1.0 / 3, u"0.333333333333333"},
    {u"", 0.1 + 0.2, u"0.3"},
    {u"", 1e14, u"100000000000000"},
    {u"", 1e15, u"1E15"},
    {u"", 123456789012345678.0, u"1.23456789012346E17"},
    {u"", 0.0001, u"0.0001"},
    {u"", 0.00001, u"1E-5"},
    {u"", -1.5e-7, u"-1.5E-7"},
    // placeholders and rounding (half away from zero)
    {u"0", 2.5, u"3"},
    {u"0", -2.5, u"-3"},
    {u"0", 9.5, u"10"},
    {u"0", -0.4, u"0"},
    {u"0", 12345, u"12345"},
    {u"00000", 42, u"00042"},
    {u"#", 0, u""},
    {u"#0", 0, u"0"},
    {u"0.00", 1.005, u"1.01"},
    {u"0.00", 0.999, u"1.00"},
    {u"0.00", -0.001, u"0.00"},
    {u"0.00", 1e20, u"100000000000000000000.00"},
    {u"#.##", 2, u"2"},
    {u"#.##", 0.5, u".5"},
    {u"0.##", 0.5, u"0.5"},
    {u"0.0#", 1.2, u"1.2"},
    {u"0.0#", 1.234, u"1.23"},
    {u".00", 12.5, u"12.50"},
    // grouping
    {u"#,##0.00", 1234567.891, u"1,234,567.89"},
    {u"#,##0", 999.5, u"1,000"},
    {u"#,##0", -1234, u"-1,234"},
    {u"#,##0.00", 0, u"0.00"},
    {u"0,", 1234, u"1,234"},
    {u"# ### ##0.00", 1234567.891, u"1 234 567.89"},
    {u"# ### ##0.00", 1234, u"1 234.00"},
    {u"# ### ##0.00", 12.5, u"12.50"},
    // exponent
    {u"0.00E+00", 1234.5, u"1.23E+03"},
    {u"0.00E+00", 0.00012345, u"1.23E-04"},
    {u"0.00E-00", 1234.5, u"1.23E03"},
    {u"0.00e-0", 0.0012, u"1.20e-3"},
    {u"00.0E+0", 1234.5, u"12.3E+2"},
    {u"0.###E+0", 1000, u"1E+3"},
    {u"0.00E+00", 9.999, u"1.00E+01"},
    {u"0.00E+00", 0, u"0.00E+00"},
    {u"0.0E+0", -1234, u"-1.2E+3"},
    // sections
    {u"0.00;(0.00)", -1.5, u"(1.50)"},
    {u"0.00;(0.00)", 1.5, u"1.50"},
    {u"0.00;(0.00)", 0, u"0.00"},
    {u"0;(0);'zero'", 0, u"zero"},
    {u"0;(0);'zero'", -0.2, u"zero"}, // rounds to zero
    {u"0;;'zero'", -3, u"-3"},        // empty negative section: the first, with a sign
    {u";(0)", 5, u"5"},               // empty first section: general form
    {u"#;#;'z';'ignored'", 0, u"z"},
    // literals
    {u"'$'0.00", 5, u"$5.00"},
    {u"\"#\"0", 5, u"#5"},
    {u"0' kg'", 3, u"3 kg"},
    {u"#' kg'", 0, u" kg"},
    {u"'a;b'0", 1, u"a;b1"},
    {u"0'abc", 1, u"1abc"}, // unterminated quote runs to the end
    {u"x0", 7, u"x7"},
};

TEST(FormatFloat, DecimalPoint) {
    for (const auto& c : formatCases)
        EXPECT_EQ(FormatFloat(QString::fromUtf16(c.Format), c.Value, u'.', u','),
                  QString::fromUtf16(c.Expected))
            << QString::fromUtf16(c.Format).toStdString() << " / " << c.Value;
}

TEST(FormatFloat, DecimalComma) {
    for (const auto& c : formatCases)
        EXPECT_EQ(FormatFloat(QString::fromUtf16(c.Format), c.Value, u',', u'.'),
                  Swapped(QString::fromUtf16(c.Expected)))
            << QString::fromUtf16(c.Format).toStdString() << " / " << c.Value;
}

TEST(FormatFloat, QuotedSeparatorsStayAsWritten) {
    EXPECT_EQ(FormatFloat(u"'0.0,'0.0"_qs, 1.5, u',', u' '), u"0.0,1,5"_qs);
}

TEST(FormatFloat, NonFiniteValues) {
    EXPECT_EQ(FormatFloat(u"0.00"_qs, std::numeric_limits<double>::quiet_NaN(), u'.', u','),
              u"NAN"_qs);
    EXPECT_EQ(FormatFloat(u""_qs, std::numeric_limits<double>::infinity(), u'.', u','), u"INF"_qs);
    EXPECT_EQ(FormatFloat(u"#,##0"_qs, -std::numeric_limits<double>::infinity(), u'.', u','),
              u"-INF"_qs);
}

struct ParseCase {
    const char16_t* Text;
    std::optional<double> Expected;
};

const ParseCase parseCases[] = {
    {u"1.5", 1.5},
    {u" 2.5 ", 2.5},
    {u"+3", 3.0},
    {u"-0.5", -0.5},
    {u"1e2", 100.0},
    {u"1E-2", 0.01},
    {u"2.5e+1", 25.0},
    {u"1.", 1.0},
    {u".5", 0.5},
    {u"1e-400", 0.0},
    {u"1e", std::nullopt},
    {u"1e+", std::nullopt},
    {u"e2", std::nullopt},
    {u"", std::nullopt},
    {u"   ", std::nullopt},
    {u".", std::nullopt},
    {u"1.2.3", std::nullopt},
    {u"1,000", std::nullopt},
    {u"1 000", std::nullopt},
    {u"+-1", std::nullopt},
    {u"1e400", std::nullopt},
    {u"0x10", std::nullopt},
    {u"inf", std::nullopt},
    {u"١", std::nullopt},
};

TEST(StrToFloat, DecimalPoint) {
    for (const auto& c : parseCases)
        EXPECT_EQ(StrToFloat(QString::fromUtf16(c.Text), u'.'), c.Expected)
            << QString::fromUtf16(c.Text).toStdString();
}

TEST(StrToFloat, DecimalComma) {
    for (const auto& c : parseCases)
        EXPECT_EQ(StrToFloat(Swapped(QString::fromUtf16(c.Text)), u','), c.Expected)
            << Swapped(QString::fromUtf16(c.Text)).toStdString();
    // The point is no decimal separator then.
    EXPECT_EQ(StrToFloat(u"1.5"_qs, u','), std::nullopt);
}

TEST(FloatText, GeneralFormReadsBack) {
    for (const QChar sep : {QChar(u'.'), QChar(u',')})
        for (const double v : {0.1, -2.75, 1e-7, 6.02214076e23, 123456.789, 1.0 / 7,
                               -std::numeric_limits<double>::max()})
            EXPECT_NEAR(StrToFloat(FloatToStrGeneral(v, sep), sep).value_or(NAN), v,
                        std::fabs(v) * 1e-14)
                << v << " with " << QString(sep).toStdString();
}

TEST(ThousandSepFor, NeverTheDecimalSeparator) {
    const QChar group = QLocale().groupSeparator().front();
    EXPECT_NE(ThousandSepFor(group), group);
    EXPECT_EQ(ThousandSepFor(u'.'), QChar(u'.') == group ? QChar(u',') : group);
}

} // namespace
