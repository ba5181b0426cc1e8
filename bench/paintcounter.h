#pragma once

#include <QEvent>
#include <QObject>

namespace vekbench {

// Counts the paints of the widget it filters, so a figure can wait for a list's rows to show.
class PaintCounter : public QObject
{
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(watched, event);
    }
};

} // namespace vekbench
