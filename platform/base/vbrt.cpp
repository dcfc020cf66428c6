#include "platform/base/vbrt.h"

#include <cmath>
#include <limits>

namespace vb {

double roundHalfEven(double value)
{
    return std::nearbyint(value); // the default rounding mode is to nearest even
}

std::optional<int16_t> toInt16(double value)
{
    const double r = roundHalfEven(value);
    if (!std::isfinite(r) || r < std::numeric_limits<int16_t>::min() || r > std::numeric_limits<int16_t>::max())
        return std::nullopt;
    return static_cast<int16_t>(r);
}

std::optional<int32_t> toInt32(double value)
{
    const double r = roundHalfEven(value);
    if (!std::isfinite(r) || r < std::numeric_limits<int32_t>::min() || r > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    return static_cast<int32_t>(r);
}

namespace {

struct Parsed {
    double value = 0;
    int consumed = 0;  // characters of the number, 0 when none
};

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r');
}

// Reads a number at the start of s (after leading white space), with blanks
// allowed between digits as Val allows them.
Parsed parseLeading(const QString& s, bool allowInnerBlanks)
{
    Parsed p;
    int i = 0;
    const int n = s.size();
    while (i < n && isBlank(s[i]))
        ++i;
    if (i + 1 < n && s[i] == QLatin1Char('&')) {
        const QChar k = s[i + 1].toUpper();
        int base = k == QLatin1Char('H') ? 16 : (k == QLatin1Char('O') ? 8 : 0);
        if (base) {
            int j = i + 2;
            uint64_t v = 0;
            int digits = 0;
            while (j < n) {
                const int d = QString(s[j]).toInt(nullptr, base == 16 ? 16 : 8);
                const bool ok = base == 16 ? QStringLiteral("0123456789ABCDEFabcdef").contains(s[j])
                                           : QStringLiteral("01234567").contains(s[j]);
                if (!ok)
                    break;
                v = v * base + static_cast<uint64_t>(d);
                ++digits;
                ++j;
            }
            if (!digits)
                return p;
            // "&H" numbers of up to 4 digits are 16-bit, longer ones 32-bit,
            // both signed as the old runtime read them.
            if (digits <= 4 && v <= 0xFFFF)
                p.value = static_cast<int16_t>(static_cast<uint16_t>(v));
            else
                p.value = static_cast<int32_t>(static_cast<uint32_t>(v));
            p.consumed = j;
            return p;
        }
    }
    QString text;
    int j = i;
    if (j < n && (s[j] == QLatin1Char('+') || s[j] == QLatin1Char('-')))
        text += s[j++];
    bool digits = false, dot = false, exp = false;
    int lastGood = 0;
    while (j < n) {
        const QChar c = s[j];
        if (c.isDigit() && c.unicode() < 128) {
            text += c;
            digits = true;
            lastGood = j + 1;
        } else if (c == QLatin1Char('.') && !dot && !exp) {
            text += c;
            dot = true;
            if (digits)
                lastGood = j + 1;
        } else if ((c == QLatin1Char('e') || c == QLatin1Char('E') || c == QLatin1Char('d') || c == QLatin1Char('D'))
                   && digits && !exp) {
            // an exponent counts only when digits follow it
            int k = j + 1;
            QString e = QStringLiteral("e");
            if (k < n && (s[k] == QLatin1Char('+') || s[k] == QLatin1Char('-')))
                e += s[k++];
            if (k < n && s[k].isDigit()) {
                text += e;
                exp = true;
                j = k;
                continue;
            }
            break;
        } else if (allowInnerBlanks && isBlank(c)) {
            // skipped
        } else {
            break;
        }
        ++j;
    }
    if (!digits)
        return p;
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok)
        return p;
    p.value = v;
    p.consumed = exp ? j : lastGood;
    return p;
}

} // namespace

double val(const QString& text)
{
    return parseLeading(text, true).value;
}

std::optional<double> toNumber(const QString& text)
{
    const Parsed p = parseLeading(text, false);
    if (!p.consumed)
        return std::nullopt;
    for (int i = p.consumed; i < text.size(); ++i)
        if (!isBlank(text[i]))
            return std::nullopt;
    return p.value;
}

bool isNumeric(const QString& text)
{
    return toNumber(text).has_value();
}

QString ltrim(const QString& s)
{
    int i = 0;
    while (i < s.size() && s[i] == QLatin1Char(' '))
        ++i;
    return s.mid(i);
}

QString rtrim(const QString& s)
{
    int n = s.size();
    while (n > 0 && s[n - 1] == QLatin1Char(' '))
        --n;
    return s.left(n);
}

QString trim(const QString& s)
{
    return ltrim(rtrim(s));
}

QString mid(const QString& s, int start, int length)
{
    if (start < 1 || start > s.size())
        return {};
    return length < 0 ? s.mid(start - 1) : s.mid(start - 1, length);
}

QString left(const QString& s, int length)
{
    return length <= 0 ? QString() : s.left(length);
}

QString right(const QString& s, int length)
{
    return length <= 0 ? QString() : s.right(length);
}

int inStr(int start, const QString& haystack, const QString& needle, Qt::CaseSensitivity cs)
{
    if (start < 1 || start > haystack.size() + 1)
        return 0;
    if (needle.isEmpty())
        return start;
    const qsizetype at = haystack.indexOf(needle, start - 1, cs);
    return at < 0 ? 0 : static_cast<int>(at) + 1;
}

int inStrRev(const QString& haystack, const QString& needle, Qt::CaseSensitivity cs)
{
    if (needle.isEmpty())
        return static_cast<int>(haystack.size());
    const qsizetype at = haystack.lastIndexOf(needle, -1, cs);
    return at < 0 ? 0 : static_cast<int>(at) + 1;
}

QString numberText(double value)
{
    if (std::isfinite(value) && value == std::trunc(value) && std::fabs(value) < 1e15)
        return QString::number(static_cast<qint64>(value));
    return QString::number(value, 'g', 15);
}

QString hex(uint32_t value)
{
    return QString::number(value, 16).toUpper();
}

QString format(double value, const QString& pattern)
{
    const qsizetype point = pattern.indexOf(QLatin1Char('.'));
    const QString integerPart = point < 0 ? pattern : pattern.left(point);
    const QString decimalPart = point < 0 ? QString() : pattern.mid(point + 1);
    const int decimals = static_cast<int>(decimalPart.count(QLatin1Char('0')) + decimalPart.count(QLatin1Char('#')));
    const int minimumDigits = static_cast<int>(integerPart.count(QLatin1Char('0')));
    if (!std::isfinite(value))
        return QString::number(value);
    const double scale = std::pow(10.0, decimals);
    const double scaled = std::round(std::fabs(value) * scale); // half away from zero
    const bool negative = value < 0 && scaled > 0;
    QString digits = QString::number(scaled, 'f', 0);
    while (digits.size() < decimals + 1)
        digits.prepend(QLatin1Char('0'));
    QString whole = digits.left(digits.size() - decimals);
    const QString fraction = digits.right(decimals);
    while (whole.size() > 1 && whole.startsWith(QLatin1Char('0')))
        whole.remove(0, 1);
    if (whole == QLatin1String("0") && minimumDigits == 0)
        whole.clear();
    while (whole.size() < minimumDigits)
        whole.prepend(QLatin1Char('0'));
    QString out = negative ? QStringLiteral("-") : QString();
    out += whole;
    if (decimals > 0)
        out += QLatin1Char('.') + fraction;
    return out;
}

QString formatClockDate(const QDateTime& time)
{
    const QTime t = time.time();
    const QDate d = time.date();
    const int hour12 = t.hour() % 12 == 0 ? 12 : t.hour() % 12;
    return QStringLiteral("%1:%2%3 %4/%5/%6")
        .arg(hour12, 2, 10, QLatin1Char('0'))
        .arg(t.minute(), 2, 10, QLatin1Char('0'))
        .arg(t.hour() < 12 ? QStringLiteral("AM") : QStringLiteral("PM"))
        .arg(d.month(), 2, 10, QLatin1Char('0'))
        .arg(d.day(), 2, 10, QLatin1Char('0'))
        .arg(d.year(), 4, 10, QLatin1Char('0'));
}

} // namespace vb
