#include "complib/bFloatFormat.h"

#include "complib/bstring.h"

#include <QLocale>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace {

// A non-negative number as 0.Digits × 10^Point: no leading or trailing zeros
// in Digits, which is empty for zero.
struct TDecimal {
    std::string Digits;
    int Point = 0;
    bool IsZero() const { return Digits.empty(); }
};

void StripTrailingZeros(TDecimal& d) {
    while (!d.Digits.empty() && d.Digits.back() == '0')
        d.Digits.pop_back();
}

// Fifteen significant digits is what a double holds reliably; rounding to
// fewer places starts from these, so 1.005 is taken as written and rounds up.
TDecimal ToDecimal(double v) {
    TDecimal d;
    v = std::fabs(v);
    if (v == 0) return d;
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, 14);
    const std::string text(buf, res.ptr);
    const auto e = text.find('e');
    d.Digits = text.substr(0, 1) + text.substr(2, e - 2);
    d.Point = std::atoi(text.c_str() + e + 1) + 1;
    // The largest doubles round up past the largest double ("1.79769313486232E308"),
    // which no longer reads back as a number: take the 15 digits below instead.
    if (std::isinf(std::strtod(text.c_str(), nullptr))) {
        int i = static_cast<int>(d.Digits.size()) - 1;
        while (d.Digits[i] == '0')
            d.Digits[i--] = '9';
        --d.Digits[i];
    }
    StripTrailingZeros(d);
    return d;
}

// Keeps the first `keep` digits, rounding half away from zero.
void RoundDigits(TDecimal& d, int keep) {
    if (keep >= static_cast<int>(d.Digits.size())) return;
    if (keep < 0) {
        d = {};
        return;
    }
    const bool up = d.Digits[keep] >= '5';
    d.Digits.resize(keep);
    if (up) {
        int i = keep - 1;
        while (i >= 0 && d.Digits[i] == '9')
            d.Digits[i--] = '0';
        if (i >= 0) {
            ++d.Digits[i];
        } else {
            d.Digits.insert(d.Digits.begin(), '1');
            ++d.Point;
        }
    }
    StripTrailingZeros(d);
}

char DigitAt(const TDecimal& d, int index) {
    return index >= 0 && index < static_cast<int>(d.Digits.size()) ? d.Digits[index] : '0';
}

// ---- the picture of one section --------------------------------------------------

struct TToken {
    enum Kind { IntDigit, FracDigit, Point, Literal, Exponent } Kind;
    QString Text;  // literals
    QChar ExpChar; // exponent: E or e
    bool ExpPlus = false;
    int ExpDigits = 0;
};

struct TPicture {
    std::vector<TToken> Tokens;
    int IntCount = 0;
    int ForcedInt = 0; // integer digits that are always written
    int FracCount = 0;
    int ForcedFrac = 0; // fraction digits that are always written
    bool Grouping = false;
    bool Scientific = false;
};

// Splits at the semicolons outside quotes; only the first three sections count.
std::vector<QString> SplitSections(const QString& format) {
    std::vector<QString> sections(1);
    QChar quote;
    for (QChar c : format) {
        if (!quote.isNull()) {
            if (c == quote) quote = QChar();
        } else if (c == u'\'' || c == u'"') {
            quote = c;
        } else if (c == u';') {
            if (sections.size() == 3) break;
            sections.emplace_back();
            continue;
        }
        sections.back() += c;
    }
    return sections;
}

bool IsExponentAt(const QString& s, qsizetype i) {
    return (s[i] == u'E' || s[i] == u'e') && i + 1 < s.size() &&
           (s[i + 1] == u'+' || s[i + 1] == u'-');
}

// The exponent token that starts at i ("E+00"); i ends on its last character.
TToken ExponentAt(const QString& s, qsizetype& i) {
    TToken t{TToken::Exponent, {}, s[i], s[i + 1] == u'+', 0};
    i += 2;
    while (i < s.size() && s[i] == u'0') {
        ++t.ExpDigits;
        ++i;
    }
    --i;
    return t;
}

TPicture ParsePicture(const QString& s) {
    TPicture pic;
    bool afterPoint = false;
    bool afterExponent = false;
    int firstIntZero = -1;
    auto literal = [&](QString text) {
        if (!pic.Tokens.empty() && pic.Tokens.back().Kind == TToken::Literal)
            pic.Tokens.back().Text += text;
        else
            pic.Tokens.push_back({TToken::Literal, std::move(text), {}, false, 0});
    };
    const qsizetype n = s.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = s[i];
        if (c == u'\'' || c == u'"') {
            const qsizetype close = s.indexOf(c, i + 1);
            const qsizetype end = close < 0 ? n : close;
            literal(s.mid(i + 1, end - i - 1));
            i = end;
            // NOLINTNEXTLINE(bugprone-branch-clone): after the exponent "0#.," are text too
        } else if (afterExponent) {
            literal(c);
        } else if (c == u'0' || c == u'#') {
            const bool zero = c == u'0';
            if (afterPoint) {
                pic.Tokens.push_back({TToken::FracDigit, {}, {}, false, 0});
                ++pic.FracCount;
                if (zero) pic.ForcedFrac = pic.FracCount;
            } else {
                pic.Tokens.push_back({TToken::IntDigit, {}, {}, false, 0});
                if (zero && firstIntZero < 0) firstIntZero = pic.IntCount;
                ++pic.IntCount;
            }
        } else if (c == u'.') {
            if (!afterPoint) pic.Tokens.push_back({TToken::Point, {}, {}, false, 0});
            afterPoint = true;
        } else if (c == u',') {
            pic.Grouping = true;
        } else if (IsExponentAt(s, i)) {
            pic.Tokens.push_back(ExponentAt(s, i));
            pic.Scientific = true;
            afterExponent = true;
        } else {
            literal(c);
        }
    }
    pic.ForcedInt = firstIntZero < 0 ? 0 : pic.IntCount - firstIntZero;
    return pic;
}

// The digits a picture will show for v, rounded to its places. Zero afterwards
// means the zero section applies.
TDecimal RoundFor(const TPicture& pic, double v) {
    TDecimal d = ToDecimal(v);
    if (pic.Scientific)
        RoundDigits(d, std::max(1, pic.IntCount + pic.FracCount));
    else
        RoundDigits(d, d.Point + pic.FracCount);
    return d;
}

// The digits the placeholders of a picture receive.
struct TPlaced {
    std::string Int;
    std::string Frac; // without the trailing zeros the picture does not force
    int Exponent = 0;
};

TPlaced Place(const TPicture& pic, const TDecimal& d) {
    TPlaced p;
    if (pic.Scientific) {
        if (!d.IsZero()) {
            p.Exponent = d.Point - pic.IntCount;
            for (int i = 0; i < pic.IntCount; ++i)
                p.Int += DigitAt(d, i);
        } else {
            p.Int.assign(pic.ForcedInt, '0');
        }
        for (int i = 0; i < pic.FracCount; ++i)
            p.Frac += DigitAt(d, pic.IntCount + i);
    } else {
        for (int i = 0; i < d.Point; ++i)
            p.Int += DigitAt(d, i);
        if (static_cast<int>(p.Int.size()) < pic.ForcedInt)
            p.Int.insert(0, pic.ForcedInt - p.Int.size(), '0');
        for (int i = 0; i < pic.FracCount; ++i)
            p.Frac += DigitAt(d, d.Point + i);
    }
    while (static_cast<int>(p.Frac.size()) > pic.ForcedFrac && p.Frac.back() == '0')
        p.Frac.pop_back();
    return p;
}

// "E+05": the exponent with its sign and at least the digits the token asks for.
QString ExponentText(const TToken& t, int exponent) {
    QString out(t.ExpChar);
    if (exponent < 0)
        out += u'-';
    else if (t.ExpPlus)
        out += u'+';
    QString digits = QString::number(std::abs(exponent));
    if (digits.size() < t.ExpDigits) digits.prepend(QString(t.ExpDigits - digits.size(), u'0'));
    return out + digits;
}

// Writes a picture's tokens one by one with the digits placed for them.
class TRenderer {
public:
    TRenderer(const TPicture& Pic, TPlaced Digits, QChar DecSep, QChar ThouSep)
        : FPic(Pic), FDigits(std::move(Digits)), FDecSep(DecSep), FThouSep(ThouSep),
          FIntCount(static_cast<int>(FDigits.Int.size())) {}

    void Put(const TToken& t) {
        switch (t.Kind) {
        case TToken::IntDigit:
            PutIntDigit();
            break;
        case TToken::Point:
            if (FPic.IntCount == 0) PutInt(0, FIntCount);
            if (!FDigits.Frac.empty()) Out += FDecSep;
            break;
        case TToken::FracDigit:
            if (FFracSeen < static_cast<int>(FDigits.Frac.size()))
                Out += QChar::fromLatin1(FDigits.Frac[FFracSeen]);
            ++FFracSeen;
            break;
        case TToken::Literal:
            // Between integer placeholders a literal separates digits, so it waits for one.
            if (FIntSeen == 0 || FIntSeen >= FPic.IntCount || FIntWritten) Out += t.Text;
            break;
        case TToken::Exponent:
            Out += ExponentText(t, FDigits.Exponent);
            break;
        }
    }

    QString Out;

private:
    void PutIntDigit() {
        const int j = FIntCount - FPic.IntCount + FIntSeen;
        if (FIntSeen == 0 && j > 0) PutInt(0, j); // more digits than placeholders
        if (j >= 0) PutInt(j, j + 1);
        ++FIntSeen;
    }

    void PutInt(int From, int To) { // digits [From, To)
        const bool grouping = FPic.Grouping && !FPic.Scientific;
        for (int j = From; j < To; ++j) {
            if (grouping && j > 0 && (FIntCount - j) % 3 == 0) Out += FThouSep;
            Out += QChar::fromLatin1(FDigits.Int[j]);
            FIntWritten = true;
        }
    }

    const TPicture& FPic;
    const TPlaced FDigits;
    const QChar FDecSep;
    const QChar FThouSep;
    const int FIntCount; // integer digits to write
    int FIntSeen = 0;    // integer placeholders passed
    int FFracSeen = 0;   // fraction placeholders passed
    bool FIntWritten = false;
};

QString Render(const TPicture& pic, const TDecimal& d, bool minus, QChar decSep, QChar thouSep) {
    TRenderer r(pic, Place(pic, d), decSep, thouSep);
    if (minus) r.Out += u'-';
    for (const TToken& t : pic.Tokens)
        r.Put(t);
    return r.Out;
}

} // namespace

QString FloatToStrGeneral(double Value, QChar DecimalSeparator) {
    if (std::isnan(Value)) return QStringLiteral("NAN");
    if (std::isinf(Value)) return Value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    const TDecimal d = ToDecimal(Value);
    if (d.IsZero()) return QStringLiteral("0");
    QString out;
    if (Value < 0) out += u'-';
    const int exponent = d.Point - 1;
    const int count = static_cast<int>(d.Digits.size());
    if (exponent < -4 || exponent > 14) {
        out += QChar::fromLatin1(d.Digits[0]);
        if (count > 1) out += DecimalSeparator + QString::fromLatin1(d.Digits.substr(1));
        out += u'E';
        if (exponent < 0) out += u'-';
        out += QString::number(std::abs(exponent));
        return out;
    }
    if (d.Point <= 0) {
        out += u'0';
    } else {
        for (int i = 0; i < d.Point; ++i)
            out += QChar::fromLatin1(DigitAt(d, i));
    }
    if (count > d.Point) {
        out += DecimalSeparator;
        for (int i = d.Point; i < count; ++i)
            out += QChar::fromLatin1(DigitAt(d, i));
    }
    return out;
}

QString FormatFloat(const QString& Format, double Value, QChar DecimalSeparator,
                    QChar ThousandSeparator) {
    if (!std::isfinite(Value)) return FloatToStrGeneral(Value, DecimalSeparator);
    const std::vector<QString> sections = SplitSections(Format);
    const int count = static_cast<int>(sections.size());
    auto pick = [&](bool negative, bool zero) {
        if (negative && count >= 2 && !sections[1].isEmpty()) return 1;
        if (zero && count >= 3 && !sections[2].isEmpty()) return 2;
        return 0;
    };
    bool negative = Value < 0;
    bool zero = Value == 0;
    int index = pick(negative, zero);
    if (sections[index].isEmpty()) return FloatToStrGeneral(Value, DecimalSeparator);
    TPicture pic = ParsePicture(sections[index]);
    TDecimal digits = RoundFor(pic, Value);
    if (digits.IsZero() && !zero) {
        negative = false;
        zero = true;
        const int zeroIndex = pick(false, true);
        if (zeroIndex != index) {
            index = zeroIndex;
            if (sections[index].isEmpty()) return QStringLiteral("0");
            pic = ParsePicture(sections[index]);
        }
    }
    // A section of its own for negative numbers shows them without a sign.
    return Render(pic, digits, negative && index == 0, DecimalSeparator, ThousandSeparator);
}

std::optional<double> StrToFloat(const QString& Text, QChar DecimalSeparator) {
    const QString S = StrTrim(Text);
    const qsizetype to = S.size();
    QByteArray plain; // the number in the C locale's spelling
    qsizetype i = 0;
    auto isDigit = [&](qsizetype k) { return k < to && S[k] >= u'0' && S[k] <= u'9'; };
    if (i < to && (S[i] == u'+' || S[i] == u'-')) plain += static_cast<char>(S[i++].unicode());
    int mantissaDigits = 0;
    for (; isDigit(i); ++i, ++mantissaDigits)
        plain += static_cast<char>(S[i].unicode());
    if (i < to && S[i] == DecimalSeparator) {
        plain += '.';
        for (++i; isDigit(i); ++i, ++mantissaDigits)
            plain += static_cast<char>(S[i].unicode());
    }
    if (mantissaDigits == 0) return std::nullopt;
    if (i < to && (S[i] == u'E' || S[i] == u'e')) {
        plain += 'e';
        ++i;
        if (i < to && (S[i] == u'+' || S[i] == u'-')) plain += static_cast<char>(S[i++].unicode());
        if (!isDigit(i)) return std::nullopt;
        for (; isDigit(i); ++i)
            plain += static_cast<char>(S[i].unicode());
    }
    if (i != to) return std::nullopt;
    bool ok = false;
    const double v = QLocale::c().toDouble(QString::fromLatin1(plain), &ok);
    if (ok) return v;
    // The syntax is right, so a failure is a number out of range: too small is zero.
    if (v == 0) return 0.0;
    return std::nullopt;
}

QChar ThousandSepFor(QChar DecimalSeparator) {
    const QString group = QLocale().groupSeparator();
    const QChar sep = group.isEmpty() ? QChar(u',') : group.front();
    if (sep != DecimalSeparator) return sep;
    return DecimalSeparator == u',' ? QChar(u'.') : QChar(u',');
}
