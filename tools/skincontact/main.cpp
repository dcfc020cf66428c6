// skincontact [--skin NAME] OUT.png
// Creates the registered skin NAME ("Morvane 1" unless told) by its ProgID,
// as the browser does, and writes a contact sheet of it: every picture of the
// skin plan with its identifier, size and depth (a red cell where the skin
// lacks one), and the skin's colour strings as swatches.

#include "core/skinbinding.h"
#include "platform/base/com.h"
#include "skinlib/art/skinart.h"

#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTextStream>

#include <algorithm>

namespace {

constexpr int kSheetWidth = 1280;
constexpr int kMargin = 12;
constexpr int kLabelHeight = 28;

struct Cell {
    int id;
    QImage picture; // null when the skin lacks it
    int scale;
    QSize size;     // the cell's size
    QString label;
};

QImage checkerboard(const QSize& size)
{
    QImage img(size, QImage::Format_RGB32);
    QPainter p(&img);
    for (int y = 0; y < size.height(); y += 6)
        for (int x = 0; x < size.width(); x += 6)
            p.fillRect(x, y, 6, 6, ((x + y) / 6) % 2 ? QColor(0xD8, 0xD8, 0xD8) : QColor(0xF4, 0xF4, 0xF4));
    return img;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);

    QString skinName = QStringLiteral("Morvane 1");
    QString outPath;
    QStringList args = app.arguments();
    args.removeFirst();
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--skin") && i + 1 < args.size())
            skinName = args[++i];
        else if (outPath.isEmpty())
            outPath = args[i];
        else
            outPath.clear(), i = args.size();
    }
    if (outPath.isEmpty()) {
        err << "Usage: skincontact [--skin NAME] OUT.png\n";
        return 1;
    }

    const QString progId = SkinProgId(skinName);
    platform::com::Error error;
    const auto skin = platform::com::createObject(progId, &error);
    if (!skin) {
        err << "Cannot create " << progId << ": " << error.description << "\n"
            << "Register the skin first, e.g. build/bin/regsvr build/Z5/Skin/SK_Morvane_1.dll\n";
        return 2;
    }

    QFont font;
    font.setPixelSize(11);
    const QFontMetrics metrics(font);

    // The pictures, flowed into rows.
    QList<Cell> cells;
    for (const skinart::PictureSpec& spec : skinart::pictureTable()) {
        Cell c;
        c.id = spec.id;
        const auto r = skin->call(QStringLiteral("GetResourcePicture"),
                                  {QVariant::fromValue(qint16(spec.id)), QVariant::fromValue(qint16(spec.resType))});
        if (r.ok)
            c.picture = r.value.value<QImage>();
        const QSize natural = c.picture.isNull() ? QSize(spec.width, spec.height) : c.picture.size();
        c.scale = natural.width() <= 60 && natural.height() <= 60 ? 2 : 1;
        c.label = QString::number(spec.id) + QLatin1Char(' ') + QString::number(natural.width()) + QLatin1Char('x')
            + QString::number(natural.height())
            + (c.picture.isNull() ? QStringLiteral(" MISSING")
                                  : c.picture.depth() == 8 ? QStringLiteral(" 8-bit") : QString());
        c.size = QSize(std::max({natural.width() * c.scale, metrics.horizontalAdvance(c.label), 56}) + 8, natural.height() * c.scale + kLabelHeight);
        cells.append(c);
    }

    QList<QPoint> places;
    int x = kMargin, y = kMargin + 30, rowHeight = 0;
    for (const Cell& c : cells) {
        if (x + c.size.width() > kSheetWidth - kMargin && x > kMargin) {
            x = kMargin;
            y += rowHeight + 8;
            rowHeight = 0;
        }
        places.append(QPoint(x, y));
        x += c.size.width() + 8;
        rowHeight = std::max(rowHeight, c.size.height());
    }
    const int stringsTop = y + rowHeight + 24;

    // The string table below the pictures: four columns.
    QList<std::pair<int, QString>> strings;
    for (int id = 101; id <= 157; ++id) {
        const auto r = skin->call(QStringLiteral("GetResourceString"), {QVariant::fromValue(qint16(id))});
        strings.append({id, r.ok ? r.value.toString() : QStringLiteral("(absent)")});
    }
    const int rows = int((strings.size() + 3) / 4);
    const int height = stringsTop + 30 + rows * 20 + kMargin;

    QImage sheet(kSheetWidth, height, QImage::Format_RGB32);
    sheet.fill(QColor(0xFF, 0xFF, 0xFF));
    QPainter p(&sheet);
    QFont title = font;
    title.setPixelSize(16);
    title.setBold(true);
    p.setFont(title);
    p.setPen(Qt::black);
    p.drawText(kMargin, kMargin + 16, QStringLiteral("Skin \"") + skinName + QStringLiteral("\" (") + progId
                   + QStringLiteral(")"));
    p.setFont(font);

    for (qsizetype i = 0; i < cells.size(); ++i) {
        const Cell& c = cells[i];
        const QPoint at = places[i];
        const QRect pic(at + QPoint(4, 0),
                        QSize(c.size.width() - 8, c.size.height() - kLabelHeight));
        if (c.picture.isNull()) {
            p.fillRect(pic, QColor(0xE0, 0x30, 0x30));
        } else {
            const QSize drawn = c.picture.size() * c.scale;
            const QRect target(pic.topLeft(), drawn);
            p.drawImage(target.topLeft(), checkerboard(drawn));
            p.drawImage(target, c.picture);
        }
        p.setPen(c.picture.isNull() ? QColor(0xC0, 0, 0) : QColor(0x30, 0x30, 0x30));
        p.drawText(QRect(at.x(), pic.bottom() + 2, c.size.width() + 60, kLabelHeight - 4),
                   Qt::AlignLeft | Qt::AlignTop, c.label);
    }

    p.setPen(Qt::black);
    p.setFont(title);
    p.drawText(kMargin, stringsTop + 14, QStringLiteral("Strings"));
    p.setFont(font);
    const int colWidth = (kSheetWidth - 2 * kMargin) / 4;
    for (qsizetype i = 0; i < strings.size(); ++i) {
        const int col = int(i) / rows, row = int(i) % rows;
        const QPoint at(kMargin + col * colWidth, stringsTop + 30 + row * 20);
        const QString& value = strings[i].second;
        if (value.startsWith(QLatin1String("&H"), Qt::CaseInsensitive)) {
            const uint bgr = value.mid(2).toUInt(nullptr, 16);
            p.fillRect(QRect(at, QSize(28, 14)), QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF)));
            p.drawRect(QRect(at, QSize(28, 14)));
        }
        p.drawText(at + QPoint(36, 11), QString::number(strings[i].first) + QStringLiteral(": ") + value);
    }
    p.end();

    if (!sheet.save(outPath, "PNG")) {
        err << "Cannot write " << outPath << "\n";
        return 3;
    }
    QTextStream(stdout) << "Wrote " << outPath << " (" << cells.size() << " pictures)\n";
    return 0;
}
