// Text routines shared by the library: search, cut out, delete and replace
// pieces of a text. Positions are 1-based character (UTF-16 unit) indexes and
// 0 means "not found". With CaseSensitive false both texts are compared
// upper-cased; upper-casing never changes a length here, so a position found in
// the upper-cased copy is valid in the original text.
#pragma once

#include <QString>

#include <cstdint>

// First occurrence of SubStr in S starting at or after Offset (below 1 counts as 1);
// 0 when there is none, when SubStr is empty or when Offset lies beyond the end of S.
int StrSearch(const QString& SubStr, const QString& S, int Offset, bool CaseSensitive);

// One text searched many times by StrSearch's rules. Without CaseSensitive the
// text is upper-cased once here rather than for every search, so walking
// through a long text match by match stays linear.
class TStrFinder {
public:
    TStrFinder(const QString& S, bool CaseSensitive);
    // StrSearch(SubStr, S, Offset, CaseSensitive).
    int Find(const QString& SubStr, int Offset) const;

private:
    QString FText; // S, upper-cased without CaseSensitive
    bool FCaseSensitive;
};

// Field Index of S cut at Separator; 0 and 1 both give the first field, a field
// past the last one is empty. A text of blanks and control characters only has
// no fields at all.
QString StrToken(const QString& S, const QString& Separator, std::uint8_t Index,
                 bool CaseSensitive);

// The text from the first StartMark up to (not including) the following EndMark,
// with or without the StartMark itself; empty when either mark is missing.
QString StrBetween(const QString& StartMark, const QString& EndMark, const QString& S,
                   bool CaseSensitive, bool WithoutStartMark);

// S without any (non-overlapping, left to right) occurrence of SubStr.
QString StrDeleteAll(const QString& SubStr, const QString& S, bool CaseSensitive);

// S with the first or every occurrence of OldText replaced by NewText. Inserted
// text is never searched again, so a NewText containing OldText cannot loop.
QString StrReplace(const QString& OldText, const QString& NewText, const QString& S,
                   bool ReplaceAll, bool CaseSensitive);

// S with the span from StartMark up to EndMark (excluded, or included with
// IncludeEndMark) replaced by NewText, once or for every such span.
QString StrReplaceBetween(const QString& StartMark, const QString& EndMark, const QString& NewText,
                          const QString& S, bool IncludeEndMark, bool ReplaceAll,
                          bool CaseSensitive);

// S without blanks and control characters (everything up to the space) at
// both ends, or at its end only.
QString StrTrim(const QString& S);
QString StrTrimRight(const QString& S);
