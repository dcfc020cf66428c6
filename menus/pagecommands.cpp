#include "menus/pagecommands.h"

#include "core/messagebox.h"
#include "platform/web/browser.h"
#include "platform/win/filedialogs.h"
#include "platform/win/prompt.h"

#include "core/language.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QSaveFile>
#include <QApplication>
#include <QTimer>
#include <QWebEngineFindTextResult>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <cmath>
#include <memory>

using platform::browser::Browser;
using platform::browser::IBrowser;
namespace prompt = platform::prompt;

namespace pagecommands {
namespace {

constexpr double kZoom[5] = {0.7, 0.85, 1.0, 1.25, 1.5};

QWebEnginePage* pageOf(IBrowser* b)
{
    auto* real = dynamic_cast<Browser*>(b);
    return real ? real->page() : nullptr;
}

void focusPage(IBrowser* b)
{
    if (auto* real = dynamic_cast<Browser*>(b))
        if (QWebEngineView* v = real->view())
            v->setFocus();
}

// The page's own printing and saving: the page is held by a guard across
// the dialogs, which let timers run that may close its tab.
void printPageToPdf(QWebEnginePage* p, const QString& localPath, std::function<void(bool)> done)
{
    auto conn = std::make_shared<QMetaObject::Connection>();
    *conn = QObject::connect(p, &QWebEnginePage::pdfPrintingFinished, p,
                             [conn, localPath, done](const QString& path, bool ok) {
                                 if (path != localPath)
                                     return;
                                 QObject::disconnect(*conn);
                                 if (done)
                                     done(ok);
                             });
    p->printToPdf(localPath);
}

void savePageHtml(QWebEnginePage* p, const QString& localPath, std::function<void(bool)> done)
{
    p->toHtml([localPath, done](const QString& html) {
        QSaveFile f(localPath);
        const bool ok = f.open(QIODevice::WriteOnly) && f.write(html.toUtf8()) >= 0 && f.commit();
        if (done)
            done(ok);
    });
}

QString propertiesText(const QString& title, const QString& address, qint64 size)
{
    // Plain text: the message label escapes what it shows as rich text.
    QString text = QStringLiteral("%1\n%2").arg(title, address);
    if (size >= 0)
        text += QStringLiteral("\n%1 bytes").arg(size);
    text += QStringLiteral("\n") + QDateTime::currentDateTime().toString(Qt::ISODate);
    return text;
}

void askAndPrint(IBrowser* b, bool preview)
{
    const QPointer<QWebEnginePage> page(pageOf(b));
    const prompt::Answer a = prompt::ask(
        {QStringLiteral("print"), preview ? QStringLiteral("Print Preview") : QStringLiteral("Print"), {}, {}, {}},
        [] {
            QPrinter printer;
            printer.setOutputFormat(QPrinter::PdfFormat);
            QPrintDialog dialog(&printer);
            if (dialog.exec() != QDialog::Accepted)
                return prompt::Answer{};
            return prompt::Answer{true, 0, printer.outputFileName()};
        });
    if (a.accepted && !a.text.isEmpty() && page)
        printPageToPdf(page, a.text, {});
}

void askAndSave(IBrowser* b)
{
    const QPointer<QWebEnginePage> page(pageOf(b));
    const QString suggested = b->locationName().isEmpty() ? QStringLiteral("page.htm") : b->locationName() + QStringLiteral(".htm");
    platform::filedialogs::FileRequest request;
    request.title = QStringLiteral("Save Page As");
    request.fileName = suggested;
    request.filter = QStringLiteral("Web page|*.htm;*.html");
    request.flags = platform::filedialogs::OverwritePrompt | platform::filedialogs::PathMustExist;
    const QString path = platform::filedialogs::saveFile(nullptr, request);
    if (!path.isEmpty() && page)
        savePageHtml(page, path, {});
}

void pageSetup()
{
    prompt::ask({QStringLiteral("pagesetup"), QStringLiteral("Page Setup"), {}, {}, {}}, [] {
        QPrinter printer;
        QPageSetupDialog dialog(&printer);
        return prompt::Answer{dialog.exec() == QDialog::Accepted, 0, {}};
    });
}

} // namespace

void Run(IBrowser* b, PageCommand command)
{
    if (!b)
        return;
    using platform::browser::CmdCopy;
    using platform::browser::CmdCut;
    using platform::browser::CmdPaste;
    using platform::browser::CmdSelectAll;
    switch (command) {
    case PageCommand::Cut: b->execWB(CmdCut); break;
    case PageCommand::Copy: b->execWB(CmdCopy); break;
    case PageCommand::Paste: b->execWB(CmdPaste); break;
    case PageCommand::SelectAll:
        focusPage(b);
        b->execWB(CmdSelectAll);
        break;
    case PageCommand::Find: focusPage(b); break;
    case PageCommand::Print: askAndPrint(b, false); break;
    case PageCommand::PrintPreview: askAndPrint(b, true); break;
    case PageCommand::PageSetup: pageSetup(); break;
    case PageCommand::SaveAs: askAndSave(b); break;
    case PageCommand::Properties: {
        QWebEnginePage* page = pageOf(b);
        if (!page) {
            ShowMessage(PropertiesText(b, -1), 1, 3);
            break;
        }
        // The message is modal: it shows from the event loop, not from
        // inside the engine's answer, and with texts taken now.
        const QString title = b->locationName();
        const QString address = b->locationURL();
        page->toHtml([title, address](const QString& html) {
            const QString text = propertiesText(title, address, html.toUtf8().size());
            QTimer::singleShot(0, qApp, [text] { ShowMessage(text, 1, 3); });
        });
        break;
    }
    }
}

double ZoomFactorForSize(int size)
{
    return kZoom[size < 0 ? 0 : size > 4 ? 4 : size];
}

int SizeForZoomFactor(double factor)
{
    int best = 2;
    for (int i = 0; i < 5; ++i)
        if (std::abs(kZoom[i] - factor) < std::abs(kZoom[best] - factor))
            best = i;
    return best;
}

void SetTextSize(IBrowser* b, int size)
{
    if (QWebEnginePage* p = pageOf(b))
        p->setZoomFactor(ZoomFactorForSize(size));
}

int TextSize(IBrowser* b)
{
    QWebEnginePage* p = pageOf(b);
    return p ? SizeForZoomFactor(p->zoomFactor()) : 2;
}

void Find(IBrowser* b, const QString& text, std::function<void(bool)> done)
{
    QWebEnginePage* p = pageOf(b);
    if (!p) {
        if (done)
            done(false);
        return;
    }
    p->findText(text, {}, [done](const QWebEngineFindTextResult& r) {
        if (done)
            done(r.numberOfMatches() > 0);
    });
}

void PrintToPdf(IBrowser* b, const QString& localPath, std::function<void(bool)> done)
{
    if (QWebEnginePage* p = pageOf(b))
        printPageToPdf(p, localPath, std::move(done));
    else if (done)
        done(false);
}

void SaveHtml(IBrowser* b, const QString& localPath, std::function<void(bool)> done)
{
    if (QWebEnginePage* p = pageOf(b))
        savePageHtml(p, localPath, std::move(done));
    else if (done)
        done(false);
}

QString PropertiesText(IBrowser* b, qint64 size)
{
    return propertiesText(b->locationName(), b->locationURL(), size);
}

} // namespace pagecommands
