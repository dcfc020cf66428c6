#include "browsing/colourbar.h"

#include "browsing/pagetools.h"
#include "core/fileclasses.h"
#include "mainwindow/frmexplorer.h"
#include "mainwindow/hovertracking.h"
#include "mainwindow/skinvalues.h"
#include "platform/base/textfile.h"
#include "platform/base/vbrt.h"

#include <QDir>
#include <QUrl>

#include <cmath>

namespace {

const char* const kColours[26] = {"White", "LightYellow", "LightCyan", "Yellow", "LightBlue", "LightGrey",
                                  "LightPink", "Gold", "LightGreen", "Silver", "LightSteelBlue", "LightSkyBlue",
                                  "Cyan", "Violet", "Orange", "LightCoral", "LightSeaGreen", "Gray",
                                  "Magenta", "Brown", "Green", "Red", "Maroon", "Blue", "Navy", "Black"};

// The hover tracking's code of the colour bar.
constexpr int16_t kColourBarElement = 3200;

// The number of cell widths of the bar, a whole number.
double cellCount()
{
    return vb::roundHalfEven(SkinNumber(149));
}

QString jsString(const QString& text)
{
    QString out = QStringLiteral("'");
    for (const QChar c : text) {
        if (c == QLatin1Char('\'') || c == QLatin1Char('\\'))
            out += QLatin1Char('\\');
        out += c;
    }
    return out + QLatin1Char('\'');
}

} // namespace

QString ColourCellName(int cell)
{
    return cell >= 0 && cell < 26 ? QString::fromLatin1(kColours[cell]) : QString();
}

ColourBarCells ColourBarGeometry(double width, double n)
{
    if (!(n > 0) || !std::isfinite(width))
        return {};
    const double cw = width / n;
    return {cw, (width - 26 * cw) / 2};
}

std::optional<int> ColourCellAt(double width, double n, double x)
{
    const ColourBarCells g = ColourBarGeometry(width, n);
    if (x <= g.margin)
        return std::nullopt;
    const double divisor = vb::roundHalfEven(g.cellWidth);
    if (divisor == 0)
        return std::nullopt;
    return static_cast<int>(std::trunc(vb::roundHalfEven(x - g.margin) / divisor));
}

void ColourBar_MouseMove(frmExplorer& f, double x)
{
    const auto& bar = f.ImageBox[imagebox::ColourBar];
    const double top = SkinNumber(154) + bar.top();
    const ColourBarCells g = ColourBarGeometry(bar.width(), cellCount());
    if (const auto cell = ColourCellAt(bar.width(), cellCount(), x); cell && *cell >= 0 && *cell <= 25) {
        f.ColorBarMarker->setVisible(true);
        f.ColorBarMarker->zOrder(0);
        f.ColorBarMarker->move(bar.left() + g.margin + *cell * g.cellWidth, top, g.cellWidth, g.cellWidth);
    }
    f.Hover().SetHoverElementId(kColourBarElement);
}

void ColourBar_MouseUp(frmExplorer& f, platform::browser::IBrowser* page, int button, double x)
{
    f.ColorBarMarker->setVisible(false);
    const auto cell = ColourCellAt(f.ImageBox[imagebox::ColourBar].width(), cellCount(), x);
    if (!cell || !page)
        return;
    const QString command = button == 1 ? QStringLiteral("ForeColor") : QStringLiteral("BackColor");
    page->runScript(QStringLiteral("document.execCommand(%1, false, %2);")
                        .arg(jsString(command), jsString(ColourCellName(*cell))));
}

UrlShortcutData::UrlShortcutData(const QString& url, const QString& title, const QString& folder) : url_(url)
{
    if (url.isEmpty() || IsBlankPageUrl(url) || folder.isEmpty())
        return;
    QString name = PageTools::SafeTitle(title);
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        name = QStringLiteral("Shortcut");
    path_ = QDir(folder).filePath(name + QStringLiteral(".url"));
}

QStringList UrlShortcutData::formats() const
{
    return path_.isEmpty() ? QStringList() : QStringList{QStringLiteral("text/uri-list")};
}

bool UrlShortcutData::hasFormat(const QString& mimeType) const
{
    return formats().contains(mimeType);
}

QVariant UrlShortcutData::retrieveData(const QString& mimeType, QMetaType type) const
{
    if (path_.isEmpty() || mimeType != QLatin1String("text/uri-list"))
        return QMimeData::retrieveData(mimeType, type);
    // A shortcut that cannot be written still offers its path.
    const QByteArray text = "[InternetShortcut]\r\nURL=" + url_.toUtf8() + "\r\n";
    platform::textfile::writeAtomically(path_, text);
    return QVariant(QList<QVariant>{QUrl::fromLocalFile(path_)});
}
