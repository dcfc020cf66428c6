#pragma once

// The old language runtime's semantics that the program's arithmetic and text
// handling rely on: banker's rounding, Val, blank-only Trim, 1-based Mid and
// InStr. Kept in one place so every caller agrees.

#include <QDateTime>
#include <QString>
#include <cstdint>
#include <optional>

namespace vb {

// Rounds half to even, as integer conversion did ("CInt(2.5) = 2").
double roundHalfEven(double value);

// Conversion to a 16-bit integer; nullopt on overflow (the old runtime raised).
std::optional<int16_t> toInt16(double value);
// Conversion to a 32-bit integer; nullopt on overflow.
std::optional<int32_t> toInt32(double value);

// Conversion of text to a number as the runtime's CInt/CLng did for numeric
// text; nullopt when the text is not a number.
std::optional<double> toNumber(const QString& text);

// Val: the longest leading number of the text ("&H" and "&O" prefixes,
// blanks inside the digits skipped, "." as the decimal point whatever the
// locale); 0 when the text does not begin with a number.
double val(const QString& text);

// True when the text reads as a number (IsNumeric).
bool isNumeric(const QString& text);

// Trim, LTrim, RTrim: remove blanks (U+0020) only, never tabs or newlines.
QString trim(const QString& s);
QString ltrim(const QString& s);
QString rtrim(const QString& s);

// Mid(s, start[, length]) with a 1-based start; an out-of-range start gives "".
QString mid(const QString& s, int start, int length = -1);
QString left(const QString& s, int length);
QString right(const QString& s, int length);

// InStr(start, haystack, needle): 1-based position, 0 when not found. An empty
// needle gives start (when start <= len + 1).
int inStr(int start, const QString& haystack, const QString& needle,
          Qt::CaseSensitivity cs = Qt::CaseSensitive);
inline int inStr(const QString& haystack, const QString& needle,
                 Qt::CaseSensitivity cs = Qt::CaseSensitive)
{
    return inStr(1, haystack, needle, cs);
}
// InStrRev: last 1-based position, 0 when not found.
int inStrRev(const QString& haystack, const QString& needle,
             Qt::CaseSensitivity cs = Qt::CaseSensitive);

// Text form of a number as Str/CStr gave it: integers without decimals,
// others with "." and no exponent for ordinary magnitudes.
QString numberText(double value);

// Hex(n): upper-case hexadecimal digits without a prefix.
QString hex(uint32_t value);

// Format(value, pattern) for numeric patterns of digit places: "0" a digit
// always written, "#" a digit written only when significant, one "." before
// the decimal places ("#.00", "####.00", "0.0"). The value is rounded half
// away from zero to the pattern's decimal places; "." is the separator.
// Format(0.5, "#.00") gives ".50" as the runtime did.
QString format(double value, const QString& pattern);

// Format(time, "hh:mmAM/PM MM/DD/YYYY"): the hour of the 12-hour clock with
// two digits, minutes, "AM" or "PM", a blank, month/day/four-digit year.
QString formatClockDate(const QDateTime& time);

} // namespace vb
