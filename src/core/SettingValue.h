#pragma once

#include <QString>

// Readers of setting values follow a few fixed rules; they live here so each is written once.
namespace SettingValue {

// The longest leading decimal number of the trimmed text ('.' as decimal point), 0 when there is
// none. An optional '+' or '-' directly before the digits belongs to the number, since window
// coordinates are negative on a screen left of or above the primary one.
double numeric(const QString &text);

// numeric() as a whole number (fraction dropped), clamped to the int range so that a hand-edited
// "99999999999" cannot overflow a window size or position.
int wholeNumber(const QString &text);

// The value without one final NUL character (code 0), if it has one.
QString dropFinalNul(const QString &text);

// Trimmed and upper-cased, for the comparisons against "YES" and "NO".
QString upperTrimmed(const QString &text);

// True when the trimmed, upper-cased text equals "YES".
bool isYes(const QString &text);

} // namespace SettingValue
