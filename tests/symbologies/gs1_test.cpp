// GS1 element strings: the dictionary read whole, the bracketed form to the
// printed and transmitted forms, every kind of refusal, and the symbols that
// carry them (GS1-128, SSCC-18, EAN-128 in one code set).
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "symbologies/Gs1.h"
#include "tests/BuildSymbol.h"
#include "tests/Code128Reading.h"

namespace {

// GS shown as "|", so the tables read as the transmitted data.
std::string Shown(std::u16string s) {
    for (char16_t& c : s)
        if (c == Gs1Separator) c = u'|';
    return ToUtf8(s);
}

std::u16string Unshown(std::string_view s) {
    std::u16string u = FromUtf8(s);
    for (char16_t& c : u)
        if (c == u'|') c = Gs1Separator;
    return u;
}

std::string Components(const TGs1Entry& e) {
    std::string s;
    for (const TGs1Component& c : e.Components) {
        s += s.empty() ? "" : " ";
        s += c.Optional ? "[" : "";
        s += c.Type + std::to_string(c.Min) + ".." + std::to_string(c.Max);
        s += c.Optional ? "]" : "";
        for (const std::string& l : c.Linters)
            s += "," + l;
    }
    return s;
}

TEST(Gs1Dictionary, ReadWholeWithEveryCheckKnown) {
    std::ifstream file(GS1_DICTIONARY_FILE);
    ASSERT_TRUE(file);
    std::size_t lines = 0;
    for (std::string line; std::getline(file, line);)
        lines += !line.empty() && line[0] != '#' && line.find_first_not_of(" \t\r") != line.npos;
    EXPECT_EQ(Gs1Dictionary().size(), lines);
    for (const TGs1Entry& e : Gs1Dictionary())
        for (const TGs1Component& c : e.Components)
            for (const std::string& l : c.Linters)
                EXPECT_TRUE(Gs1LinterKnown(l)) << e.First << ": " << l;

    const struct {
        const char* ai;
        bool fixed;
        const char* components; // "" for an AI the dictionary does not have
    } cases[] = {
        {"00", true, "N18..18,csum,gcppos2"},
        {"10", false, "X1..20"},
        {"3103", true, "N6..6"},
        {"3106", false, ""},
        {"8003", false, "N1..1,zero N13..13,csum,gcppos1 [X1..16]"},
        {"95", false, "X1..90"},
        {"7", false, ""},
        {"1x", false, ""},
    };
    for (const auto& c : cases) {
        const TGs1Entry* e = FindGs1Entry(FromUtf8(c.ai));
        ASSERT_EQ(e != nullptr, *c.components != 0) << c.ai;
        if (!e) continue;
        EXPECT_EQ(e->FixedLength, c.fixed) << c.ai;
        EXPECT_EQ(Components(*e), c.components) << c.ai;
    }
    EXPECT_EQ(FindGs1Entry(u"01")->Excludes, (std::vector<std::string>{"255", "37"}));
}

struct ElementCase {
    const char* input;
    const char* printed;
    const char* transmitted; // "|" for GS
};

TEST(Gs1ElementStrings, PrintedAndTransmittedForms) {
    const ElementCase cases[] = {
        // a separator only after an element of variable length that is not last
        {"(01)09520123456788(10)ABC123(21)4567", "(01)09520123456788(10)ABC123(21)4567",
         "]C1010952012345678810ABC123|214567"},
        {"(10)ABC123(01)09520123456788", "(10)ABC123(01)09520123456788",
         "]C110ABC123|0109520123456788"},
        {"(00)376104250021234569(3103)000750(15)261231",
         "(00)376104250021234569(3103)000750(15)261231",
         "]C10037610425002123456931030007501526123"
         "1"},
        {"[01]09520123456788[10]ABC123", "(01)09520123456788(10)ABC123",
         "]C1010952012345678810ABC123"},
        {"  (01)09520123456788 ", "(01)09520123456788", "]C10109520123456788"},
        // brackets in the data: escaped in the round form, plain in the square one
        {"(400)PO\\(12\\)(10)X", "(400)PO(12)(10)X", "]C1400PO(12)|10X"},
        {"[400]PO(12)[10]X", "(400)PO(12)(10)X", "]C1400PO(12)|10X"},
        {"(8003)0952012345678812AB", "(8003)0952012345678812AB", "]C180030952012345678812AB"},
        {"(17)261200", "(17)261200", "]C117261200"}, // day 00: any day of the month
        {"(11)240229", "(11)240229", "]C111240229"}, // a leap year
        {"(7003)2612312359", "(7003)2612312359", "]C170032612312359"},
        {"(8013)1987654Ad4X4bL5ttr2310c2K", "(8013)1987654Ad4X4bL5ttr2310c2K",
         "]C180131987654Ad4X4bL5ttr2310c2K"},
        {"(8007)GB82WEST12345698765432", "(8007)GB82WEST12345698765432",
         "]C18007GB82WEST12345698765432"},
        {"(8006)095201234567880102", "(8006)095201234567880102", "]C18006095201234567880102"},
        {"(4330)001234-", "(4330)001234-", "]C14330001234-"},
        {"(10)A(10)A", "(10)A(10)A", "]C110A|10A"}, // the same data twice says nothing new
    };
    for (const ElementCase& c : cases) {
        SCOPED_TRACE(c.input);
        const std::vector<TGs1Element> elements = ParseGs1Brackets(FromUtf8(c.input), "test");
        EXPECT_EQ(ToUtf8(Gs1Readable(elements)), c.printed);
        EXPECT_EQ(Shown(Gs1Transmission(elements)), c.transmitted);
        // what a scanner reports splits back into the same elements
        EXPECT_EQ(ParseGs1Transmission(Unshown(c.transmitted)), elements);
        const TBuildResult r = BuildSymbol(bcCodeGS1_128, c.input);
        ASSERT_TRUE(r.ok) << r.error;
        EXPECT_EQ(r.text, c.printed);
        const TCode128Reading read = ReadCode128(FromUtf8(r.pattern));
        ASSERT_TRUE(read.Ok) << read.Error;
        EXPECT_TRUE(read.Gs1);
        EXPECT_EQ(Shown(read.Text), std::string(c.transmitted).substr(3));
    }
}

TEST(Gs1ElementStrings, RefusalsNameTheAiAndTheFault) {
    const struct {
        const char* input;
        const char* message; // after "CodeGS1_128: "
    } cases[] = {
        {"0109520123456788", "the data must begin with an AI in brackets, such as (01)"},
        {"", "the data must begin with an AI in brackets, such as (01)"},
        {"(01", "the bracket of \"(01\" is never closed"},
        {"(1)2", "\"(1)\" is no AI: an AI is 2 to 4 digits"},
        {"(12345)2", "\"(12345)\" is no AI: an AI is 2 to 4 digits"},
        {"(0a)2", "\"(0a)\" is no AI: an AI is 2 to 4 digits"},
        {"(23)1", "unknown AI (23)"},
        {"(3106)000100", "unknown AI (3106)"},
        {"(10)(01)09520123456788", "AI (10): no data"},
        {"(01)0952012345678", "AI (01): the data must be 14 digits long, not 13"},
        {"(01)095201234567880", "AI (01): the data must be 14 digits long, not 15"},
        {"(10)ABCDEFGHIJKLMNOPQRSTU", "AI (10): the data must be 1 to 20 characters long, not 21"},
        {"(8008)261231129", "AI (8008): 9 digits do not make up its parts (N6 N2 [N2] [N2])"},
        {"(01)0952012345678x", "AI (01): character \"x\" is not a digit"},
        {"(10)AB C", "AI (10): character \" \" is not in the GS1 character set"},
        {"(10)caf\u00e9", "AI (10): character \"\u00e9\" is not in the GS1 character set"},
        {"(10)A\tB", "AI (10): character \"\u2409\" is not in the GS1 character set"},
        {"(8010)ab",
         "AI (8010): character \"a\" is not in the 39 characters this AI takes (digits, "
         "capitals, # - /)"},
        {"(01)09520123456781", "AI (01): the check digit is 1, it must be 8"},
        {"(00)376104250021234561", "AI (00): the check digit is 1, it must be 9"},
        {"(8013)1987654Ad4X4bL5ttr2310c2L",
         "AI (8013): the check characters are \"2L\", they must be \"2K\""},
        {"(17)261331", "AI (17): \"261331\" is not a date (YYMMDD, DD 00 for any day)"},
        {"(11)250229", "AI (11): \"250229\" is not a date (YYMMDD, DD 00 for any day)"},
        {"(7006)261200", "AI (7006): \"261200\" is not a date (YYMMDD)"},
        {"(7003)2612312460", "AI (7003): \"2460\" is not a time (HHMM)"},
        {"(4321)2", "AI (4321): \"2\" must be 0 or 1"},
        {"(8006)095201234567880302",
         "AI (8006): \"0302\" is not a piece number and a total, the piece 1 to the total"},
        {"(4300)ABC%2",
         "AI (4300): \"ABC%2\" has a \"%\" that is not followed by two hexadecimal digits"},
        {"(8007)GB83WEST12345698765432", "AI (8007): \"GB83WEST12345698765432\" is no IBAN"},
        {"(01)09520123456788(02)09520123456788", "AI (01) and AI (02) must not be in one symbol"},
        {"(3103)000750(3102)000075", "AI (3103) and AI (3102) must not be in one symbol"},
        {"(10)A(10)B", "AI (10): given twice with different data"},
        {"(01)09520123456788[10]X", "AI (01): the data must be 14 digits long, not 19"},
    };
    for (const auto& c : cases) {
        const TBuildResult r = BuildSymbol(bcCodeGS1_128, c.input);
        EXPECT_FALSE(r.ok) << c.input;
        EXPECT_EQ(r.error, std::string("CodeGS1_128: ") + c.message) << c.input;
    }
    // Transmitted data that no dictionary entry begins.
    EXPECT_THROW(ParseGs1Transmission(u"]C1231"), EBarcodeError);
    EXPECT_THROW(ParseGs1Transmission(u""), EBarcodeError);
}

// The shortest symbol, as long as zint's for the same elements.
TEST(Gs1_128, AsShortAsTheShortestKnown) {
    const struct {
        const char* input;
        int modules;
    } cases[] = {
        {"(01)09520123456788(10)ABC123(21)4567", 266},
        {"(00)376104250021234569", 156},
        {"(01)09520123456788(15)261231(10)ABC123(21)4567", 310},
        {"(00)376104250021234569(01)09520123456788(17)261231(10)ABC123", 376},
        {"(01)09520123456788(3103)000750(400)PO-4711", 288},
        {"(10)abc123(21)X7", 189},
    };
    for (const auto& c : cases) {
        const TBuildResult r = BuildSymbol(bcCodeGS1_128, c.input);
        ASSERT_TRUE(r.ok) << r.error;
        EXPECT_EQ((r.pattern.size() - 7) / 6 * 11 + 13, static_cast<std::size_t>(c.modules))
            << c.input;
    }
}

TEST(Sscc18, CheckDigitAddedOrVerified) {
    const struct {
        const char* input;
        const char* printed; // nullptr: refused with error
        const char* error;
    } cases[] = {
        {"37610425002123456", "(00)376104250021234569", nullptr},
        {"376104250021234569", "(00)376104250021234569", nullptr},
        {" 00000000000000000 ", "(00)000000000000000000", nullptr},
        {"376104250021234561", nullptr, "CodeSSCC18: AI (00): the check digit is 1, it must be 9"},
        {"3761042500212345", nullptr,
         "CodeSSCC18: an SSCC is 17 digits, or 18 with its check digit; \"3761042500212345\" "
         "has 16"},
        {"(00)376104250021234569", nullptr, "Barcode must be numeric"},
    };
    for (const auto& c : cases) {
        for (const bool check : {true, false}) { // the length decides, not the option
            const TBuildResult r = BuildSymbol(bcCodeSSCC18, c.input, check);
            if (!c.printed) {
                EXPECT_EQ(r.error, c.error);
                continue;
            }
            ASSERT_TRUE(r.ok) << r.error;
            EXPECT_EQ(r.text, c.printed);
            const TCode128Reading read = ReadCode128(FromUtf8(r.pattern));
            EXPECT_TRUE(read.Gs1);
            EXPECT_EQ(ToUtf8(read.Text), std::string(c.printed + 1).erase(2, 1));
            // the same symbol as GS1-128 of the element
            EXPECT_EQ(r.pattern, BuildSymbol(bcCodeGS1_128, c.printed).pattern);
        }
    }
}

// EAN-128 A, B and C take the bracketed form too, each all in its own set; a
// code without brackets is encoded as before, a GS in it as FNC1.
TEST(Ean128OneSet, BracketedDataInItsSetOnly) {
    const struct {
        TBarcodeType type;
        const char* input;
        const char* transmitted; // nullptr: refused with error
        const char* error;
    } cases[] = {
        {bcCodeEAN128A, "(01)09520123456788(10)ABC123(21)4567", "010952012345678810ABC123|214567",
         nullptr},
        {bcCodeEAN128B, "(01)09520123456788(10)abc123(21)4567", "010952012345678810abc123|214567",
         nullptr},
        {bcCodeEAN128C, "(01)09520123456788(10)1234(21)4567", "0109520123456788101234|214567",
         nullptr},
        {bcCodeEAN128C, " [00]376104250021234569 ", "00376104250021234569", nullptr},
        {bcCodeEAN128A, "(10)abc", nullptr, "CodeEAN128A: character \"a\" cannot be encoded"},
        {bcCodeEAN128C, "(10)AB", nullptr, "CodeEAN128C: character \"A\" cannot be encoded"},
        {bcCodeEAN128C, "(10)123", nullptr,
         "CodeEAN128C: code set C carries digits in pairs, and \"10123\" has 5 digits"},
        {bcCodeEAN128B, "(01)1", nullptr,
         "CodeEAN128B: AI (01): the data must be 14 digits long, not 1"},
        // without brackets: the data as typed, a GS as the separator FNC1
        {bcCodeEAN128A,
         "10ABC\x1d"
         "21X",
         "10ABC|21X", nullptr},
        {bcCodeEAN128B,
         "10abc\x1d"
         "21x",
         "10abc|21x", nullptr},
        {bcCodeEAN128B, "10abc-1", "10abc-1", nullptr},
        {bcCodeEAN128C, "0112345678901231", "0112345678901231", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        const TBuildResult r = BuildSymbol(c.type, c.input);
        if (!c.transmitted) {
            EXPECT_EQ(r.error, c.error);
            continue;
        }
        ASSERT_TRUE(r.ok) << r.error;
        const TCode128Reading read = ReadCode128(FromUtf8(r.pattern));
        ASSERT_TRUE(read.Ok) << read.Error;
        EXPECT_TRUE(read.Gs1);
        EXPECT_EQ(Shown(read.Text), c.transmitted);
        const int set = c.type - bcCodeEAN128A;
        EXPECT_EQ(read.Values[0], Code128StartA + set);
        for (std::size_t i = 1; i < read.Values.size(); ++i)
            EXPECT_TRUE(read.Values[i] < Code128Shift || read.Values[i] == Code128Fnc1)
                << "value " << read.Values[i] << " changes the set";
    }
}

} // namespace
