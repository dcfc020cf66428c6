#pragma once

// Picture buttons of the address row and status line that belong to the
// page: the text colour bar, whose 26 cells colour the selection of an
// editable page (left button the text, other buttons the background), and
// the page icon, dragged out as an internet shortcut file of the page.

#include "platform/win/ibrowser.h"

#include <QMimeData>
#include <QString>

#include <optional>

class frmExplorer;

// The colour name of cell 0-25; "" for any other cell.
QString ColourCellName(int cell);

// The bar's width W is cut into n cell widths (CW = W / n); the 26 cells
// are centred, leaving a margin M on each side.
struct ColourBarCells {
    double cellWidth = 0;
    double margin = 0;
};
ColourBarCells ColourBarGeometry(double width, double n);
// The cell under x (twips from the bar's left), any whole number, or
// nullopt in the left margin (x <= M) or when the bar has no cells.
std::optional<int> ColourCellAt(double width, double n, double x);

// The hover marker over the cell under x.
void ColourBar_MouseMove(frmExplorer& f, double x);
// Colours the current page's selection with the cell under x.
void ColourBar_MouseUp(frmExplorer& f, platform::browser::IBrowser* page, int button, double x);

// The drag data of the page icon: a ".url" file of the address, written
// into folder only when a drop target asks for the file.
class UrlShortcutData : public QMimeData {
public:
    UrlShortcutData(const QString& url, const QString& title, const QString& folder);
    QStringList formats() const override;
    bool hasFormat(const QString& mimeType) const override;
    // The file's path; "" for a blank page, which offers no file.
    QString shortcutPath() const { return path_; }

protected:
    QVariant retrieveData(const QString& mimeType, QMetaType type) const override;

private:
    QString url_;
    QString path_;
};
