#include "bstring.h"

#include <gtest/gtest.h>

namespace {

struct SearchCase {
    const char16_t* Sub;
    const char16_t* S;
    int Offset;
    bool CaseSensitive;
    int Expected;
};

TEST(StrSearch, Positions) {
    const SearchCase cases[] = {
        {u"b", u"abcb", 3, true, 4},   {u"b", u"abcb", 0, true, 2},
        {u"b", u"abcb", -5, true, 2},  {u"b", u"abcb", 4, true, 4}, // offset on the last character
        {u"b", u"abcb", 5, true, 0},                                // offset past the end
        {u"B", u"abc", 1, false, 2},   {u"B", u"abc", 1, true, 0},
        {u"", u"abc", 1, true, 0},     {u"a", u"", 1, true, 0},
        {u"abcd", u"abc", 1, true, 0}, {u"aa", u"aaa", 2, true, 2}, // overlaps the match at 1
        {u"č", u"ŠČ", 1, false, 2},                                 // national letters fold too
        {u"X", u"ßx", 1, false, 2}, // ß would become SS and shift the position
    };
    for (const auto& c : cases)
        EXPECT_EQ(StrSearch(QString::fromUtf16(c.Sub), QString::fromUtf16(c.S), c.Offset,
                            c.CaseSensitive),
                  c.Expected)
            << QString::fromUtf16(c.Sub).toStdString() << " in "
            << QString::fromUtf16(c.S).toStdString() << " from " << c.Offset;
}

struct TokenCase {
    const char16_t* S;
    const char16_t* Sep;
    int Index;
    bool CaseSensitive;
    const char16_t* Expected;
};

TEST(StrToken, Fields) {
    const TokenCase cases[] = {
        {u"a;b;;c", u";", 0, true, u"a"},    {u"a;b;;c", u";", 1, true, u"a"},
        {u"a;b;;c", u";", 2, true, u"b"},    {u"a;b;;c", u";", 3, true, u""},
        {u"a;b;;c", u";", 4, true, u"c"},    {u"a;b;;c", u";", 5, true, u""},
        {u"a;b;;c", u";", 255, true, u""},   {u"   ", u";", 1, true, u""},
        {u"\t\r\n", u";", 0, true, u""},     {u"", u";", 1, true, u""},
        {u" a ; b ", u";", 2, true, u" b "}, // fields are not trimmed
        {u"a;", u";", 2, true, u""},         {u";a", u";", 1, true, u""},
        {u"a<>b<>c", u"<>", 3, true, u"c"},  {u"aXbxc", u"x", 1, true, u"aXb"},
        {u"aXbxc", u"x", 3, false, u"c"},    {u"abc", u"", 1, true, u"abc"},
        {u"abc", u"", 2, true, u""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StrToken(QString::fromUtf16(c.S), QString::fromUtf16(c.Sep),
                           static_cast<std::uint8_t>(c.Index), c.CaseSensitive),
                  QString::fromUtf16(c.Expected))
            << QString::fromUtf16(c.S).toStdString() << " #" << c.Index;
}

struct BetweenCase {
    const char16_t* Start;
    const char16_t* End;
    const char16_t* S;
    bool CaseSensitive;
    bool WithoutStartMark;
    const char16_t* Expected;
};

TEST(StrBetween, Spans) {
    const BetweenCase cases[] = {
        {u"<VAR>", u"</VAR>", u"x<VAR>name</VAR>y", false, false, u"<VAR>name"},
        {u"<VAR>", u"</VAR>", u"x<VAR>name</VAR>y", false, true, u"name"},
        {u"<VAR>", u"</VAR>", u"x<var>name</var>y", false, true, u"name"},
        {u"<VAR>", u"</VAR>", u"x<var>name</var>y", true, true, u""},
        {u"<VAR>", u"</VAR>", u"x<VAR>name", false, false, u""},
        {u"<VAR>", u"</VAR>", u"</VAR>x<VAR>", false, false, u""}, // end mark only before
        {u"<VAR>", u"</VAR>", u"<VAR></VAR>", false, true, u""},
        {u"<<", u"<", u"a<<b<c", true, true, u"b"}, // end mark searched after the start mark
        {u"", u">", u"a>b", true, false, u""},
        {u"<", u"", u"a<b", true, false, u""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StrBetween(QString::fromUtf16(c.Start), QString::fromUtf16(c.End),
                             QString::fromUtf16(c.S), c.CaseSensitive, c.WithoutStartMark),
                  QString::fromUtf16(c.Expected))
            << QString::fromUtf16(c.S).toStdString();
}

struct DeleteCase {
    const char16_t* Sub;
    const char16_t* S;
    bool CaseSensitive;
    const char16_t* Expected;
};

TEST(StrDeleteAll, Deletes) {
    const DeleteCase cases[] = {
        {u"ab", u"xABabx", false, u"xx"}, {u"ab", u"xABabx", true, u"xABx"},
        {u"aa", u"aaa", true, u"a"}, // matches do not overlap
        {u"a", u"aaa", true, u""},        {u"", u"abc", true, u"abc"},
        {u"z", u"abc", true, u"abc"},     {u"ab", u"", true, u""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StrDeleteAll(QString::fromUtf16(c.Sub), QString::fromUtf16(c.S), c.CaseSensitive),
                  QString::fromUtf16(c.Expected))
            << QString::fromUtf16(c.S).toStdString();
}

struct ReplaceCase {
    const char16_t* Old;
    const char16_t* New;
    const char16_t* S;
    bool All;
    bool CaseSensitive;
    const char16_t* Expected;
};

TEST(StrReplace, Replaces) {
    const ReplaceCase cases[] = {
        {u"a", u"aa", u"aXa", true, true, u"aaXaa"}, // inserted text is not searched again
        {u"a", u"aa", u"aXa", false, true, u"aaXa"}, {u"A", u"b", u"aXa", true, false, u"bXb"},
        {u"A", u"b", u"aXa", true, true, u"aXa"},    {u"a", u"", u"banana", true, true, u"bnn"},
        {u"aa", u"b", u"aaa", true, true, u"ba"},    {u"", u"x", u"abc", true, true, u"abc"},
        {u"abc", u"x", u"ab", true, true, u"ab"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StrReplace(QString::fromUtf16(c.Old), QString::fromUtf16(c.New),
                             QString::fromUtf16(c.S), c.All, c.CaseSensitive),
                  QString::fromUtf16(c.Expected))
            << QString::fromUtf16(c.S).toStdString();
}

struct ReplaceBetweenCase {
    const char16_t* Start;
    const char16_t* End;
    const char16_t* New;
    const char16_t* S;
    bool IncludeEnd;
    bool All;
    bool CaseSensitive;
    const char16_t* Expected;
};

TEST(StrReplaceBetween, Replaces) {
    const ReplaceBetweenCase cases[] = {
        {u"<", u">", u"#", u"1<x>2<y>3", false, true, true, u"1#>2#>3"},
        {u"<", u">", u"#", u"1<x>2<y>3", true, true, true, u"1#2#3"},
        {u"<", u">", u"#", u"1<x>2<y>3", true, false, true, u"1#2<y>3"},
        {u"<", u">", u"", u"1<x>2<y>3", true, true, true, u"123"},
        {u"<", u">", u"<", u"1<x>2<y>3", true, true, true, u"1<2<3"}, // NewText holds the mark
        {u"<", u">", u"#", u"1<x2", true, true, true, u"1<x2"},
        {u"<b>", u"</B>", u"#", u"1<B>x</b>2", true, true, false, u"1#2"},
        {u"<b>", u"</B>", u"#", u"1<B>x</b>2", true, true, true, u"1<B>x</b>2"},
        {u"", u">", u"#", u"1<x>2", true, true, true, u"1<x>2"},
        {u"<", u"", u"#", u"1<x>2", true, true, true, u"1<x>2"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StrReplaceBetween(QString::fromUtf16(c.Start), QString::fromUtf16(c.End),
                                    QString::fromUtf16(c.New), QString::fromUtf16(c.S),
                                    c.IncludeEnd, c.All, c.CaseSensitive),
                  QString::fromUtf16(c.Expected))
            << QString::fromUtf16(c.S).toStdString();
}

} // namespace
