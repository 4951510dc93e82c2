#pragma once
// Numbers as the program reads them from boxes and radio answers and writes them into
// lists and files. One set of rules for the whole program:
//  - numericValue: the number at the start of a text (sign, digits, one point; blanks are
//    skipped wherever they stand); reading stops at the first other character; 0 if none.
//  - isNumber: the whole text is one number (blanks around it, sign, point, exponent).
//  - whole numbers round halves to even; 16-bit fields hold -32768..32767.
//  - shortestText: shortest decimal form, no leading blank, no trailing zeros.
//  - formatFixed: the "#0.0" / "##0.00" / "####0.000" patterns (fixed decimals, at least
//    one digit before the point).
//  - singleText: a value held in single precision, written with at most 7 significant digits.
// The decimal point is always "." whatever the locale.

#include <QString>
#include <cstdint>
#include <optional>

namespace corvane {

double numericValue(const QString &text);
bool isNumber(const QString &text);

// Rounds halves to even (banker's rounding), as whole-number conversions do.
double roundHalfEven(double value);
// Rounds to the given number of decimal places, halves to even.
double roundHalfEvenTo(double value, int decimals);
// Rounded to a whole number; empty when it does not fit a signed 16-bit field.
std::optional<int16_t> toInt16(double value);
// Rounded to a whole number; empty when it does not fit a signed 32-bit field.
std::optional<int32_t> toInt32(double value);

QString shortestText(double value);
QString singleText(double value);

// Fixed decimals with at least one digit before the point; halves away from zero.
QString formatFixed(double value, int decimals);
// The patterns used in lists and files.
inline QString format0_0(double v) {
    return formatFixed(v, 1);
}  // "#0.0"
inline QString format0_00(double v) {
    return formatFixed(v, 2);
}  // "##0.00"
inline QString format0_000(double v) {
    return formatFixed(v, 3);
}  // "####0.000"
// A text formatted with a pattern: numbers are formatted, other texts come back unchanged.
QString formatTextFixed(const QString &text, int decimals);

// Left cuts of a text that never fail: fewer characters than asked gives what there is.
QString leftOf(const QString &text, int count);
QString rightOf(const QString &text, int count);
// The text without its first `front` and last `back` characters; empty when too short.
QString cutMiddle(const QString &text, int front, int back);

}  // namespace corvane
