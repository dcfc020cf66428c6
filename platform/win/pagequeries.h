#pragma once

// What the program reads of a page through a browser's own world
// (IBrowser::evaluateWhole): the selection as markup, the links of the page
// and of its frames, and the markup of the document element. Each script
// answers text; the readers below turn the answers into values.

#include <QList>
#include <QString>

#include <optional>

namespace platform::browser {

// The ranges of the page's selection (or of the first same-origin frame
// that holds one), serialised in order and wrapped in
// "<HTML><BODY>" ... "</BODY></HTML>", NUL characters left out; "" when
// nothing is selected. The clipboard is not touched.
QString selectionHtmlScript();

// The inner markup of the top document's element ("" without one).
QString documentMarkupScript();

// One link of a document: its tag ("A", "AREA" or "IMG"), the address the
// engine resolved for it (href, or src for IMG) and its text.
struct PageLink {
    QString tag;
    QString address;
    QString text;
};

// The links of one document, all A, then all AREA, then all IMG, each in
// document order; address is the document's own address.
struct DocumentLinks {
    QString address;
    QList<PageLink> links;
};

// The page's document, then each of its frames followed by that frame's
// own frames (frames of another origin and deeper levels left out). tags:
// 1 A, AREA and IMG; 2 A and AREA; 3 IMG. Elements without an address, and
// data: and blob: sources, are left out.
QString pageLinksScript(int mode);
// nullopt when the answer is not what the script gives.
std::optional<QList<DocumentLinks>> readPageLinks(const QString& answer);

} // namespace platform::browser
