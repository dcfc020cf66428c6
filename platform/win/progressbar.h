#pragma once

// A progress bar: Min, Max and Value, drawn as a bar of the bar colour over
// the background colour, filled from the left in proportion to Value.

#include "platform/win/control.h"

namespace platform::forms {

class ProgressBar : public Control {
public:
    ProgressBar(Form& form, const QString& name, int index = -1, Control* container = nullptr);

    int minimum() const { return min_; }
    int maximum() const { return max_; }
    int value() const { return value_; }
    void setMinimum(int value);
    void setMaximum(int value);
    // Kept within Min and Max.
    void setValue(int value);
    QColor barColor() const { return bar_; }
    void setBarColor(const QColor& color);
    QColor backColor() const { return back_; }
    void setBackColor(const QColor& color);

    // Shown only while a run is under way (Value above Min and below Max);
    // at rest, at either end, the bar is hidden and what lies under it shows.
    void setShownOnlyWhileFilling(bool on);

    // The filled width in pixels for a widget of that width.
    int filledWidth(int pixelWidth) const;

    bool hasFont() const override { return false; }

private:
    void showWhileFilling();

    int min_ = 0;
    int max_ = 100;
    int value_ = 0;
    bool onlyWhileFilling_ = false;
    QColor bar_ = QColor(0x73, 0x96, 0xE3);
    QColor back_ = QColor(0xFF, 0xFF, 0xFF);
};

} // namespace platform::forms
