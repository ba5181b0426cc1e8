#include "deactivationcloser.h"

#include <QApplication>
#include <QWindow>

#include "dialogseam.h"

namespace vek {

DeactivationCloser *DeactivationCloser::install(QWidget *window, AfterClose after)
{
    return new DeactivationCloser(window, after);
}

DeactivationCloser::DeactivationCloser(QWidget *window, AfterClose after)
    : QObject(window), m_window(window), m_after(after)
{
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this,
            &DeactivationCloser::onFocusWindowChanged);
}

void DeactivationCloser::onFocusWindowChanged(QWindow *now)
{
    // No window of ours active: the user went to another application.
    if (!m_window || now == nullptr || !m_window->isVisible())
        return;
    QWidget *own = m_window->window();
    // Its own dialog is open, or has just closed and hands the activation back to it.
    if (DialogSeam::openCount() > 0 || DialogSeam::returningTo() == own)
        return;
    if (own->windowHandle() == now) {
        m_wasActive = true;
        return;
    }
    // It can only lose an activation it had: a window activated before it ever was (the
    // main window coming up after it at start-up) does not close it.
    if (!m_wasActive)
        return;
    // While its own drop-down list or menu is open, a window manager whose focus follows the
    // pointer may hand the focus to the window under a list that hangs outside: the window
    // has not lost it, the operator is choosing an entry.
    for (QWidget *w = QApplication::activePopupWidget(); w != nullptr; w = w->parentWidget()) {
        if (w == own)
            return;
    }
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (top->windowHandle() != now)
            continue;
        // A window that opened by itself without taking activation (an alarm) does not
        // count either, should the window manager hand it the activation all the same.
        if (top->testAttribute(Qt::WA_ShowWithoutActivating))
            return;
        // A window of its own (a child dialog) is not another window.
        for (QWidget *w = top; w != nullptr; w = w->parentWidget()) {
            if (w == own)
                return;
        }
    }
    for (QWindow *w = now; w != nullptr; w = w->transientParent()) {
        if (w == own->windowHandle() && w != now)
            return;
    }
    own->close();
    if (m_after == Release)
        own->deleteLater();
}

} // namespace vek
