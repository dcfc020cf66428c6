#include "browsing/tabstaterecord.h"

#include "platform/base/vbrt.h"

#include <QStringList>

namespace {

std::optional<int16_t> integerOf(const QString& text)
{
    // Read as the old runtime converted text to an Integer.
    const auto n = vb::toNumber(text);
    if (!n)
        return std::nullopt;
    return vb::toInt16(*n);
}

} // namespace

int16_t TabStateFieldOf(const QString& record, int field)
{
    const QStringList parts = record.split(QLatin1Char('|'));
    if (field < 0 || field >= parts.size())
        return 0;
    return integerOf(parts[field]).value_or(0);
}

QString TabStateWithField(const QString& record, int field, int16_t value)
{
    if (record.isEmpty())
        return record;
    QStringList parts = record.split(QLatin1Char('|'));
    if (field >= 0 && field < parts.size())
        parts[field] = QString::number(value);
    return parts.join(QLatin1Char('|'));
}

QString TabStateWithoutChild(const QString& record, int16_t child)
{
    const QStringList parts = record.split(QLatin1Char('|'));
    if (parts.size() < FieldFirstChild)
        return record;
    QStringList out = parts.mid(0, FieldFirstChild);
    for (int i = FieldFirstChild; i < parts.size(); ++i) {
        if (integerOf(parts[i]) != child)
            out << parts[i];
    }
    return out.join(QLatin1Char('|'));
}
