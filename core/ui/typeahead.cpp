#include "typeahead.h"

#include <QComboBox>
#include <QKeyEvent>

#include "core/channelentries.h"
#include "core/selection.h"
#include "platform/text.h"

namespace vek {

TypeAhead::TypeAhead(QObject *parent) : QObject(parent)
{
    m_timer.setInterval(IntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &TypeAhead::timeKEYPRESS_Timer);
}

void TypeAhead::watch(QComboBox *list)
{
    list->installEventFilter(this);
}

void TypeAhead::keyPress(QComboBox *list, const QString &text)
{
    KeyBuffer() += toBytes(text);
    m_timer.stop();
    m_timer.start();
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts.append(list->itemText(i));
    const int found = typeAheadIndex(texts, fromBytes(KeyBuffer()));
    if (found >= 0)
        list->setCurrentIndex(found);
}

void TypeAhead::timeKEYPRESS_Timer()
{
    KeyBuffer().clear();
    m_timer.stop();
}

bool TypeAhead::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    auto *list = qobject_cast<QComboBox *>(watched);
    const auto *key = static_cast<QKeyEvent *>(event);
    const QString text = key->text();
    if (list == nullptr || text.isEmpty() || !text.at(0).isPrint() ||
        (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return false;
    keyPress(list, text);
    // The list's own search (with its shorter interval) would undo this choice.
    return true;
}

} // namespace vek
