#include "menus/pagecommands.h"

#include "core/messagebox.h"
#include "platform/browser.h"
#include "platform/prompt.h"

#include "core/language.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QFileDialog>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QSaveFile>
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

const char* const kFindBarName = "z5FindBar";

// A row of an edit box, the result and a close button, laid over the
// top of the view it searches.
class FindBarWidget : public QWidget {
public:
    FindBarWidget(QWebEngineView* view) : QWidget(view), view_(view)
    {
        setObjectName(QString::fromLatin1(kFindBarName));
        setAutoFillBackground(true);
        auto* row = new QHBoxLayout(this);
        row->setContentsMargins(4, 2, 4, 2);
        row->addWidget(new QLabel(GetLangString(QStringLiteral("MENU-02"), QStringLiteral("0207"), QStringLiteral("Find:")), this));
        edit_ = new QLineEdit(this);
        row->addWidget(edit_, 1);
        result_ = new QLabel(this);
        row->addWidget(result_);
        auto* close = new QToolButton(this);
        close->setText(QStringLiteral("x"));
        row->addWidget(close);
        QObject::connect(edit_, &QLineEdit::textChanged, this, [this] { find({}); });
        QObject::connect(edit_, &QLineEdit::returnPressed, this, [this] { find({}); });
        QObject::connect(close, &QToolButton::clicked, this, [this] { closeBar(); });
        view->installEventFilter(this);
        edit_->installEventFilter(this);
        place();
    }
    void open()
    {
        place();
        show();
        raise();
        edit_->setFocus();
        edit_->selectAll();
    }
    QString result() const { return result_->text(); }

protected:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (o == view_ && e->type() == QEvent::Resize)
            place();
        if (o == edit_ && e->type() == QEvent::KeyPress
            && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape) {
            closeBar();
            return true;
        }
        return false;
    }

private:
    void place()
    {
        const int h = sizeHint().height();
        setGeometry(0, 0, view_->width(), h);
    }
    void find(QWebEnginePage::FindFlags flags)
    {
        const QString text = edit_->text();
        if (text.isEmpty()) {
            view_->page()->findText(QString());
            result_->clear();
            return;
        }
        QPointer<QLabel> result(result_);
        view_->page()->findText(text, flags, [result](const QWebEngineFindTextResult& r) {
            if (QLabel* label = result.data())
                label->setText(r.numberOfMatches() > 0
                                       ? QStringLiteral("%1 / %2").arg(r.activeMatch()).arg(r.numberOfMatches())
                                       : GetLangString(QStringLiteral("MENU-02"), QStringLiteral("0208"),
                                                       QStringLiteral("Not found")));
        });
    }
    void closeBar()
    {
        view_->page()->findText(QString());
        hide();
        view_->setFocus();
    }

    QWebEngineView* view_;
    QLineEdit* edit_ = nullptr;
    QLabel* result_ = nullptr;
};

FindBarWidget* findBarOf(IBrowser* b, bool create)
{
    auto* real = dynamic_cast<Browser*>(b);
    QWebEngineView* view = real ? real->view() : nullptr;
    if (!view)
        return nullptr;
    auto* bar = view->findChild<FindBarWidget*>(QString::fromLatin1(kFindBarName), Qt::FindDirectChildrenOnly);
    if (!bar && create)
        bar = new FindBarWidget(view);
    return bar;
}

void askAndFind(IBrowser* b)
{
    if (FindBarWidget* bar = findBarOf(b, true))
        bar->open();
}

void askAndPrint(IBrowser* b, bool preview)
{
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
    if (a.accepted && !a.text.isEmpty())
        PrintToPdf(b, a.text);
}

void askAndSave(IBrowser* b)
{
    const QString suggested = b->locationName().isEmpty() ? QStringLiteral("page.htm") : b->locationName() + QStringLiteral(".htm");
    const prompt::Answer a =
        prompt::ask({QStringLiteral("save"), QStringLiteral("Save Page As"), suggested, QStringLiteral("*.htm"), {}},
                    [suggested] {
                        const QString p = QFileDialog::getSaveFileName(nullptr, QStringLiteral("Save Page As"),
                                                                       suggested, QStringLiteral("*.htm *.html"));
                        return prompt::Answer{!p.isEmpty(), 0, p};
                    });
    if (a.accepted && !a.text.isEmpty())
        SaveHtml(b, a.text);
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
    case PageCommand::Find:
        focusPage(b);
        askAndFind(b);
        break;
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
        QPointer<QWebEnginePage> guard(page);
        page->toHtml([guard, b](const QString& html) {
            if (guard)
                ShowMessage(PropertiesText(b, html.toUtf8().size()), 1, 3);
        });
        break;
    }
    }
}

QWidget* FindBar(IBrowser* b)
{
    FindBarWidget* bar = findBarOf(b, false);
    return bar && bar->isVisible() ? bar : nullptr;
}

QString FindBarResult(IBrowser* b)
{
    FindBarWidget* bar = findBarOf(b, false);
    return bar ? bar->result() : QString();
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
    QWebEnginePage* p = pageOf(b);
    if (!p) {
        if (done)
            done(false);
        return;
    }
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

void SaveHtml(IBrowser* b, const QString& localPath, std::function<void(bool)> done)
{
    QWebEnginePage* p = pageOf(b);
    if (!p) {
        if (done)
            done(false);
        return;
    }
    p->toHtml([localPath, done](const QString& html) {
        QSaveFile f(localPath);
        const bool ok = f.open(QIODevice::WriteOnly) && f.write(html.toUtf8()) >= 0 && f.commit();
        if (done)
            done(ok);
    });
}

QString PropertiesText(IBrowser* b, qint64 size)
{
    // Plain text: the message label escapes what it shows as rich text.
    const QString title = b->locationName();
    const QString address = b->locationURL();
    QString text = QStringLiteral("%1\n%2").arg(title, address);
    if (size >= 0)
        text += QStringLiteral("\n%1 bytes").arg(size);
    text += QStringLiteral("\n") + QDateTime::currentDateTime().toString(Qt::ISODate);
    return text;
}

} // namespace pagecommands
