#pragma once

// The find bar over the bottom of the page area: a text box whose Enter
// finds the next match in the current page (Shift+Enter the one before),
// the number of matches beside it, Escape closes it and clears the marks.

#include <QWidget>

#include <functional>

class QLabel;
class QLineEdit;

namespace platform::browser {
class IBrowser;
}

class FindBar : public QWidget {
public:
    // currentBrowser gives the page the bar searches.
    FindBar(QWidget* holder, std::function<platform::browser::IBrowser*()> currentBrowser);

    // Shown at the bottom of the holder with the focus in its box.
    void open();
    void close();
    // Searches the page for the box's text.
    void find(bool backward);
    // Keeps the bar along the holder's bottom edge.
    void place();

    QLineEdit* box() const { return box_; }
    QString resultText() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<platform::browser::IBrowser*()> currentBrowser_;
    QLineEdit* box_ = nullptr;
    QLabel* result_ = nullptr;
};
