#include "browsing/findbar.h"

#include "core/language.h"
#include "platform/win/ibrowser.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>

namespace {

QString findText(const char* key, const char* english)
{
    return GetLangString(QStringLiteral("FINDBAR"), QString::fromLatin1(key), QString::fromLatin1(english));
}

} // namespace

FindBar::FindBar(QWidget* holder, std::function<platform::browser::IBrowser*()> currentBrowser)
    : QWidget(holder), currentBrowser_(std::move(currentBrowser))
{
    setAutoFillBackground(true);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    auto* caption = new QLabel(findText("01", "Find:"), this);
    caption->setTextFormat(Qt::PlainText);
    box_ = new QLineEdit(this);
    result_ = new QLabel(this);
    result_->setTextFormat(Qt::PlainText);
    layout->addWidget(caption);
    layout->addWidget(box_, 1);
    layout->addWidget(result_);
    box_->installEventFilter(this);
    hide();
}

void FindBar::place()
{
    if (QWidget* holder = parentWidget()) {
        const int h = sizeHint().height();
        setGeometry(0, holder->height() - h, holder->width(), h);
    }
}

void FindBar::open()
{
    place();
    show();
    raise();
    box_->setFocus();
    box_->selectAll();
}

void FindBar::close()
{
    hide();
    result_->clear();
    if (platform::browser::IBrowser* b = currentBrowser_())
        b->findText(QString(), false, {});
}

void FindBar::find(bool backward)
{
    platform::browser::IBrowser* b = currentBrowser_();
    if (!b)
        return;
    QPointer<QLabel> result = result_;
    b->findText(box_->text(), backward, [result](int matches) {
        if (!result)
            return;
        result->setText(matches > 0 ? findText("03", "%1 matches").arg(matches) : findText("02", "Not found"));
    });
}

QString FindBar::resultText() const
{
    return result_->text();
}

bool FindBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == box_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            find(key->modifiers().testFlag(Qt::ShiftModifier));
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            close();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
