#pragma once

// Helpers of the window tests: points of controls for input sent to their
// window, and screenshots.

#include "core/globals.h"
#include "platform/win/control.h"

#include <QDir>
#include <QWidget>

namespace windowtesting {

// Sets the screen scale factor for one test.
struct ScaleFactor {
    explicit ScaleFactor(float f) : saved(TwipsScale) { TwipsScale = f; }
    ~ScaleFactor() { TwipsScale = saved; }
    ScaleFactor(const ScaleFactor&) = delete;
    ScaleFactor& operator=(const ScaleFactor&) = delete;
    float saved;
};

inline QPoint inWindow(const platform::forms::Control& c, QPoint local)
{
    return c.widget()->mapTo(c.widget()->window(), local);
}

inline QPoint centreInWindow(const platform::forms::Control& c)
{
    return inWindow(c, c.widget()->rect().center());
}

// Saves a picture of the window into the test's temporary folder and, when
// Z5_SCREENSHOT_DIR is set, into that folder too.
inline bool saveScreenshot(QWidget* window, const QString& name)
{
    const QPixmap shot = window->grab();
    bool ok = !shot.isNull();
    QDir(QDir::tempPath()).mkpath(QStringLiteral("shots"));
    ok = shot.save(QDir::tempPath() + QStringLiteral("/shots/") + name) && ok;
    const QString extra = qEnvironmentVariable("Z5_SCREENSHOT_DIR");
    if (!extra.isEmpty()) {
        QDir().mkpath(extra);
        ok = shot.save(QDir(extra).filePath(name)) && ok;
    }
    return ok;
}

} // namespace windowtesting
