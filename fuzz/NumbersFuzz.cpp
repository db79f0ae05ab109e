// The number formats (FormatFloat, FloatToStrGeneral, StrToFloat) and the
// numeric field's text check (ValidateText). What must hold: the general form
// reads back as the number to 15 digits, and writing it again gives the same
// text; a plain picture shows the number to its places; the field accepts the
// text it wrote itself, and its check leaves a text it refuses as it was.
#include "fuzz/FuzzSupport.h"

#include <QRegularExpression>

#include <cmath>
#include <cstring>
#include <limits>

#include "complib/bFloatFormat.h"
#include "complib/bImprovedComps.h"
#include "complib/btool.h"

namespace {

std::string Utf8(const QString& s) {
    return s.toStdString();
}

double Interesting(int i) {
    static const double values[] = {0,      1,     -1,     30,     0.5,   0.1,       2.5,   -7,
                                    1e-300, 1e300, 1e15,   3e-5,   0.3,   1e-10,     1e10,  -0.25,
                                    100,    1e308, -1e308, 5e-324, 0.001, 12345.678, 9.995, -2};
    return values[i % std::size(values)];
}

// The general form reads back as the number to 15 significant digits, and
// that number's general form is the same text.
void CheckGeneral(double d, QChar sep) {
    const QString g = FloatToStrGeneral(d, sep);
    if (!std::isfinite(d)) {
        FUZZ_CHECK(g == u"NAN" || g == u"INF" || g == u"-INF", Utf8(g));
        return;
    }
    const std::optional<double> v = StrToFloat(g, sep);
    FUZZ_CHECK(v.has_value(), Utf8(g) + " does not read back");
    FUZZ_CHECK(FloatToStrGeneral(*v, sep) == g,
               Utf8(g) + " reads back as " + Utf8(FloatToStrGeneral(*v, sep)));
    FUZZ_CHECK(std::fabs(*v - d) <=
                   std::fabs(d) * 1e-14 + std::numeric_limits<double>::denorm_min(),
               Utf8(g));
}

// A picture of digit placeholders, a decimal point and grouping only.
bool PlainPicture(const QString& format) {
    static const QRegularExpression plain(QStringLiteral("^[0#,]*(\\.[0#,]*)?$"));
    return plain.match(format).hasMatch() && format.contains(QRegularExpression("[0#]"));
}

int Places(const QString& format) {
    const qsizetype point = format.indexOf(u'.');
    return point < 0
               ? 0
               : static_cast<int>(format.mid(point).count(u'0') + format.mid(point).count(u'#'));
}

void CheckFormat(const QString& format, double d, QChar sep, QChar thousands) {
    const QString out = FormatFloat(format, d, sep, thousands);
    FUZZ_CHECK(out.size() <= 2 * format.size() + 800, std::to_string(out.size()) + " characters");
    if (!std::isfinite(d) || !PlainPicture(format) || out.isEmpty()) return;
    QString digits = out;
    digits.remove(thousands);
    const std::optional<double> v = StrToFloat(digits, sep);
    FUZZ_CHECK(v.has_value(), Utf8(format) + " wrote " + Utf8(out));
    const double unit = std::pow(10.0, -Places(format));
    FUZZ_CHECK(std::fabs(*v - d) <= unit / 2 * (1 + 1e-9) + std::fabs(d) * 1e-14,
               Utf8(format) + " wrote " + Utf8(out) + " for " + Utf8(FloatToStrGeneral(d, sep)));
}

} // namespace

FUZZ_TARGET(numbers) {
    TFuzzInput in(Data, Size);
    const unsigned flags = in.Byte();
    const QChar sep = in.Bit(flags, 0) ? u',' : u'.';
    const std::uint64_t bits = in.Bytes8();
    double d;
    std::memcpy(&d, &bits, sizeof d);
    const std::uint8_t minPick = in.Byte();
    const std::uint8_t maxPick = in.Byte();
    const std::uint8_t stepPick = in.Byte();
    const QString format = QString::fromUtf8(in.Until('\n'));
    const QString text = QString::fromUtf8(in.Rest());

    SetDecimalSep(sep);
    const QChar thousands = ThousandSepFor(sep);
    CheckGeneral(d, sep);
    CheckFormat(format, d, sep, thousands);
    CheckFormat(format, Interesting(flags >> 3), sep, thousands);
    if (const std::optional<double> v = StrToFloat(text, sep)) {
        FUZZ_CHECK(std::isfinite(*v), Utf8(text));
        CheckGeneral(*v, sep);
        CheckFormat(format, *v, sep, thousands);
    }

    TbEditNum field;
    field.SetStyle(in.Bit(flags, 1) ? enFloat : enInteger);
    const bool range = in.Bit(flags, 2);
    const bool stepOnly = in.Bit(flags, 3);
    if (range) {
        field.SetMinValue(Interesting(minPick));
        field.SetMaxValue(Interesting(maxPick));
    }
    field.SetStepValue(Interesting(stepPick));
    field.SetStepOnly(stepOnly);
    field.SetFormat(in.Bit(flags, 4) ? QString() : format);
    field.setText(text);
    if (!field.ValidateText()) {
        FUZZ_CHECK(field.text() == text, "a refused text was changed: " + Utf8(text));
        FUZZ_CHECK(!text.isEmpty() && !StrToFloat(text, sep), "refused: " + Utf8(text));
        FUZZ_CHECK(field.GetValue() == 0 && field.GetAsInteger() == 0, Utf8(text));
        return;
    }
    const QString shown = field.text();
    FUZZ_CHECK(field.ValidateText(), "the field refuses its own text " + Utf8(shown) + " (format " +
                                         Utf8(field.Format()) + ")");
    FUZZ_CHECK(field.text() == shown, "checked again, " + Utf8(shown) + " became " +
                                          Utf8(field.text()) + " (format " + Utf8(field.Format()) +
                                          ")");
    const double v = field.GetValue();
    const bool plain = field.Format().isEmpty() || PlainPicture(field.Format());
    const bool inForce = field.MinValue() != 0 || field.MaxValue() != 0;
    if (inForce && !stepOnly && plain && field.MinValue() <= field.MaxValue() && !shown.isEmpty()) {
        const double tolerance =
            std::max(std::fabs(field.MinValue()), std::fabs(field.MaxValue())) * 1e-14 +
            (field.Format().isEmpty() ? 0.0 : std::pow(10.0, -Places(field.Format())));
        FUZZ_CHECK(v >= field.MinValue() - tolerance && v <= field.MaxValue() + tolerance,
                   Utf8(shown) + " outside " + std::to_string(field.MinValue()) + " .. " +
                       std::to_string(field.MaxValue()));
    }
    field.GetAsInteger();
}
