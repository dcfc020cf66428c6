#pragma once

// A real X server for tests that need a window manager and real input: an
// Xvfb on a free display (it names the display itself, -displayfd), with a
// small EWMH window manager (openbox) unless asked not to, both stopped by
// their process ids when the session goes. Input is sent with the XTest
// extension, so the program under test sees it as it sees a user's mouse
// and keyboard. Every wait is bounded.
//
// Tests link X11 and Xtst (z5_add_x11_test does).

#include <QByteArray>
#include <QDeadlineTimer>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QThread>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/XKBlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace testenv {

class XSession {
public:
    struct Options {
        QSize screen{1280, 1024};
        bool windowManager = true;
    };

    // One top-level window of a client on the screen.
    struct Window {
        ::Window id = 0;
        QRect rect; // root coordinates
        bool overrideRedirect = false;
        bool viewable = false;
    };

    XSession() : XSession(Options{}) {}
    explicit XSession(Options options) : options_(options)
    {
        if (!startServer())
            return;
        display_ = XOpenDisplay(displayName_.toLatin1().constData());
        if (!display_)
            return;
        // Windows come and go while they are listed (a menu closing): a
        // request about a window already gone fails quietly.
        XSetErrorHandler([](::Display*, XErrorEvent*) { return 0; });
        int event = 0, error = 0, major = 0, minor = 0;
        if (!XTestQueryExtension(display_, &event, &error, &major, &minor))
            return;
        if (options_.windowManager && !startWindowManager())
            return;
        ok_ = true;
    }

    ~XSession()
    {
        if (display_)
            XCloseDisplay(display_);
        stop(wmPid_);
        stop(serverPid_);
    }

    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    bool ok() const { return ok_; }
    // ":N", for the DISPLAY of the program under test.
    const QString& display() const { return displayName_; }
    QSize screenSize() const { return options_.screen; }

    // ---- Input ----
    void moveTo(QPoint p)
    {
        XTestFakeMotionEvent(display_, -1, p.x(), p.y(), CurrentTime);
        flush();
    }
    void buttonDown(unsigned button = 1)
    {
        XTestFakeButtonEvent(display_, button, True, CurrentTime);
        flush();
    }
    void buttonUp(unsigned button = 1)
    {
        XTestFakeButtonEvent(display_, button, False, CurrentTime);
        flush();
    }
    void click(QPoint p, unsigned button = 1)
    {
        moveTo(p);
        pause(60);
        buttonDown(button);
        pause(60);
        buttonUp(button);
    }
    // Moves the pointer to `to` with the button held, in steps. The press
    // and the release are held a while, as a hand holds them, so that a
    // busy program has taken the press before the pointer moves.
    void drag(QPoint from, QPoint to, unsigned button = 1, int steps = 20, int stepMs = 15)
    {
        moveTo(from);
        pause(100);
        buttonDown(button);
        pause(1000);
        for (int i = 1; i <= steps; ++i) {
            moveTo(from + (to - from) * i / steps);
            pause(stepMs);
        }
        pause(500);
        buttonUp(button);
    }
    void wheel(bool up, int clicks = 1)
    {
        for (int i = 0; i < clicks; ++i) {
            buttonDown(up ? 4 : 5);
            buttonUp(up ? 4 : 5);
            pause(30);
        }
    }
    void keyDown(KeySym sym)
    {
        XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, sym), True, CurrentTime);
        flush();
    }
    void keyUp(KeySym sym)
    {
        XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, sym), False, CurrentTime);
        flush();
    }
    // Presses the keys in order, holds the last for holdMs, releases all in
    // reverse order.
    void keys(std::initializer_list<KeySym> chord, int holdMs = 40)
    {
        for (KeySym k : chord) {
            keyDown(k);
            pause(15);
        }
        pause(holdMs);
        for (auto it = std::rbegin(chord); it != std::rend(chord); ++it) {
            keyUp(*it);
            pause(15);
        }
    }
    // Types printable ASCII text key by key, with Shift where the
    // keyboard's map puts a character on the shifted level.
    void type(const QString& text)
    {
        for (const QChar c : text) {
            const KeySym sym = c.unicode();
            const KeyCode code = XKeysymToKeycode(display_, sym);
            if (code == 0)
                continue;
            if (XkbKeycodeToKeysym(display_, code, 0, 0) == sym)
                keys({sym}, 10);
            else
                keys({XK_Shift_L, sym}, 10);
        }
    }
    static void pause(int ms) { QThread::msleep(static_cast<unsigned long>(ms)); }

    // ---- What the screen shows ----
    QImage grab() const
    {
        const ::Window root = DefaultRootWindow(display_);
        XImage* image = XGetImage(display_, root, 0, 0, static_cast<unsigned>(options_.screen.width()),
                                  static_cast<unsigned>(options_.screen.height()), AllPlanes, ZPixmap);
        if (!image)
            return {};
        QImage out(options_.screen, QImage::Format_RGB32);
        for (int y = 0; y < out.height(); ++y)
            for (int x = 0; x < out.width(); ++x)
                out.setPixel(x, y, static_cast<QRgb>(XGetPixel(image, x, y)) | 0xFF000000u);
        XDestroyImage(image);
        return out;
    }

    // The top-level windows of the process, as the X server knows them
    // (managed windows by their client window, popups and tooltips directly).
    std::vector<Window> windowsOf(qint64 pid) const
    {
        std::vector<Window> out;
        XSync(display_, False);
        collect(DefaultRootWindow(display_), pid, out, 0);
        return out;
    }
    // The largest viewable managed window of the process.
    std::optional<QRect> mainWindowOf(qint64 pid) const
    {
        std::optional<QRect> best;
        for (const Window& w : windowsOf(pid))
            if (w.viewable && !w.overrideRedirect && (!best || w.rect.width() * w.rect.height() > best->width() * best->height()))
                best = w.rect;
        return best;
    }
    // Asks for a new place and size of the process's main window, as a
    // program may (the window manager carries it out).
    void moveResize(qint64 pid, const QRect& r)
    {
        ::Window best = 0;
        int area = 0;
        for (const Window& w : windowsOf(pid)) {
            if (w.viewable && !w.overrideRedirect && w.rect.width() * w.rect.height() > area) {
                best = w.id;
                area = w.rect.width() * w.rect.height();
            }
        }
        if (!best)
            return;
        XMoveResizeWindow(display_, best, r.x(), r.y(), static_cast<unsigned>(r.width()), static_cast<unsigned>(r.height()));
        flush();
    }

    // The viewable popups (override-redirect windows: menus, tooltips) of the process.
    std::vector<QRect> popupsOf(qint64 pid) const
    {
        std::vector<QRect> out;
        for (const Window& w : windowsOf(pid))
            if (w.viewable && w.overrideRedirect)
                out.push_back(w.rect);
        return out;
    }

    template <typename F>
    static bool waitUntil(F done, int ms)
    {
        QDeadlineTimer deadline(ms);
        while (!done()) {
            if (deadline.hasExpired())
                return false;
            pause(20);
        }
        return true;
    }

private:
    void flush() const
    {
        XFlush(display_);
        XSync(display_, False);
    }

    static void stop(pid_t& pid)
    {
        if (pid <= 0)
            return;
        ::kill(pid, SIGTERM);
        for (int i = 0; i < 200; ++i) {
            if (::waitpid(pid, nullptr, WNOHANG) == pid) {
                pid = 0;
                return;
            }
            pause(10);
        }
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        pid = 0;
    }

    // Starts a program with its output thrown away; keepFd stays open in it.
    static pid_t spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env, int keepFd = -1)
    {
        std::vector<char*> args;
        for (const std::string& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        const pid_t pid = ::fork();
        if (pid != 0)
            return pid;
        // The server and the window manager go with the test, however it ends.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        const int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, 0);
        ::dup2(null, 1);
        ::dup2(null, 2);
        for (int fd = 3; fd < 1024; ++fd)
            if (fd != keepFd)
                ::close(fd);
        for (const std::string& e : env)
            ::putenv(const_cast<char*>(e.c_str()));
        ::execvp(args[0], args.data());
        ::_exit(127);
    }

    bool startServer()
    {
        int fds[2];
        if (::pipe(fds) != 0)
            return false;
        const std::string size = std::to_string(options_.screen.width()) + "x" + std::to_string(options_.screen.height()) + "x24";
        serverPid_ = spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", size, "-nolisten", "tcp"}, {},
                           fds[1]);
        ::close(fds[1]);
        QByteArray number;
        QDeadlineTimer deadline(30000);
        while (!number.endsWith('\n') && !deadline.hasExpired()) {
            pollfd p{fds[0], POLLIN, 0};
            if (::poll(&p, 1, 100) <= 0)
                continue;
            char c = 0;
            if (::read(fds[0], &c, 1) != 1)
                break;
            number += c;
        }
        ::close(fds[0]);
        if (!number.endsWith('\n'))
            return false;
        displayName_ = QStringLiteral(":") + QString::fromLatin1(number.trimmed());
        return true;
    }

    bool startWindowManager()
    {
        wmPid_ = spawn({"openbox", "--sm-disable"}, {"DISPLAY=" + displayName_.toStdString()});
        const Atom check = XInternAtom(display_, "_NET_SUPPORTING_WM_CHECK", False);
        return waitUntil([&] { return property(DefaultRootWindow(display_), check, XA_WINDOW).has_value(); }, 30000);
    }

    std::optional<unsigned long> property(::Window w, Atom name, Atom type) const
    {
        Atom actual = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display_, w, name, 0, 1, False, type, &actual, &format, &count, &after, &data) != Success)
            return std::nullopt;
        std::optional<unsigned long> value;
        if (data && count == 1 && format == 32)
            value = *reinterpret_cast<unsigned long*>(data);
        if (data)
            XFree(data);
        return value;
    }

    void collect(::Window w, qint64 pid, std::vector<Window>& out, int depth) const
    {
        ::Window root = 0, parent = 0;
        ::Window* children = nullptr;
        unsigned int count = 0;
        if (depth > 3 || !XQueryTree(display_, w, &root, &parent, &children, &count))
            return;
        const Atom pidAtom = XInternAtom(display_, "_NET_WM_PID", False);
        for (unsigned int i = 0; i < count; ++i) {
            const ::Window c = children[i];
            const auto owner = property(c, pidAtom, XA_CARDINAL);
            if (owner && static_cast<qint64>(*owner) == pid) {
                XWindowAttributes a{};
                if (XGetWindowAttributes(display_, c, &a)) {
                    int x = 0, y = 0;
                    ::Window child = 0;
                    XTranslateCoordinates(display_, c, root, 0, 0, &x, &y, &child);
                    out.push_back({c, QRect(x, y, a.width, a.height), a.override_redirect != 0, a.map_state == IsViewable});
                }
                continue;
            }
            // A window manager's frame holds the client one level down.
            collect(c, pid, out, depth + 1);
        }
        if (children)
            XFree(children);
    }

    Options options_;
    QString displayName_;
    ::Display* display_ = nullptr;
    pid_t serverPid_ = 0;
    pid_t wmPid_ = 0;
    bool ok_ = false;
};

} // namespace testenv
