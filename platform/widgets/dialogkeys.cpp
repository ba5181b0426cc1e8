#include "dialogkeys.h"

#include <QKeyEvent>
#include <QPushButton>
#include <QWidget>

namespace vek {

DialogKeys *DialogKeys::install(QWidget *dialog, std::function<void()> enter,
                                std::function<void()> escape)
{
    return new DialogKeys(dialog, std::move(enter), std::move(escape));
}

DialogKeys::DialogKeys(QWidget *dialog, std::function<void()> enter, std::function<void()> escape)
    : QObject(dialog), m_dialog(dialog), m_enter(std::move(enter)), m_escape(std::move(escape))
{
    for (QPushButton *button : dialog->findChildren<QPushButton *>())
        button->setAutoDefault(true);
    dialog->installEventFilter(this);
}

bool DialogKeys::eventFilter(QObject *watched, QEvent *event)
{
    // Keys reach the dialog itself only when the focused control left them unused.
    if (watched != m_dialog || event->type() != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    if (mods != Qt::NoModifier)
        return false;
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        if (m_enter)
            m_enter();
        return true;
    }
    if (key->key() == Qt::Key_Escape) {
        if (m_escape)
            m_escape();
        return true;
    }
    return false;
}

} // namespace vek
