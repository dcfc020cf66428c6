#pragma once

// Helpers of the menu tests: a script of steps run from the event loop while
// a menu is tracked, and real input sent to the menu windows.

#include "platform/win/popupmenus.h"

#include <QDir>
#include <QPainter>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace menutesting {

// A step returns true when it is done; a step that waits returns false
// until its condition holds. A script that stalls for five seconds closes
// the menu, so a broken test fails instead of hanging.
using Step = std::function<bool()>;

class Script {
public:
    explicit Script(std::vector<Step> steps) : steps_(std::move(steps))
    {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
        timer_.start();
    }
    bool finished() const { return next_ >= steps_.size(); }

private:
    void tick()
    {
        if (finished()) {
            timer_.stop();
            return;
        }
        if (steps_[next_]()) {
            ++next_;
            waited_ = 0;
        } else if (++waited_ > 500) {
            timer_.stop();
            ADD_FAILURE() << "menu script stalled at step " << next_;
            platform::menus::endMenu();
        }
    }
    std::vector<Step> steps_;
    size_t next_ = 0;
    int waited_ = 0;
    QTimer timer_;
};

inline QWidget* popup(size_t level)
{
    const auto open = platform::menus::openPopups();
    return level < open.size() ? open[level] : nullptr;
}

inline Step levels(size_t n)
{
    return [n] { return platform::menus::openPopups().size() == n; };
}

inline Step key(Qt::Key k, Qt::KeyboardModifiers mods = {})
{
    return [k, mods] {
        QWidget* top = popup(platform::menus::openPopups().size() - 1);
        if (!top)
            return false;
        QTest::keyClick(top->windowHandle(), k, mods);
        return true;
    };
}

inline Step typeText(QString text)
{
    return [text] {
        QWidget* top = popup(platform::menus::openPopups().size() - 1);
        if (!top)
            return false;
        for (QChar c : text)
            QTest::keyClick(top->windowHandle(), c.toLatin1());
        return true;
    };
}

// Items are laid out from y 2 (the frame); rows are the item heights above
// the wanted item.
inline Step click(size_t level, int y, int x = 40)
{
    return [level, y, x] {
        QWidget* w = popup(level);
        if (!w)
            return false;
        QTest::mouseClick(w->windowHandle(), Qt::LeftButton, {}, QPoint(x, y));
        return true;
    };
}

inline Step check(std::function<void()> f)
{
    return [f] {
        f();
        return true;
    };
}

// The owner window with every menu window over it, as the screen shows them.
inline QImage screenPicture(QWidget* owner)
{
    QRect area = owner->frameGeometry();
    for (QWidget* w : platform::menus::openPopups())
        area |= w->geometry();
    QImage out(area.size(), QImage::Format_RGB32);
    out.fill(Qt::darkGray);
    QPainter p(&out);
    p.drawPixmap(owner->geometry().topLeft() - area.topLeft(), owner->grab());
    for (QWidget* w : platform::menus::openPopups())
        p.drawPixmap(w->geometry().topLeft() - area.topLeft(), w->grab());
    return out;
}

inline QString screenshotDir()
{
    const QString env = qEnvironmentVariable("Z5_SCREENSHOT_DIR");
    const QString dir = env.isEmpty() ? QStringLiteral(Z5_BINARY_DIR "/screenshots") : env;
    QDir().mkpath(dir);
    return dir;
}

} // namespace menutesting
