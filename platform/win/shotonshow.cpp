#include "platform/win/shotonshow.h"

#include "platform/win/controls.h"
#include "platform/win/form.h"
#include "platform/win/listview.h"
#include "platform/win/popupmenus.h"
#include "platform/win/textbox.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <QSaveFile>
#include <QTextDocumentFragment>
#include <QTimer>
#include <QWidget>
#include <QTreeView>
#include <QWindow>

namespace platform::shotonshow {

namespace {

constexpr int kMaxWaitMs = 60000;

int boundedMs(const char* name)
{
    bool ok = false;
    const int v = qEnvironmentVariableIntValue(name, &ok);
    return ok ? std::clamp(v, 0, kMaxWaitMs) : 0;
}

// "name(index)" for a member of a control array, the name alone otherwise.
QString controlName(const forms::Control& c)
{
    return c.index() >= 0 ? c.name() + QLatin1Char('(') + QString::number(c.index()) + QLatin1Char(')') : c.name();
}

QByteArray layoutLines(QWidget* window)
{
    const forms::Form* form = forms::Form::fromWidget(window);
    if (!form)
        return {};
    // The window itself first: its twips and its place on the screen.
    const QRect frame = window->geometry();
    QByteArray out = "(window)\t1\t1\t" + QByteArray::number(form->left()) + ' ' + QByteArray::number(form->top())
                     + ' ' + QByteArray::number(form->width()) + ' ' + QByteArray::number(form->height()) + '\t'
                     + QByteArray::number(frame.x()) + ' ' + QByteArray::number(frame.y()) + ' '
                     + QByteArray::number(frame.width()) + ' ' + QByteArray::number(frame.height()) + '\n';
    for (const forms::Control* c : form->controls()) {
        QWidget* w = c->widget();
        const QPoint at = w->mapTo(window, QPoint(0, 0));
        const QString name = controlName(*c);
        out += name.toUtf8() + '\t' + (c->visible() ? "1" : "0") + '\t' + (w->isVisibleTo(window) ? "1" : "0") + '\t'
               + QByteArray::number(c->left()) + ' ' + QByteArray::number(c->top()) + ' '
               + QByteArray::number(c->width()) + ' ' + QByteArray::number(c->height()) + '\t'
               + QByteArray::number(at.x()) + ' ' + QByteArray::number(at.y()) + ' ' + QByteArray::number(w->width())
               + ' ' + QByteArray::number(w->height()) + '\n';
    }
    return out;
}

bool writeAtomically(const QString& file, const QByteArray& bytes)
{
    QSaveFile f(file);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.commit();
}

void writeLayout(QWidget* window, const QString& file)
{
    const QByteArray out = layoutLines(window);
    if (!out.isEmpty())
        writeAtomically(file, out);
}

QByteArray oneLine(const QString& text)
{
    QString t = text;
    t.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\t'), QLatin1Char(' '));
    return t.toUtf8();
}

QByteArray rectText(const QRect& r)
{
    return QByteArray::number(r.x()) + ' ' + QByteArray::number(r.y()) + ' ' + QByteArray::number(r.width()) + ' '
           + QByteArray::number(r.height());
}

// The program's main form: its largest one, shown or not.
QWidget* mainFormWindow()
{
    QWidget* best = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        const forms::Form* form = forms::Form::fromWidget(w);
        if (!form || !form->loaded())
            continue;
        if (!best || w->width() * w->height() > best->width() * best->height())
            best = w;
    }
    return best;
}

QByteArray probeAnswer()
{
    QWidget* window = mainFormWindow();
    QByteArray out;
    if (window) {
        out += layoutLines(window);
        out += QByteArray("(shown)\t") + (window->isVisible() ? "1" : "0") + '\n';
        for (const forms::Control* c : forms::Form::fromWidget(window)->controls()) {
            // Pictures by number, disabled controls, and the rows of lists.
            const QVariant picture = c->widget()->property("skinPicture");
            if (picture.isValid())
                out += "(picture)\t" + oneLine(controlName(*c)) + '\t' + QByteArray::number(picture.toInt()) + '\n';
            if (!c->enabled())
                out += "(disabled)\t" + oneLine(controlName(*c)) + '\n';
            if (const auto* list = dynamic_cast<const forms::ListView*>(c)) {
                QByteArray selected;
                for (int r : list->rows().selectedRows())
                    selected += (selected.isEmpty() ? "" : ",") + QByteArray::number(r);
                const int rowHeight = list->count() > 0 ? list->tree()->visualRect(list->rows().index(0, 0)).height() : 0;
                out += "(list)\t" + oneLine(controlName(*c)) + '\t' + QByteArray::number(rowHeight) + '\t' + selected + '\t'
                       + oneLine(list->itemText(1)) + '\t' + QByteArray::number(list->dropHighlight()) + '\t'
                       + QByteArray::number(list->firstVisibleIndex()) + '\n';
            }
            QString text;
            if (const auto* label = dynamic_cast<const forms::Label*>(c))
                text = label->caption();
            else if (const auto* box = dynamic_cast<const forms::TextBox*>(c))
                text = box->text();
            else
                continue;
            out += "(text)\t" + oneLine(controlName(*c)) + '\t' + oneLine(text) + '\n';
        }
    }
    const std::vector<QWidget*> popups = menus::openPopups();
    out += QByteArray("(menus)\t") + (menus::isTracking() ? "1" : "0") + '\t' + QByteArray::number(popups.size()) + '\n';
    for (QWidget* p : popups)
        out += "(popup)\t" + rectText(p->geometry()) + '\n';
    const std::vector<std::vector<QRect>> items = menus::openItemRects();
    for (size_t level = 0; level < items.size(); ++level)
        for (size_t i = 0; i < items[level].size(); ++i)
            if (!items[level][i].isEmpty())
                out += "(item)\t" + QByteArray::number(static_cast<qulonglong>(level)) + '\t'
                       + QByteArray::number(static_cast<qulonglong>(i)) + '\t' + rectText(items[level][i]) + '\n';
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowType() == Qt::ToolTip)
            if (const auto* tip = qobject_cast<const QLabel*>(w))
                out += "(tooltip)\t" + oneLine(QTextDocumentFragment::fromHtml(tip->text()).toPlainText()) + '\n';
    QString focus;
    for (QObject* o = QApplication::focusWidget(); o && focus.isEmpty(); o = o->parent())
        focus = o->objectName();
    out += "(focus)\t" + oneLine(focus) + '\n';
    return out;
}

// Answers every "ask-NAME" file of the folder with "NAME.txt".
void answerProbes(const QString& dir)
{
    const QDir folder(dir);
    for (const QString& ask : folder.entryList({QStringLiteral("ask-*")}, QDir::Files)) {
        const QString name = ask.mid(4);
        if (name.isEmpty() || name.contains(QLatin1Char('/')))
            continue;
        writeAtomically(folder.filePath(name + QStringLiteral(".txt")), probeAnswer());
        QFile::remove(folder.filePath(ask));
    }
}

void installProbe()
{
    const QString dir = qEnvironmentVariable("PLATFORM_PROBE_DIR");
    if (dir.isEmpty())
        return;
    auto* timer = new QTimer(qApp);
    timer->setInterval(100);
    QObject::connect(timer, &QTimer::timeout, qApp, [dir] { answerProbes(dir); });
    timer->start();
}

} // namespace

void install()
{
    installProbe();
    const QString file = qEnvironmentVariable("PLATFORM_SHOT_FILE");
    if (file.isEmpty())
        return;
    const bool exitAfter = qEnvironmentVariable("PLATFORM_EXIT_AFTER_SHOT") == QLatin1String("1");
    const QString layoutFile = qEnvironmentVariable("PLATFORM_LAYOUT_FILE");
    const int delayMs = boundedMs("PLATFORM_SHOT_DELAY_MS");
    const bool closeAfter = qEnvironmentVariableIsSet("PLATFORM_CLOSE_AFTER_MS");
    const int closeMs = boundedMs("PLATFORM_CLOSE_AFTER_MS");
    auto* timer = new QTimer(qApp);
    timer->setInterval(100);
    auto seenFor = std::make_shared<int>(0);
    auto shownSince = std::make_shared<QElapsedTimer>();
    QObject::connect(timer, &QTimer::timeout, qApp, [=] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (!w->isVisible() || w->windowType() == Qt::ToolTip)
                continue;
            if (!shownSince->isValid())
                shownSince->start();
            // Give the window a few ticks to lay out and paint, and the time asked for.
            if (++*seenFor < 5 || shownSince->elapsed() < delayMs)
                return;
            timer->stop();
            const QPixmap shot = w->grab();
            QSaveFile out(file);
            if (out.open(QIODevice::WriteOnly) && shot.save(&out, "PNG"))
                out.commit();
            if (!layoutFile.isEmpty())
                writeLayout(w, layoutFile);
            if (exitAfter) {
                QApplication::quit();
            } else if (closeAfter) {
                QPointer<QWidget> target(w);
                QTimer::singleShot(closeMs, qApp, [target] {
                    // Closing the top-level window goes through the platform
                    // window, as the window manager's request does.
                    if (target && target->windowHandle())
                        target->windowHandle()->close();
                });
            }
            return;
        }
    });
    timer->start();
}

} // namespace platform::shotonshow
