#include "complib/bstring.h"

#include <QStringList>
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
        {u"a", u"aa", u"aXa", false, true, u"aaXa"},
        {u"A", u"b", u"aXa", true, false, u"bXb"},
        {u"A", u"b", u"aXa", true, true, u"aXa"},
        {u"a", u"", u"banana", true, true, u"bnn"},
        {u"aa", u"b", u"aaa", true, true, u"ba"},
        {u"", u"x", u"abc", true, true, u"abc"},
        {u"abc", u"x", u"ab", true, true, u"ab"},
        {u"x", u"-", u"\u00dfxX\u00df", true, false, u"\u00df--\u00df"}, // ß keeps positions
        {u"SS", u"-", u"\u00dfSSss", true, false, u"\u00df--"},          // ß is no SS here
        {u"\u010d", u"c", u"\u010c\u010d\u0160", true, false, u"cc\u0160"},
        {u"ab", u"X", u"ABab", false, false, u"Xab"},
        {u"ab", u"", u"abXab", true, false, u"X"}, // at the very start and end
        // Every match is replaced whatever the replacement holds (a ß in it
        // once switched later searches to the per-character mapping).
        {u"\U00010400", u"\u00df", u"\U00010428x\U00010428", true, false, u"\u00dfx\u00df"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StrReplace(QString::fromUtf16(c.Old), QString::fromUtf16(c.New),
                             QString::fromUtf16(c.S), c.All, c.CaseSensitive),
                  QString::fromUtf16(c.Expected))
            << QString::fromUtf16(c.S).toStdString();
}

// The replacements as made round by round, searching the text as it has
// become after each: one pass over the original text must give the same.
QString ReplaceRoundByRound(const QString& Old, const QString& New, const QString& S, bool All,
                            bool CaseSensitive) {
    QString result = S;
    int from = 1;
    while (const int p = StrSearch(Old, result, from, CaseSensitive)) {
        result.replace(p - 1, Old.size(), New);
        if (!All) break;
        from = p + static_cast<int>(New.size());
    }
    return result;
}

QString ReplaceBetweenRoundByRound(const QString& Start, const QString& End, const QString& New,
                                   const QString& S, bool IncludeEnd, bool CaseSensitive) {
    QString result = S;
    int from = 1;
    while (const int p1 = StrSearch(Start, result, from, CaseSensitive)) {
        const int p2 = StrSearch(End, result, p1 + static_cast<int>(Start.size()), CaseSensitive);
        if (p2 == 0) break;
        const int spanEnd = IncludeEnd ? p2 + static_cast<int>(End.size()) : p2;
        result.replace(p1 - 1, spanEnd - p1, New);
        from = p1 + static_cast<int>(New.size());
    }
    return result;
}

// Every text of up to four letters from a small alphabet with case pairs,
// a national letter and ß, against patterns of both cases.
TEST(StrReplace, OnePassAsRoundByRound) {
    const QString alphabet = u"aB\u00dfx\u010d"_qs;
    QStringList texts{QString()};
    for (qsizetype n = 0; n < texts.size() && texts[n].size() < 4; ++n)
        for (QChar c : alphabet)
            texts.append(texts[n] + c);
    const QStringList olds = {u"a"_qs, u"ab"_qs, u"AB"_qs, u"\u00dfA"_qs, u"\u010cX"_qs};
    const QStringList news = {QString(), u"Ab"_qs};
    for (const QString& s : texts)
        for (const QString& o : olds)
            for (const QString& n : news)
                for (const bool cs : {true, false}) {
                    for (const bool all : {true, false})
                        ASSERT_EQ(StrReplace(o, n, s, all, cs),
                                  ReplaceRoundByRound(o, n, s, all, cs))
                            << s.toStdString() << ": " << o.toStdString() << " to "
                            << n.toStdString();
                    ASSERT_EQ(StrDeleteAll(o, s, cs), ReplaceRoundByRound(o, {}, s, true, cs))
                        << s.toStdString() << ": " << o.toStdString();
                    for (const bool inc : {true, false})
                        ASSERT_EQ(StrReplaceBetween(o.left(1), o.right(1), n, s, inc, true, cs),
                                  ReplaceBetweenRoundByRound(o.left(1), o.right(1), n, s, inc, cs))
                            << s.toStdString() << ": " << o.toStdString();
                }
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
