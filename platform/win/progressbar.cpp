#include "platform/win/progressbar.h"

#include <QPainter>

namespace platform::forms {

namespace {

class BarWidget : public QWidget {
public:
    BarWidget(QWidget* parent) : QWidget(parent) {}
    const ProgressBar* bar = nullptr;

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (!bar)
            return;
        QPainter p(this);
        p.fillRect(rect(), bar->backColor());
        const int filled = bar->filledWidth(width());
        if (filled > 0)
            p.fillRect(QRect(0, 0, filled, height()), bar->barColor());
    }
};

} // namespace

ProgressBar::ProgressBar(Form& form, const QString& name, int index, Control* container)
    : Control(form, new BarWidget(parentWidgetFor(form, container)), name, index, container)
{
    static_cast<BarWidget*>(widget())->bar = this;
    widget()->setFocusPolicy(Qt::NoFocus);
}

void ProgressBar::setMinimum(int value)
{
    min_ = value;
    max_ = std::max(max_, min_);
    setValue(value_);
}

void ProgressBar::setMaximum(int value)
{
    max_ = value;
    min_ = std::min(min_, max_);
    setValue(value_);
}

void ProgressBar::setValue(int value)
{
    value_ = std::clamp(value, min_, max_);
    showWhileFilling();
    widget()->update();
}

void ProgressBar::setShownOnlyWhileFilling(bool on)
{
    onlyWhileFilling_ = on;
    showWhileFilling();
}

void ProgressBar::showWhileFilling()
{
    const bool filling = value_ > min_ && value_ < max_;
    if (onlyWhileFilling_ && visible() != filling)
        setVisible(filling);
}

void ProgressBar::setBarColor(const QColor& color)
{
    bar_ = color;
    widget()->update();
}

void ProgressBar::setBackColor(const QColor& color)
{
    back_ = color;
    widget()->update();
}

int ProgressBar::filledWidth(int pixelWidth) const
{
    if (max_ <= min_ || pixelWidth <= 0)
        return 0;
    const double part = static_cast<double>(value_ - min_) / static_cast<double>(max_ - min_);
    return static_cast<int>(part * pixelWidth + 0.5);
}

} // namespace platform::forms
