#include "platform/win/inputdriver.h"

#include "platform/win/checkbox.h"
#include "platform/win/combobox.h"
#include "platform/win/controls.h"
#include "platform/win/form.h"
#include "platform/win/listview.h"
#include "platform/win/optionbutton.h"
#include "platform/win/popupmenus.h"
#include "platform/win/textbox.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QKeySequence>
#include <QLineEdit>
#include <QPixmap>
#include <QPointer>
#include <QSaveFile>
#include <QTimer>
#include <QTreeView>
#include <QWidget>
#include <QWindow>

#include <memory>

// The entry points through which the window system hands mouse and key
// input to the application (exported by Qt Gui for its own test library).
QT_BEGIN_NAMESPACE
Q_GUI_EXPORT void qt_handleMouseEvent(QWindow* window, const QPointF& local, const QPointF& global,
                                      Qt::MouseButtons state, Qt::MouseButton button, QEvent::Type type,
                                      Qt::KeyboardModifiers mods, int timestamp);
Q_GUI_EXPORT void qt_handleKeyEvent(QWindow* window, QEvent::Type type, int key, Qt::KeyboardModifiers mods,
                                    const QString& text, bool autorep, ushort count);
QT_END_NAMESPACE

namespace platform::inputdriver {

namespace {

constexpr int kPollMs = 100;
constexpr int kStepMs = 40;     // between two commands: paints and timers run
constexpr int kWaitMs = 20000;  // the longest "wait"
constexpr int kMaxHoldMs = 5000;
constexpr qint64 kMaxScriptBytes = 64 * 1024;

using forms::Control;
using forms::Form;

int& timestamp()
{
    static int t = 0;
    return t;
}

QWidget* windowByCaption(const QString& caption)
{
    if (caption == QLatin1String("*"))
        return QApplication::activeWindow();
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowTitle() == caption)
            return w;
    return nullptr;
}

Control* controlByName(QWidget* window, const QString& spec)
{
    const Form* form = Form::fromWidget(window);
    if (!form)
        return nullptr;
    QString name = spec;
    int index = -1;
    if (spec.endsWith(QLatin1Char(')')) && spec.contains(QLatin1Char('('))) {
        const qsizetype open = spec.indexOf(QLatin1Char('('));
        name = spec.left(open);
        bool ok = false;
        index = spec.mid(open + 1, spec.size() - open - 2).toInt(&ok);
        if (!ok)
            return nullptr;
    }
    for (Control* c : form->controls())
        if (c->name() == name && c->index() == index)
            return c;
    return nullptr;
}

// The window system reports the pointer into a window only once it has
// entered one: it comes in from a small window of its own first, as a
// user's pointer comes from elsewhere.
void enterPointerOnce()
{
    static bool entered = false;
    if (entered)
        return;
    entered = true;
    QWidget elsewhere(nullptr, Qt::Tool | Qt::FramelessWindowHint);
    elsewhere.setAttribute(Qt::WA_ShowWithoutActivating);
    elsewhere.setGeometry(0, 0, 20, 20);
    elsewhere.show();
    QCoreApplication::processEvents();
    if (QWindow* handle = elsewhere.windowHandle())
        qt_handleMouseEvent(handle, QPointF(10, 10), QPointF(10, 10), Qt::NoButton, Qt::NoButton, QEvent::MouseMove, {},
                            ++timestamp());
}

// A click at a point of a widget, through the widget's top-level window.
// The press and the release are queued apart: a press that opens a menu or
// a modal window is released from within it, as a hand lets go at once.
void clickAt(QWidget* widget, QPoint local)
{
    enterPointerOnce();
    QWidget* top = widget->window();
    QPointer<QWindow> handle(top->windowHandle());
    if (!handle)
        return;
    const QPointF inWindow = widget->mapTo(top, local);
    const QPointF global = top->mapToGlobal(inWindow.toPoint());
    int& t = timestamp();
    // A double click never comes of two separate clicks.
    t += 1000;
    qt_handleMouseEvent(handle, inWindow, global, Qt::NoButton, Qt::NoButton, QEvent::MouseMove, {}, ++t);
    QTimer::singleShot(0, qApp, [handle, inWindow, global] {
        if (handle)
            qt_handleMouseEvent(handle, inWindow, global, Qt::LeftButton, Qt::LeftButton, QEvent::MouseButtonPress, {},
                                ++timestamp());
    });
    // A press that closed its window (a menu row) is still let go of, over
    // whatever is there now: the window system's button state is kept true.
    QTimer::singleShot(0, qApp, [handle, inWindow, global] {
        QWindow* target = handle ? handle.data() : QGuiApplication::topLevelAt(global.toPoint());
        if (!target)
            target = QGuiApplication::focusWindow();
        if (!target)
            return;
        const QPointF at = handle ? inWindow : global - QPointF(target->geometry().topLeft());
        qt_handleMouseEvent(target, at, global, Qt::NoButton, Qt::LeftButton, QEvent::MouseButtonRelease, {},
                            ++timestamp());
    });
}

void sendKey(QWidget* window, QEvent::Type type, QKeyCombination key, const QString& text)
{
    if (QWindow* handle = window->windowHandle())
        qt_handleKeyEvent(handle, type, key.key(), key.keyboardModifiers(), text, false, 1);
}

QString stateOf(Control* c)
{
    QString value;
    QString text;
    if (auto* box = dynamic_cast<forms::CheckBox*>(c)) {
        value = QString::number(box->value());
        text = box->caption();
    } else if (auto* option = dynamic_cast<forms::OptionButton*>(c)) {
        value = option->value() ? QStringLiteral("1") : QStringLiteral("0");
        text = option->caption();
    } else if (auto* edit = dynamic_cast<forms::TextBox*>(c)) {
        // What the box shows: a password box shows its mask.
        text = edit->lineEdit()->displayText();
    } else if (auto* label = dynamic_cast<forms::Label*>(c)) {
        text = label->caption();
    } else if (auto* combo = dynamic_cast<forms::ComboBox*>(c)) {
        value = QString::number(combo->listIndex());
        text = combo->text();
    } else if (auto* list = dynamic_cast<forms::ListView*>(c)) {
        value = QString::number(list->count());
        QStringList rows;
        for (int i = 1; i <= list->count(); ++i)
            rows << list->itemText(i);
        text = rows.join(QStringLiteral(" ; "));
    }
    text.replace(QLatin1Char('\t'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    return QString::number(c->enabled() ? 1 : 0) + QLatin1Char('\t') + QString::number(c->visible() ? 1 : 0)
           + QLatin1Char('\t') + value + QLatin1Char('\t') + text;
}

struct Script {
    QString answerFile;
    QStringList lines;
    int next = 0;
    QStringList answers;
};

class Driver {
public:
    explicit Driver(QString dir) : dir_(std::move(dir))
    {
        timer_.setInterval(kPollMs);
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
        timer_.start();
    }

private:
    void poll()
    {
        if (running_)
            return;
        const QDir folder(dir_);
        const QStringList asks = folder.entryList({QStringLiteral("do-*")}, QDir::Files, QDir::Name);
        if (asks.isEmpty())
            return;
        const QString ask = asks.constFirst();
        QFile f(folder.filePath(ask));
        if (!f.open(QIODevice::ReadOnly))
            return;
        auto script = std::make_shared<Script>();
        script->lines = QString::fromUtf8(f.read(kMaxScriptBytes)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        f.close();
        f.remove();
        for (QString& line : script->lines)
            if (line.endsWith(QLatin1Char('\r')))
                line.chop(1);
        script->answerFile = folder.filePath(ask.mid(3) + QStringLiteral(".txt"));
        running_ = true;
        step(script);
    }

    // Runs the script's next command. The one after it is scheduled before
    // the input goes out, so that it runs when the events of this one are
    // done, or from inside a modal loop this one opens.
    void step(const std::shared_ptr<Script>& s)
    {
        if (s->next >= s->lines.size()) {
            QSaveFile out(s->answerFile);
            const QByteArray bytes = (s->answers.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
            if (out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size())
                out.commit();
            running_ = false;
            return;
        }
        const QStringList f = s->lines[s->next++].split(QLatin1Char('\t'));
        const qsizetype slot = s->answers.size();
        s->answers.append(QStringLiteral("ok"));
        const auto fail = [&](const QString& why) { s->answers[slot] = QStringLiteral("error: ") + why; };
        const auto next = [this, s](int ms = kStepMs) { QTimer::singleShot(ms, qApp, [this, s] { step(s); }); };
        const QString verb = f.value(0);

        if (verb == QLatin1String("menu")) {
            // Menus open from a timer of their owner: the item is waited for.
            const int level = f.value(1).toInt();
            const int item = f.value(2).toInt();
            auto deadline = std::make_shared<QDeadlineTimer>(kWaitMs);
            auto check = std::make_shared<std::function<void()>>();
            *check = [this, s, slot, level, item, deadline, check] {
                const auto rects = menus::openItemRects();
                const auto popups = menus::openPopups();
                if (level >= 0 && static_cast<size_t>(level) < rects.size() && static_cast<size_t>(level) < popups.size()
                    && item >= 0 && static_cast<size_t>(item) < rects[static_cast<size_t>(level)].size()
                    && !rects[static_cast<size_t>(level)][static_cast<size_t>(item)].isEmpty()) {
                    QWidget* popup = popups[static_cast<size_t>(level)];
                    const QPoint local =
                        rects[static_cast<size_t>(level)][static_cast<size_t>(item)].center() - popup->geometry().topLeft();
                    QTimer::singleShot(kStepMs, qApp, [this, s] { step(s); });
                    clickAt(popup, local);
                } else if (deadline->hasExpired()) {
                    s->answers[slot] = QStringLiteral("error: no such menu item");
                    QTimer::singleShot(0, qApp, [this, s] { step(s); });
                } else {
                    QTimer::singleShot(50, qApp, [check] { (*check)(); });
                }
            };
            return (*check)();
        }
        if (verb == QLatin1String("wait")) {
            const QString caption = f.value(1);
            auto deadline = std::make_shared<QDeadlineTimer>(kWaitMs);
            auto check = std::make_shared<std::function<void()>>();
            *check = [this, s, slot, caption, deadline, check] {
                if (windowByCaption(caption)) {
                    QTimer::singleShot(kStepMs, qApp, [this, s] { step(s); });
                } else if (deadline->hasExpired()) {
                    s->answers[slot] = QStringLiteral("error: no window ") + caption;
                    QTimer::singleShot(0, qApp, [this, s] { step(s); });
                } else {
                    QTimer::singleShot(50, qApp, [check] { (*check)(); });
                }
            };
            return (*check)();
        }

        QWidget* window = windowByCaption(f.value(1));
        if (!window) {
            fail(QStringLiteral("no window ") + f.value(1));
            return next();
        }
        if (verb == QLatin1String("key")) {
            const QKeySequence seq = QKeySequence::fromString(f.value(2));
            if (seq.isEmpty()) {
                fail(QStringLiteral("no such key"));
                return next();
            }
            const int hold = std::clamp(f.value(3).toInt(), 0, kMaxHoldMs);
            QPointer<QWidget> target(window);
            const QKeyCombination key = seq[0];
            sendKey(window, QEvent::KeyPress, key, QString());
            QTimer::singleShot(hold, qApp, [this, s, target, key] {
                if (target)
                    sendKey(target, QEvent::KeyRelease, key, QString());
                QTimer::singleShot(kStepMs, qApp, [this, s] { step(s); });
            });
            return;
        }
        if (verb == QLatin1String("type")) {
            next();
            for (const QChar ch : f.value(2)) {
                const QKeyCombination key(Qt::Key(ch.toUpper().unicode()));
                sendKey(window, QEvent::KeyPress, key, ch);
                sendKey(window, QEvent::KeyRelease, key, ch);
            }
            return;
        }
        if (verb == QLatin1String("shot")) {
            if (!window->grab().save(f.value(2), "PNG"))
                fail(QStringLiteral("not saved"));
            return next();
        }

        Control* c = f.value(2).isEmpty() ? nullptr : controlByName(window, f.value(2));
        if (!c && verb != QLatin1String("click")) {
            fail(QStringLiteral("no control ") + f.value(2));
            return next();
        }
        if (verb == QLatin1String("state")) {
            s->answers[slot] = stateOf(c);
            return next();
        }
        if (verb == QLatin1String("click")) {
            QWidget* target = c ? c->widget() : window;
            if (!f.value(2).isEmpty() && !c) {
                fail(QStringLiteral("no control ") + f.value(2));
                return next();
            }
            const QPoint at = f.size() >= 5 ? QPoint(f.value(3).toInt(), f.value(4).toInt()) : target->rect().center();
            next();
            return clickAt(target, at);
        }
        if (verb == QLatin1String("row")) {
            auto* list = dynamic_cast<forms::ListView*>(c);
            const int row = f.value(3).toInt();
            if (!list || row < 1 || row > list->count()) {
                fail(QStringLiteral("no such row"));
                return next();
            }
            QWidget* viewport = list->tree()->viewport();
            const QRect r = list->tree()->visualRect(list->tree()->model()->index(row - 1, 0));
            next();
            return clickAt(viewport, r.center());
        }
        if (verb == QLatin1String("choose")) {
            auto* combo = dynamic_cast<forms::ComboBox*>(c);
            int row = -1;
            for (int i = 0; combo && i < combo->listCount(); ++i)
                if (combo->list(i) == f.value(3))
                    row = i;
            if (row < 0) {
                fail(QStringLiteral("no such entry"));
                return next();
            }
            clickAt(combo->widget(), combo->widget()->rect().center());
            QPointer<QWidget> view(combo->listView());
            // A release at once would belong to the opening click.
            QTimer::singleShot(QApplication::doubleClickInterval() + 50, qApp, [this, s, slot, view, row] {
                auto* items = qobject_cast<QAbstractItemView*>(view.data());
                if (!items || !items->isVisible()) {
                    s->answers[slot] = QStringLiteral("error: the list did not open");
                } else {
                    const QRect r = items->visualRect(items->model()->index(row, 0));
                    QTimer::singleShot(kStepMs, qApp, [this, s] { step(s); });
                    return clickAt(items->viewport(), r.center());
                }
                QTimer::singleShot(kStepMs, qApp, [this, s] { step(s); });
            });
            return;
        }
        fail(QStringLiteral("unknown command ") + verb);
        next();
    }

    QString dir_;
    QTimer timer_;
    bool running_ = false;
};

} // namespace

void install()
{
    const QString dir = qEnvironmentVariable("PLATFORM_DRIVE_DIR");
    if (dir.isEmpty() || !QApplication::instance())
        return;
    static Driver* driver = new Driver(dir);
    Q_UNUSED(driver);
}

} // namespace platform::inputdriver
