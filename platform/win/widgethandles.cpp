#include "platform/win/widgethandles.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QWidget>

namespace platform::widgethandles {

namespace {

struct Registry {
    QHash<quintptr, QPointer<QWidget>> widgets;
    QHash<const QWidget*, quintptr> numbers;
    quintptr next = 0x1000;
};

Registry& registry()
{
    static Registry r;
    return r;
}

} // namespace

quintptr handleOf(QWidget* widget)
{
    if (!widget)
        return 0;
    Registry& r = registry();
    if (auto it = r.numbers.constFind(widget); it != r.numbers.constEnd())
        return it.value();
    const quintptr number = r.next;
    r.next += 4;
    r.widgets.insert(number, widget);
    r.numbers.insert(widget, number);
    QObject::connect(widget, &QObject::destroyed, [widget, number] {
        Registry& reg = registry();
        reg.widgets.remove(number);
        reg.numbers.remove(widget);
    });
    return number;
}

QWidget* widgetOf(quintptr handle)
{
    const Registry& r = registry();
    const auto it = r.widgets.constFind(handle);
    return it == r.widgets.constEnd() ? nullptr : it.value().data();
}

} // namespace platform::widgethandles
