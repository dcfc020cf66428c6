#pragma once

// Helpers of the preferences tests: the window opened over a program folder
// of the test's own, with the browser's options it edits, real mouse and key
// input sent to its window, and the messages it shows.

#include "core/globals.h"
#include "core/mainsettings.h"
#include "dialogs/frmreferences.h"
#include "platform/base/paths.h"
#include "platform/win/prompt.h"

#include "pointerentry.h"
#include "testenv.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

// QStrings in failure messages as text.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace referencestesting {

inline QString screenshotFolder()
{
    const QString dir = qEnvironmentVariable("Z5_SCREENSHOT_DIR", QStringLiteral(Z5_BINARY_DIR "/screenshots"));
    QDir().mkpath(dir);
    return dir;
}

class References : public ::testing::Test {
protected:
    void SetUp() override
    {
        prog = testenv::freshDir(QStringLiteral("Z5"));
        testenv::copyTree(QStringLiteral(Z5_SOURCE_DIR "/data/Language"), prog + QStringLiteral("/Language"));
        platform::paths::setProgramFolder(prog);
        LanguageName = QStringLiteral("English");
        LanguageFilePath = prog + QStringLiteral("/Language/English.ini");
        FilterList.clear();
        DialogUrl.clear();
        options.GeneralOptionBytes = {0, 1, 0, 0, 1, 1, 1};
        options.UnreachableTimeout = 5;
        for (int i = 0; i <= 11; ++i)
            options.KeyMap[static_cast<size_t>(i)] = i == 4 ? QStringLiteral("|0|17|") : QStringLiteral("|3|");
        platform::prompt::setResponder([this](const platform::prompt::Prompt& p) -> std::optional<platform::prompt::Answer> {
            prompts.append(p);
            platform::prompt::Answer a;
            if (p.kind == QLatin1String("message")) {
                a.code = 1;
                return a;
            }
            if (!pickerAnswers.isEmpty()) {
                a.accepted = true;
                a.text = pickerAnswers.takeFirst();
                a.paths = {a.text};
            }
            return a;
        });
    }

    void TearDown() override
    {
        if (window)
            window->unload();
        window.reset();
        platform::prompt::setResponder({});
    }

public:
    // The window made, loaded and shown (not modal: the test drives it).
    frmReferences& open()
    {
        window = std::make_unique<frmReferences>(options);
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window->window(), 5000));
        EXPECT_TRUE(testenv::pointerEntersFromElsewhere());
        window->window()->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window->window(), 5000));
        return *window;
    }

    QWindow* handle() const { return window->window()->windowHandle(); }
    QPoint centreOf(const platform::forms::Control& c) const
    {
        return c.widget()->mapTo(window->window(), c.widget()->rect().center());
    }
    // A click as a user makes it: the pointer moves there, presses, releases.
    // A click activates the window, as a window manager would after a
    // message box closed.
    void click(const platform::forms::Control& c, std::optional<QPoint> local = std::nullopt) const
    {
        if (!window->window()->isActiveWindow()) {
            window->window()->activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(window->window(), 5000));
        }
        const QPoint at = local ? c.widget()->mapTo(window->window(), *local) : centreOf(c);
        QTest::mouseMove(handle(), at);
        QTest::mousePress(handle(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(handle(), Qt::LeftButton, {}, at);
    }
    // A click on a check box or option button, on its box at the left end.
    void tick(const platform::forms::Control& c) const { click(c, QPoint(8, c.widget()->height() / 2)); }
    void page(int index) const { click(window->cmdTab[index]); }
    // Text typed into a box after a click has put the focus there.
    void typeInto(const platform::forms::Control& box, const QString& text) const
    {
        click(box);
        QTest::keyClicks(QApplication::focusWidget(), text);
    }
    void clearAndType(const platform::forms::Control& box, const QString& text) const
    {
        click(box);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
        if (!text.isEmpty())
            QTest::keyClicks(QApplication::focusWidget(), text);
    }
    // Chooses an entry of a list-style combo box by mouse: a click opens its
    // list, a click on the entry chooses it.
    void choose(platform::forms::ComboBox& box, const QString& entry) const
    {
        click(box);
        auto* list = qobject_cast<QAbstractItemView*>(box.listView());
        ASSERT_TRUE(list);
        ASSERT_TRUE(testenv::waitFor([&] { return list->isVisible(); }));
        const int row = static_cast<QComboBox*>(box.widget())->findText(entry);
        ASSERT_GE(row, 0) << entry.toStdString();
        const QRect r = list->visualRect(list->model()->index(row, 0));
        QTest::qWait(QApplication::doubleClickInterval() + 50); // a release at once belongs to the opening click
        QTest::mouseMove(list->viewport(), r.center());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
        ASSERT_TRUE(testenv::waitFor([&] { return !list->isVisible(); }));
    }
    // The texts of the messages shown so far, in order, then forgotten.
    QStringList takeMessages()
    {
        QStringList out;
        for (const auto& p : prompts)
            if (p.kind == QLatin1String("message"))
                out << p.text;
        prompts.clear();
        return out;
    }
    QString userSetting(const QString& name, const QString& section = QStringLiteral("Z5 Browser")) const
    {
        platform::registry::resetCache();
        const auto v = platform::registry::readValue(platform::registry::Hive::CurrentUser,
                                                     QStringLiteral("Software\\Keldo\\") + section, name);
        return v ? v->text : QStringLiteral("<none>");
    }

    QString prog;
    MainSettings options;
    std::unique_ptr<frmReferences> window;
    QList<platform::prompt::Prompt> prompts;
    QStringList pickerAnswers;
};

} // namespace referencestesting
