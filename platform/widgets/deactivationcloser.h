#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

class QWindow;

namespace vek {

// Closes a window, with the effect of Cancel, when another top-level window of this program
// becomes active after it was active itself. Its own message boxes, file and colour dialogs
// (children of it, or any dialog of the seam while one is open) do not count, nor do windows
// shown without activation (alarms), nor does switching to another application. The window is
// released with deleteLater.
class DeactivationCloser : public QObject
{
    Q_OBJECT
public:
    // What follows the close: Release deletes the window later; Keep leaves it to the
    // window's own close handling (a window that only hides, or one that may refuse).
    enum AfterClose { Release, Keep };

    // Watches window; the closer is a child of it and goes with it.
    static DeactivationCloser *install(QWidget *window, AfterClose after = Release);

private:
    DeactivationCloser(QWidget *window, AfterClose after);
    void onFocusWindowChanged(QWindow *now);

    QPointer<QWidget> m_window;
    AfterClose m_after;
    bool m_wasActive = false;
};

} // namespace vek
