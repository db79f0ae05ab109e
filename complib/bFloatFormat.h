// Numbers to text and back in the classic float-format picture notation:
//
//   0        digit placeholder that always gives a digit (a zero if need be)
//   #        digit placeholder that gives a digit only where the number has one
//   .        place of the decimal separator (the first one counts, others are ignored)
//   ,        anywhere: group the integer digits by three with the thousands separator
//   E+ E- e+ e-  scientific notation; the zeros that follow give the least number of
//            exponent digits; "+" shows the sign of every exponent, "-" only a minus
//   'x' "x"  literal text
//   ;        separates the sections for positive, negative and zero values
//
// Other characters are copied as they stand. Characters placed between the
// integer placeholders (as in "# ### ##0.00") only appear once a digit has been
// written before them, so small numbers get no leading blanks. A number rounds
// half away from zero to the places the picture has; one that rounds to zero is
// shown as zero. An empty picture, or an empty section that would be used, gives
// the general form with up to 15 significant digits.
#pragma once

#include <QChar>
#include <QString>

#include <optional>

QString FormatFloat(const QString& Format, double Value, QChar DecimalSeparator,
                    QChar ThousandSeparator);

// The general form: up to 15 significant digits, scientific ("1.5E-7", "1E20")
// when the decimal exponent is below -4 or above 14.
QString FloatToStrGeneral(double Value, QChar DecimalSeparator);

// Blanks around, a sign, digits with at most one DecimalSeparator, and an
// optional exponent (E or e, a sign, digits). Nothing when the text is anything
// else or the number is too large for a double; a number too small becomes 0.
std::optional<double> StrToFloat(const QString& S, QChar DecimalSeparator);

// The locale's thousands separator, unless it is the decimal separator in use
// (a separator overridden for tests or by the program), then the other of "." and ",".
QChar ThousandSepFor(QChar DecimalSeparator);
