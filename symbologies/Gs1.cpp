// The GS1 element strings: reading the dictionary that is built into the
// program (symbologies/gs1/), the checks it names, and the three forms of the
// data (bracketed, Code 128 items, transmitted).
#include "symbologies/Gs1.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <map>

#include "symbologies/Code128.h"
#include "symbologies/EanUpc.h"
#include "symbologies/EncoderSupport.h"

// The bytes of gs1/gs1-syntax-dictionary.txt, put there by the build.
extern const unsigned char Gs1DictionaryBytes[];
extern const std::size_t Gs1DictionarySize;

namespace {

// --- reading the dictionary --------------------------------------------------

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        std::size_t j = i;
        while (j < line.size() && line[j] != ' ' && line[j] != '\t')
            ++j;
        if (j > i) words.push_back(line.substr(i, j - i));
        i = j;
    }
    return words;
}

std::vector<std::string> Split(std::string_view list, char separator) {
    std::vector<std::string> parts;
    std::size_t from = 0;
    while (from <= list.size()) {
        std::size_t to = list.find(separator, from);
        if (to == std::string_view::npos) to = list.size();
        if (to > from) parts.emplace_back(list.substr(from, to - from));
        from = to + 1;
    }
    return parts;
}

[[noreturn]] void Unreadable(std::size_t lineNumber) {
    throw EBarcodeError(FormatMessage("%s: the GS1 dictionary is unreadable at line %s",
                                      {TZoBarcode::ClassName, std::to_string(lineNumber)}));
}

int Number(std::string_view digits, std::size_t lineNumber) {
    int value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size() || value <= 0)
        Unreadable(lineNumber);
    return value;
}

bool IsFlags(std::string_view word) {
    constexpr std::string_view flags = "*!?\"$%&'()+,-./:;<=>@[\\]^_`{|}~";
    return word.find_first_not_of(flags) == std::string_view::npos;
}

bool IsComponent(std::string_view word) {
    const std::string_view format = word.starts_with('[') ? word.substr(1) : word;
    return !format.empty() && std::string_view("NXYZ").find(format[0]) != std::string_view::npos;
}

// "N18,csum,gcppos2", "[N3],iso3166", "[X..17]", "X..20".
TGs1Component ReadComponent(std::string_view word, std::size_t lineNumber) {
    TGs1Component c;
    std::string_view format;
    std::string_view linters;
    if (word.starts_with('[')) {
        const std::size_t close = word.find(']');
        if (close == std::string_view::npos) Unreadable(lineNumber);
        c.Optional = true;
        format = word.substr(1, close - 1);
        linters = word.substr(close + 1);
    } else {
        const std::size_t comma = std::min(word.find(','), word.size());
        format = word.substr(0, comma);
        linters = word.substr(comma);
    }
    if (format.size() < 2) Unreadable(lineNumber);
    c.Type = format[0];
    if (format.substr(1).starts_with("..")) {
        c.Min = 1;
        c.Max = Number(format.substr(3), lineNumber);
    } else {
        c.Min = c.Max = Number(format.substr(1), lineNumber);
    }
    c.Linters = Split(linters, ',');
    return c;
}

bool IsAiText(std::string_view s) {
    return s.size() >= 2 && s.size() <= 4 &&
           s.find_first_not_of("0123456789") == std::string_view::npos;
}

TGs1Entry ReadEntry(std::string_view line, std::size_t lineNumber) {
    TGs1Entry e;
    line = line.substr(0, std::min(line.find('#'), line.size())); // no use for the title
    const std::vector<std::string_view> words = Words(line);
    std::size_t w = 0;
    const std::string_view ais = words[w++];
    const std::size_t dash = ais.find('-');
    e.First = ais.substr(0, dash);
    e.Last = dash == std::string_view::npos ? e.First : std::string(ais.substr(dash + 1));
    if (!IsAiText(e.First) || !IsAiText(e.Last) || e.First.size() != e.Last.size() ||
        e.Last < e.First)
        Unreadable(lineNumber);
    if (w < words.size() && IsFlags(words[w]))
        e.FixedLength = words[w++].find('*') != std::string_view::npos;
    while (w < words.size() && IsComponent(words[w]))
        e.Components.push_back(ReadComponent(words[w++], lineNumber));
    if (e.Components.empty()) Unreadable(lineNumber);
    for (; w < words.size(); ++w)
        if (words[w].starts_with("ex="))
            for (std::string& ai : Split(words[w].substr(3), ','))
                e.Excludes.push_back(ai);
    return e;
}

std::vector<TGs1Entry> ReadDictionary() {
    const std::string_view text(reinterpret_cast<const char*>(Gs1DictionaryBytes),
                                Gs1DictionarySize);
    std::vector<TGs1Entry> entries;
    std::size_t from = 0;
    for (std::size_t lineNumber = 1; from < text.size(); ++lineNumber) {
        std::size_t to = text.find('\n', from);
        if (to == std::string_view::npos) to = text.size();
        std::string_view line = text.substr(from, to - from);
        from = to + 1;
        if (line.ends_with('\r')) line.remove_suffix(1);
        if (Words(line).empty() || line.starts_with('#')) continue;
        entries.push_back(ReadEntry(line, lineNumber));
    }
    return entries;
}

// --- characters ------------------------------------------------------------

// The 82 characters of GS1 data in their order, which the alphanumeric check
// characters take as their values.
constexpr std::u16string_view Cset82 =
    u"!\"%&'()*+,-./0123456789:;<=>?ABCDEFGHIJKLMNOPQRSTUVWXYZ_abcdefghijklmnopqrstuvwxyz";
constexpr std::u16string_view Cset39 = u"#-/0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr std::u16string_view Cset64 =
    u"-0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ_abcdefghijklmnopqrstuvwxyz";
// The characters of the alphanumeric check pair.
constexpr std::u16string_view Cset32 = u"23456789ABCDEFGHJKLMNPQRSTUVWXYZ";
static_assert(Cset82.size() == 82 && Cset39.size() == 39 && Cset64.size() == 64 &&
              Cset32.size() == 32);

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

bool AllDigits(std::u16string_view s) {
    return std::all_of(s.begin(), s.end(), IsDigit);
}

int Value(std::u16string_view digits) {
    int v = 0;
    for (char16_t c : digits)
        v = v * 10 + DigitValue(c);
    return v;
}

// Why a character cannot stand in a component of this type, or "".
std::string BadCharacter(char type, std::u16string_view part) {
    for (std::size_t i = 0; i < part.size(); ++i) {
        const char16_t c = part[i];
        bool ok = false;
        const char* set = "";
        switch (type) {
        case 'N':
            ok = IsDigit(c);
            set = "is not a digit";
            break;
        case 'X':
            ok = Cset82.find(c) != std::u16string_view::npos;
            set = "is not in the GS1 character set";
            break;
        case 'Y':
            ok = Cset39.find(c) != std::u16string_view::npos;
            set = "is not in the 39 characters this AI takes (digits, capitals, # - /)";
            break;
        default:
            // Base64url, "=" only as the padding at the end.
            ok = Cset64.find(c) != std::u16string_view::npos ||
                 (c == u'=' && part.find_first_not_of(u'=', i) == std::u16string_view::npos);
            set = "is not in base64url";
            break;
        }
        if (!ok) return "character \"" + CharForMessage(std::u16string(part), i) + "\" " + set;
    }
    return {};
}

// --- the checks the dictionary names -----------------------------------------

int DaysInMonth(int year, int month) {
    constexpr std::array<int, 12> days = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
    return month == 2 && leap ? 29 : days[static_cast<std::size_t>(month - 1)];
}

// A two-digit year is within a hundred years around today, 1951..2050 as
// long as this code lives: in that range every fourth year is a leap year.
bool IsDate(std::u16string_view d, bool fullYear, bool dayZero) {
    const std::size_t y = fullYear ? 4 : 2;
    const int year = fullYear ? Value(d.substr(0, 4)) : 2000 + Value(d.substr(0, 2));
    const int month = Value(d.substr(y, 2));
    const int day = Value(d.substr(y + 2, 2));
    if (month < 1 || month > 12) return false;
    return (day >= 1 || (dayZero && day == 0)) && day <= DaysInMonth(year, month);
}

// The alphanumeric check pair: the characters' values in the 82, weighted by
// the primes from the right (2, 3, 5, ...), summed modulo 1021, written as
// two characters of the 32.
std::u16string CheckPairOf(std::u16string_view data) {
    constexpr std::array<int, 23> primes = {2,  3,  5,  7,  11, 13, 17, 19, 23, 29, 31, 37,
                                            41, 43, 47, 53, 59, 61, 67, 71, 73, 79, 83};
    int sum = 0;
    for (std::size_t i = 0; i < data.size(); ++i) {
        const std::size_t fromRight = data.size() - 1 - i;
        sum += static_cast<int>(Cset82.find(data[i])) * primes[fromRight % primes.size()];
    }
    sum %= 1021;
    return {Cset32[static_cast<std::size_t>(sum / 32)], Cset32[static_cast<std::size_t>(sum % 32)]};
}

bool IbanValid(std::u16string_view s) {
    if (s.size() < 5) return false;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char16_t c = s[i];
        const bool upper = c >= u'A' && c <= u'Z';
        if (i < 2 ? !upper : i < 4 ? !IsDigit(c) : !(upper || IsDigit(c))) return false;
    }
    // The country and check digits go to the end; letters count 10..35.
    int rest = 0;
    const std::u16string moved = std::u16string(s.substr(4)) + std::u16string(s.substr(0, 4));
    for (char16_t c : moved)
        rest = IsDigit(c) ? (rest * 10 + DigitValue(c)) % 97 : (rest * 100 + c - u'A' + 10) % 97;
    return rest == 1;
}

struct TLinter {
    std::string_view Name;
    // Why the part fails, or "". nullptr: known but not checked here.
    std::string (*Check)(std::u16string_view part);
};

std::string Unless(bool ok, std::string why) {
    return ok ? std::string() : std::move(why);
}

const TLinter Linters[] = {
    {"csum",
     [](std::u16string_view p) {
         if (p.size() < 2) return std::string("too short for a check digit");
         const int expected = Modulo10CheckDigit(std::u16string(p.substr(0, p.size() - 1)));
         return Unless(DigitValue(p.back()) == expected,
                       FormatMessage("the check digit is %s, it must be %s",
                                     {std::string(1, static_cast<char>(p.back())),
                                      std::to_string(expected)}));
     }},
    {"csumalpha",
     [](std::u16string_view p) {
         if (p.size() < 3) return std::string("too short for its two check characters");
         const std::u16string expected = CheckPairOf(p.substr(0, p.size() - 2));
         return Unless(
             p.substr(p.size() - 2) == expected,
             FormatMessage("the check characters are %s, they must be %s",
                           {QuotedForMessage(p.substr(p.size() - 2)), QuotedForMessage(expected)}));
     }},
    {"yymmd0",
     [](std::u16string_view p) {
         return Unless(IsDate(p, false, true),
                       QuotedForMessage(p) + " is not a date (YYMMDD, DD 00 for any day)");
     }},
    {"yymmdd",
     [](std::u16string_view p) {
         return Unless(IsDate(p, false, false), QuotedForMessage(p) + " is not a date (YYMMDD)");
     }},
    {"yyyymmdd",
     [](std::u16string_view p) {
         return Unless(IsDate(p, true, false), QuotedForMessage(p) + " is not a date (YYYYMMDD)");
     }},
    {"hhmi",
     [](std::u16string_view p) {
         return Unless(Value(p.substr(0, 2)) < 24 && Value(p.substr(2, 2)) < 60,
                       QuotedForMessage(p) + " is not a time (HHMM)");
     }},
    {"hh",
     [](std::u16string_view p) {
         return Unless(Value(p) < 24, QuotedForMessage(p) + " is not an hour (00 to 23)");
     }},
    {"mi",
     [](std::u16string_view p) {
         return Unless(Value(p) < 60, QuotedForMessage(p) + " is not a minute (00 to 59)");
     }},
    {"ss",
     [](std::u16string_view p) {
         return Unless(Value(p) < 60, QuotedForMessage(p) + " is not a second (00 to 59)");
     }},
    {"nonzero",
     [](std::u16string_view p) {
         return Unless(p.find_first_not_of(u'0') != std::u16string_view::npos,
                       QuotedForMessage(p) + " must not be zero");
     }},
    {"zero",
     [](std::u16string_view p) { return Unless(p == u"0", QuotedForMessage(p) + " must be 0"); }},
    {"yesno",
     [](std::u16string_view p) {
         return Unless(p == u"0" || p == u"1", QuotedForMessage(p) + " must be 0 or 1");
     }},
    {"winding",
     [](std::u16string_view p) {
         return Unless(p == u"0" || p == u"1" || p == u"9",
                       QuotedForMessage(p) + " must be 0, 1 or 9");
     }},
    {"iso5218",
     [](std::u16string_view p) {
         return Unless(p == u"0" || p == u"1" || p == u"2" || p == u"9",
                       QuotedForMessage(p) + " must be 0, 1, 2 or 9");
     }},
    {"hyphen",
     [](std::u16string_view p) { return Unless(p == u"-", QuotedForMessage(p) + " must be -"); }},
    {"pieceoftotal",
     [](std::u16string_view p) {
         const std::size_t half = p.size() / 2;
         const int piece = Value(p.substr(0, half));
         const int total = Value(p.substr(half));
         return Unless(piece >= 1 && piece <= total,
                       QuotedForMessage(p) +
                           " is not a piece number and a total, the piece 1 to the total");
     }},
    {"posinseqslash",
     [](std::u16string_view p) {
         const std::size_t slash = p.find(u'/');
         const bool ok = slash != std::u16string_view::npos && slash > 0 && slash + 1 < p.size() &&
                         AllDigits(p.substr(0, slash)) && AllDigits(p.substr(slash + 1)) &&
                         Value(p.substr(0, slash)) >= 1 &&
                         Value(p.substr(0, slash)) <= Value(p.substr(slash + 1));
         return Unless(ok, QuotedForMessage(p) + " is not a position and a count, such as 1/2");
     }},
    {"nozeroprefix",
     [](std::u16string_view p) {
         return Unless(p.size() == 1 || p.front() != u'0',
                       QuotedForMessage(p) + " must not begin with 0");
     }},
    {"hasnondigit",
     [](std::u16string_view p) {
         return Unless(!AllDigits(p),
                       QuotedForMessage(p) + " must hold a character other than a digit");
     }},
    {"pcenc",
     [](std::u16string_view p) {
         const auto hex = [](char16_t c) {
             return IsDigit(c) || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f');
         };
         for (std::size_t i = 0; i < p.size(); ++i)
             if (p[i] == u'%' && (i + 2 >= p.size() || !hex(p[i + 1]) || !hex(p[i + 2])))
                 return QuotedForMessage(p) +
                        " has a \"%\" that is not followed by two hexadecimal digits";
         return std::string();
     }},
    {"latitude",
     [](std::u16string_view p) {
         return Unless(p <= u"1800000000",
                       QuotedForMessage(p) + " is not a latitude (0 to 1800000000)");
     }},
    {"longitude",
     [](std::u16string_view p) {
         return Unless(p <= u"3600000000",
                       QuotedForMessage(p) + " is not a longitude (0 to 3600000000)");
     }},
    {"iban",
     [](std::u16string_view p) {
         return Unless(IbanValid(p), QuotedForMessage(p) + " is no IBAN");
     }},
    {"iso3166alpha2",
     [](std::u16string_view p) {
         return Unless(
             std::all_of(p.begin(), p.end(), [](char16_t c) { return c >= u'A' && c <= u'Z'; }),
             QuotedForMessage(p) + " is not a country code of two capitals");
     }},
    // These need lists the dictionary does not carry (company prefixes,
    // country and currency codes, coupon layouts): the data passes unchecked.
    {"gcppos1", nullptr},
    {"gcppos2", nullptr},
    {"iso3166", nullptr},
    {"iso3166999", nullptr},
    {"iso4217", nullptr},
    {"importeridx", nullptr},
    {"packagetype", nullptr},
    {"mediatype", nullptr},
    {"couponcode", nullptr},
    {"couponposoffer", nullptr},
};

const TLinter* FindLinter(std::string_view name) {
    for (const TLinter& l : Linters)
        if (l.Name == name) return &l;
    return nullptr;
}

// --- the elements --------------------------------------------------------------

std::string AiText(std::u16string_view ai) {
    return "AI (" + ToUtf8(ai) + ")";
}

[[noreturn]] void Refuse(std::string_view who, const std::string& what) {
    throw EBarcodeError(FormatMessage("%s: %s", {who, what}));
}

[[noreturn]] void RefuseElement(std::string_view who, std::u16string_view ai,
                                const std::string& what) {
    Refuse(who, AiText(ai) + ": " + what);
}

// The components in the dictionary's notation: "N13 [X..17]".
std::string Notation(const TGs1Entry& e) {
    std::string s;
    for (const TGs1Component& c : e.Components) {
        std::string one(1, c.Type);
        one += c.Min == c.Max ? std::to_string(c.Max) : ".." + std::to_string(c.Max);
        if (!s.empty()) s += ' ';
        s += c.Optional ? "[" + one + "]" : one;
    }
    return s;
}

void CheckElement(const TGs1Element& element, std::string_view who) {
    const TGs1Entry* e = FindGs1Entry(element.Ai);
    if (!e) Refuse(who, "unknown " + AiText(element.Ai));
    const std::u16string_view data = element.Data;
    if (data.empty()) RefuseElement(who, element.Ai, "no data");
    int least = 0;
    int most = 0;
    for (const TGs1Component& c : e->Components) {
        least += c.Optional ? 0 : c.Min;
        most += c.Max;
    }
    const bool digits = std::all_of(e->Components.begin(), e->Components.end(),
                                    [](const TGs1Component& c) { return c.Type == 'N'; });
    const std::string unit = digits ? " digits" : " characters";
    const std::string given = std::to_string(data.size());
    if (static_cast<int>(data.size()) < least || static_cast<int>(data.size()) > most)
        RefuseElement(who, element.Ai,
                      "the data must be " +
                          (least == most ? std::to_string(most)
                                         : std::to_string(least) + " to " + std::to_string(most)) +
                          unit + " long, not " + given);
    std::size_t at = 0;
    for (const TGs1Component& c : e->Components) {
        const std::size_t left = data.size() - at;
        if (left == 0 && c.Optional) break;
        if (left < static_cast<std::size_t>(c.Min))
            RefuseElement(who, element.Ai,
                          given + unit + " do not make up its parts (" + Notation(*e) + ")");
        const std::size_t length = std::min(left, static_cast<std::size_t>(c.Max));
        const std::u16string_view part = data.substr(at, length);
        if (const std::string bad = BadCharacter(c.Type, part); !bad.empty())
            RefuseElement(who, element.Ai, bad);
        for (const std::string& name : c.Linters) {
            const TLinter* linter = FindLinter(name);
            if (!linter || !linter->Check) continue;
            if (const std::string why = linter->Check(part); !why.empty())
                RefuseElement(who, element.Ai, why);
        }
        at += length;
    }
    if (at < data.size())
        RefuseElement(who, element.Ai,
                      given + unit + " do not make up its parts (" + Notation(*e) + ")");
}

// "310n" stands for 3100..3109.
bool AiMatches(std::u16string_view ai, std::string_view pattern) {
    if (ai.size() != pattern.size()) return false;
    for (std::size_t i = 0; i < ai.size(); ++i)
        if (pattern[i] != 'n' && ai[i] != static_cast<unsigned char>(pattern[i])) return false;
    return true;
}

} // namespace

const std::vector<TGs1Entry>& Gs1Dictionary() {
    static const std::vector<TGs1Entry> dictionary = ReadDictionary();
    return dictionary;
}

const TGs1Entry* FindGs1Entry(std::u16string_view ai) {
    if (ai.size() < 2 || ai.size() > 4 || !AllDigits(ai)) return nullptr;
    const std::string key = ToUtf8(ai);
    for (const TGs1Entry& e : Gs1Dictionary())
        if (e.First.size() == key.size() && e.First <= key && key <= e.Last) return &e;
    return nullptr;
}

bool Gs1LinterKnown(std::string_view name) {
    return FindLinter(name) != nullptr;
}

bool IsGs1Bracketed(std::u16string_view text) {
    const std::u16string t = TrimmedCode(text);
    return !t.empty() && (t[0] == u'(' || t[0] == u'[');
}

std::vector<TGs1Element> ParseGs1Brackets(std::u16string_view text, std::string_view who) {
    const std::u16string t = TrimmedCode(text);
    if (t.empty() || (t[0] != u'(' && t[0] != u'['))
        Refuse(who, "the data must begin with an AI in brackets, such as (01)");
    const char16_t open = t[0];
    const char16_t close = open == u'(' ? u')' : u']';
    std::vector<TGs1Element> elements;
    std::size_t i = 0;
    while (i < t.size()) {
        const std::size_t end = t.find(close, i + 1);
        if (end == std::u16string::npos)
            Refuse(who, "the bracket of " + QuotedForMessage(t.substr(i, 6)) + " is never closed");
        TGs1Element element;
        element.Ai = t.substr(i + 1, end - i - 1);
        if (element.Ai.size() < 2 || element.Ai.size() > 4 || !AllDigits(element.Ai))
            Refuse(who, QuotedForMessage(t.substr(i, end - i + 1)) +
                            " is no AI: an AI is 2 to 4 digits");
        i = end + 1;
        // The data runs to the next opening bracket; in the round form "\(" and
        // "\)" are brackets of the data, which GS1 data may hold.
        while (i < t.size() && t[i] != open) {
            if (open == u'(' && t[i] == u'\\' && i + 1 < t.size() &&
                (t[i + 1] == u'(' || t[i + 1] == u')'))
                ++i;
            element.Data += t[i++];
        }
        elements.push_back(std::move(element));
    }
    CheckGs1Elements(elements, who);
    return elements;
}

void CheckGs1Elements(const std::vector<TGs1Element>& elements, std::string_view who) {
    if (elements.empty()) Refuse(who, "no GS1 data");
    for (const TGs1Element& e : elements)
        CheckElement(e, who);
    // By AI, in the order they come: a long text of elements costs no more
    // than the few hundred AIs there are.
    std::vector<const TGs1Element*> distinct;
    std::map<std::u16string, const TGs1Element*> byAi;
    for (const TGs1Element& e : elements) {
        const auto [at, added] = byAi.emplace(e.Ai, &e);
        if (added)
            distinct.push_back(&e);
        else if (at->second->Data != e.Data)
            RefuseElement(who, e.Ai, "given twice with different data");
    }
    const auto excludes = [](const TGs1Element& a, const TGs1Element& b) {
        const std::vector<std::string>& patterns = FindGs1Entry(a.Ai)->Excludes;
        return std::any_of(patterns.begin(), patterns.end(),
                           [&b](const std::string& p) { return AiMatches(b.Ai, p); });
    };
    for (std::size_t i = 0; i < distinct.size(); ++i)
        for (std::size_t j = i + 1; j < distinct.size(); ++j)
            if (excludes(*distinct[i], *distinct[j]) || excludes(*distinct[j], *distinct[i]))
                Refuse(who, AiText(distinct[i]->Ai) + " and " + AiText(distinct[j]->Ai) +
                                " must not be in one symbol");
}

std::u16string Gs1Readable(const std::vector<TGs1Element>& elements) {
    std::u16string s;
    for (const TGs1Element& e : elements)
        s += u"(" + e.Ai + u")" + e.Data;
    return s;
}

bool Gs1NeedsSeparator(std::u16string_view ai) {
    const TGs1Entry* e = FindGs1Entry(ai);
    return !e || !e->FixedLength;
}

std::vector<int> Gs1Code128Items(const std::vector<TGs1Element>& elements) {
    std::vector<int> items{Code128Fnc1Item};
    for (std::size_t k = 0; k < elements.size(); ++k) {
        for (char16_t c : elements[k].Ai + elements[k].Data)
            items.push_back(c);
        if (k + 1 < elements.size() && Gs1NeedsSeparator(elements[k].Ai))
            items.push_back(Code128Fnc1Item);
    }
    return items;
}

std::u16string Gs1Transmission(const std::vector<TGs1Element>& elements) {
    std::u16string s = u"]C1";
    const std::vector<int> items = Gs1Code128Items(elements);
    for (std::size_t i = 1; i < items.size(); ++i)
        s += items[i] == Code128Fnc1Item ? Gs1Separator : static_cast<char16_t>(items[i]);
    return s;
}

std::vector<TGs1Element> ParseGs1Transmission(std::u16string_view data) {
    constexpr std::string_view who = "GS1 data";
    if (data.starts_with(u"]C1")) data.remove_prefix(3);
    std::vector<TGs1Element> elements;
    std::size_t i = 0;
    while (i < data.size()) {
        const TGs1Entry* entry = nullptr;
        std::size_t aiLength = 2;
        for (; aiLength <= 4 && i + aiLength <= data.size(); ++aiLength)
            if ((entry = FindGs1Entry(data.substr(i, aiLength)))) break;
        if (!entry) Refuse(who, "no AI at " + QuotedForMessage(data.substr(i, 4)));
        TGs1Element element;
        element.Ai = data.substr(i, aiLength);
        i += aiLength;
        std::size_t end = data.find(Gs1Separator, i);
        if (end == std::u16string_view::npos) end = data.size();
        if (entry->FixedLength) {
            int length = 0;
            for (const TGs1Component& c : entry->Components)
                length += c.Max;
            end = std::min(end, i + static_cast<std::size_t>(length));
        }
        element.Data = data.substr(i, end - i);
        elements.push_back(std::move(element));
        i = end;
        if (i < data.size() && data[i] == Gs1Separator) ++i;
    }
    if (elements.empty()) Refuse(who, "no element");
    return elements;
}
