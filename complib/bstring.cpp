#include "complib/bstring.h"

#include <QLocale>

namespace {

// The locale's mapping is right for letters such as the Turkish dotted i, but
// it may lengthen a text (German sharp s becomes SS) and then positions would
// no longer match the original; such texts fall back to the per-character
// mapping, which keeps every length.
QString UpperSameLength(const QString& s) {
    QString upper = QLocale().toUpper(s);
    if (upper.size() == s.size()) return upper;
    upper = s;
    for (QChar& c : upper)
        c = c.toUpper();
    return upper;
}

// Blanks in the old sense: the space and every control character below it.
bool OnlyBlanks(const QString& s) {
    for (QChar c : s)
        if (c.unicode() > u' ') return false;
    return true;
}

int Len(const QString& s) {
    return static_cast<int>(s.size());
}

} // namespace

TStrFinder::TStrFinder(const QString& S, bool CaseSensitive)
    : FText(CaseSensitive ? S : UpperSameLength(S)), FCaseSensitive(CaseSensitive) {}

int TStrFinder::Find(const QString& SubStr, int Offset) const {
    if (Offset < 1) Offset = 1;
    if (SubStr.isEmpty() || Offset > FText.size()) return 0;
    const qsizetype found =
        FText.indexOf(FCaseSensitive ? SubStr : UpperSameLength(SubStr), Offset - 1);
    return found < 0 ? 0 : static_cast<int>(found) + 1;
}

int StrSearch(const QString& SubStr, const QString& S, int Offset, bool CaseSensitive) {
    // Nothing to upper-case when there is nothing to find.
    if (SubStr.isEmpty() || Offset > S.size()) return 0;
    return TStrFinder(S, CaseSensitive).Find(SubStr, Offset);
}

QString StrToken(const QString& S, const QString& Separator, std::uint8_t Index,
                 bool CaseSensitive) {
    if (OnlyBlanks(S)) return {};
    const TStrFinder finder(S, CaseSensitive);
    int start = 1;
    for (int i = 1; i < Index; ++i) {
        const int p = finder.Find(Separator, start);
        if (p == 0) return {};
        start = p + Len(Separator);
    }
    const int p = finder.Find(Separator, start);
    const int end = p == 0 ? Len(S) : p - 1;
    return S.mid(start - 1, end - start + 1);
}

QString StrBetween(const QString& StartMark, const QString& EndMark, const QString& S,
                   bool CaseSensitive, bool WithoutStartMark) {
    const TStrFinder finder(S, CaseSensitive);
    const int p1 = finder.Find(StartMark, 1);
    if (p1 == 0) return {};
    const int p2 = finder.Find(EndMark, p1 + Len(StartMark));
    if (p2 == 0) return {};
    const int from = WithoutStartMark ? p1 + Len(StartMark) : p1;
    return S.mid(from - 1, p2 - from);
}

QString StrDeleteAll(const QString& SubStr, const QString& S, bool CaseSensitive) {
    return StrReplace(SubStr, QString(), S, true, CaseSensitive);
}

// The replacements are made in one pass over S: every search goes on after
// the last replaced text, so inserted text is never searched, and whatever
// precedes it no longer matters.
QString StrReplace(const QString& OldText, const QString& NewText, const QString& S,
                   bool ReplaceAll, bool CaseSensitive) {
    const TStrFinder finder(S, CaseSensitive);
    int p = finder.Find(OldText, 1);
    if (p == 0) return S;
    QString result;
    int copied = 1; // first character of S not yet handled
    for (; p != 0; p = ReplaceAll ? finder.Find(OldText, copied) : 0) {
        result += QStringView(S).mid(copied - 1, p - copied);
        result += NewText;
        copied = p + Len(OldText);
    }
    result += QStringView(S).mid(copied - 1);
    return result;
}

QString StrReplaceBetween(const QString& StartMark, const QString& EndMark, const QString& NewText,
                          const QString& S, bool IncludeEndMark, bool ReplaceAll,
                          bool CaseSensitive) {
    const TStrFinder finder(S, CaseSensitive);
    QString result;
    int copied = 1;
    while (const int p1 = finder.Find(StartMark, copied)) {
        const int p2 = finder.Find(EndMark, p1 + Len(StartMark));
        if (p2 == 0) break;
        result += QStringView(S).mid(copied - 1, p1 - copied);
        result += NewText;
        copied = IncludeEndMark ? p2 + Len(EndMark) : p2; // the span ends before it
        if (!ReplaceAll) break;
    }
    if (copied == 1) return S;
    result += QStringView(S).mid(copied - 1);
    return result;
}

QString StrTrim(const QString& S) {
    qsizetype from = 0;
    while (from < S.size() && S[from].unicode() <= u' ')
        ++from;
    return StrTrimRight(S.mid(from));
}

QString StrTrimRight(const QString& S) {
    qsizetype to = S.size();
    while (to > 0 && S[to - 1].unicode() <= u' ')
        --to;
    return S.left(to);
}
