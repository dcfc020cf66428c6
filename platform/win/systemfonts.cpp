#include "platform/win/systemfonts.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>

#include <map>

namespace platform::systemfonts {

namespace {

std::map<FontHandle, QFont>& fonts()
{
    static std::map<FontHandle, QFont> all;
    return all;
}

FontHandle nextHandle = 0x00F00000;

bool haveGui()
{
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

} // namespace

FontDescription describe(const QFont& font)
{
    FontDescription d;
    d.face = font.family();
    d.pixelHeight = QFontInfo(font).pixelSize();
    d.weight = static_cast<int>(font.weight());
    d.italic = font.italic();
    d.underline = font.underline();
    d.strikeOut = font.strikeOut();
    return d;
}

bool readNonClientMetrics(NonClientMetrics& metrics)
{
    if (!haveGui())
        return false;
    metrics.caption = describe(QFontDatabase::systemFont(QFontDatabase::TitleFont));
    metrics.smallCaption = describe(QFontDatabase::systemFont(QFontDatabase::SmallestReadableFont));
    metrics.menu = describe(QApplication::font("QMenu"));
    metrics.status = describe(QApplication::font("QStatusBar"));
    metrics.message = describe(QApplication::font("QMessageBox"));
    return true;
}

bool readIconTitleFont(FontDescription& font)
{
    if (!haveGui())
        return false;
    font = describe(QApplication::font());
    return true;
}

FontHandle createFont(const FontDescription& description)
{
    QFont f;
    if (!description.face.isEmpty())
        f.setFamily(description.face);
    if (description.pixelHeight > 0)
        f.setPixelSize(description.pixelHeight);
    f.setWeight(static_cast<QFont::Weight>(std::clamp(description.weight, 1, 1000)));
    f.setItalic(description.italic);
    f.setUnderline(description.underline);
    f.setStrikeOut(description.strikeOut);
    const FontHandle h = nextHandle++;
    fonts()[h] = f;
    return h;
}

bool deleteFont(FontHandle font)
{
    return fonts().erase(font) > 0;
}

std::optional<QFont> fontOf(FontHandle font)
{
    auto it = fonts().find(font);
    if (it == fonts().end())
        return std::nullopt;
    return it->second;
}

} // namespace platform::systemfonts
