#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

class QWindow;

namespace vek {

// Closes a window, with the effect of Cancel, when another top-level window of this program
// becomes active after it was active itself. Its own message boxes, file and colour dialogs
// (children of it, or any dialog of the seam while one is open) do not count, nor does switching to
// another application. The window is released with deleteLater.
class DeactivationCloser : public QObject
{
    Q_OBJECT
public:
    // Watches window; the closer is a child of it and goes with it.
    static DeactivationCloser *install(QWidget *window);

private:
    explicit DeactivationCloser(QWidget *window);
    void onFocusWindowChanged(QWindow *now);

    QPointer<QWidget> m_window;
    bool m_wasActive = false;
};

} // namespace vek
