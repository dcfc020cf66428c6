#pragma once

// Driving modal windows from a test: a step runs once a window of a type is
// the active modal window, and the real file dialog gets keys in its name
// field. Every wait is bounded.

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <type_traits>

namespace testenv {

inline QWidget* openModal()
{
    QWidget* w = QApplication::activeModalWidget();
    return w && w->isVisible() ? w : nullptr;
}

// Runs act once a modal window of type T is the active window (bounded). A
// step whose key opens another modal window arms that window's step first:
// it runs inside the new window's own loop.
template <typename T>
void whenActive(std::function<void(T&)> act, int triesLeft = 500)
{
    QTimer::singleShot(20, [act, triesLeft] {
        T* w = qobject_cast<T*>(openModal());
        if (w && QApplication::activeWindow() == w) {
            act(*w);
            return;
        }
        // Offscreen, nothing activates the window under a closed message box.
        if (w && !QApplication::activeWindow())
            w->activateWindow();
        if (triesLeft > 0)
            whenActive<T>(act, triesLeft - 1);
        else
            ADD_FAILURE() << "the window that was waited for never became active";
    });
}

// Types text into the dialog's name field in place of what it held, then
// presses Enter there.
inline void typeAndEnter(QFileDialog& dialog, const QString& text)
{
    auto* field = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(field, nullptr);
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
}

// A key pressed in the dialog's name field.
inline void press(QFileDialog& dialog, Qt::Key key)
{
    auto* field = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(field, nullptr);
    field->setFocus();
    QTest::keyClick(field, key);
}

// Runs pick() while act() drives the modal window of type T that opens; a
// guard closes any window still open, so the test never blocks.
template <typename R, typename T = QFileDialog>
R whileOpen(const std::function<R()>& pick, const std::type_identity_t<std::function<void(T&)>>& act)
{
    bool acted = false;
    whenActive<T>([&](T& window) {
        acted = true;
        act(window);
    });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&] {
        ADD_FAILURE() << "a dialog stayed open";
        while (QWidget* w = openModal())
            w->close();
    });
    guard.start(60000);
    const R result = pick();
    EXPECT_TRUE(acted) << "no dialog opened";
    return result;
}

} // namespace testenv
