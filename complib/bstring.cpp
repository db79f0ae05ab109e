#include "bstring.h"

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

int StrSearch(const QString& SubStr, const QString& S, int Offset, bool CaseSensitive) {
    if (Offset < 1) Offset = 1;
    if (SubStr.isEmpty() || Offset > S.size()) return 0;
    const qsizetype found = CaseSensitive
                                ? S.indexOf(SubStr, Offset - 1)
                                : UpperSameLength(S).indexOf(UpperSameLength(SubStr), Offset - 1);
    return found < 0 ? 0 : static_cast<int>(found) + 1;
}

QString StrToken(const QString& S, const QString& Separator, std::uint8_t Index,
                 bool CaseSensitive) {
    if (OnlyBlanks(S)) return {};
    int start = 1;
    for (int i = 1; i < Index; ++i) {
        const int p = StrSearch(Separator, S, start, CaseSensitive);
        if (p == 0) return {};
        start = p + Len(Separator);
    }
    const int p = StrSearch(Separator, S, start, CaseSensitive);
    const int end = p == 0 ? Len(S) : p - 1;
    return S.mid(start - 1, end - start + 1);
}

QString StrBetween(const QString& StartMark, const QString& EndMark, const QString& S,
                   bool CaseSensitive, bool WithoutStartMark) {
    const int p1 = StrSearch(StartMark, S, 1, CaseSensitive);
    if (p1 == 0) return {};
    const int p2 = StrSearch(EndMark, S, p1 + Len(StartMark), CaseSensitive);
    if (p2 == 0) return {};
    const int from = WithoutStartMark ? p1 + Len(StartMark) : p1;
    return S.mid(from - 1, p2 - from);
}

QString StrDeleteAll(const QString& SubStr, const QString& S, bool CaseSensitive) {
    QString result;
    int copied = 1; // first character of S not yet handled
    for (int p = StrSearch(SubStr, S, 1, CaseSensitive); p != 0;
         p = StrSearch(SubStr, S, copied, CaseSensitive)) {
        result += S.mid(copied - 1, p - copied);
        copied = p + Len(SubStr);
    }
    result += S.mid(copied - 1);
    return result;
}

QString StrReplace(const QString& OldText, const QString& NewText, const QString& S,
                   bool ReplaceAll, bool CaseSensitive) {
    QString result = S;
    int from = 1;
    while (const int p = StrSearch(OldText, result, from, CaseSensitive)) {
        result.replace(p - 1, OldText.size(), NewText);
        if (!ReplaceAll) break;
        from = p + Len(NewText);
    }
    return result;
}

QString StrReplaceBetween(const QString& StartMark, const QString& EndMark, const QString& NewText,
                          const QString& S, bool IncludeEndMark, bool ReplaceAll,
                          bool CaseSensitive) {
    QString result = S;
    int from = 1;
    // Ends: every round either moves the search past the inserted text or, with
    // an empty NewText, removes at least the start mark.
    while (const int p1 = StrSearch(StartMark, result, from, CaseSensitive)) {
        const int p2 = StrSearch(EndMark, result, p1 + Len(StartMark), CaseSensitive);
        if (p2 == 0) break;
        const int spanEnd = IncludeEndMark ? p2 + Len(EndMark) : p2; // exclusive
        result.replace(p1 - 1, spanEnd - p1, NewText);
        if (!ReplaceAll) break;
        from = p1 + Len(NewText);
    }
    return result;
}

QString TrimBlanks(const QString& S) {
    qsizetype first = 0;
    qsizetype last = S.size();
    while (first < last && S[first].unicode() <= u' ')
        ++first;
    while (last > first && S[last - 1].unicode() <= u' ')
        --last;
    return S.mid(first, last - first);
}
