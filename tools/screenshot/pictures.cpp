#include "pictures.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QGuiApplication>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <cstdio>

Pictures::Pictures(QString folder) : m_folder(std::move(folder)) {}

bool Pictures::waitFor(const std::function<bool()> &ready, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!ready()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

void Pictures::wait(int ms)
{
    QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

bool Pictures::fail(const QString &why)
{
    std::fprintf(stderr, "vek-screenshot: %s\n", qPrintable(why));
    return false;
}

bool Pictures::shown(QWidget *window)
{
    if (!window->isVisible())
        window->show();
    // Drawn once the display server has mapped it (a sub-window with its top-level window);
    // a little longer for late layouts.
    QWidget *top = window->window();
    if (!waitFor([top] { return top->windowHandle() && top->windowHandle()->isExposed(); }, 5000))
        return fail(QStringLiteral("%1 was never shown").arg(window->windowTitle()));
    wait(200);
    return true;
}

bool Pictures::written(bool ok, const QString &file)
{
    if (!ok)
        std::fprintf(stderr, "vek-screenshot: could not save %s\n", qPrintable(file));
    else
        std::printf("%s\n", qPrintable(file));
    return ok;
}

bool Pictures::save(QWidget *window, const QString &name)
{
    if (!shown(window))
        return false;
    const QString file = QDir(m_folder).filePath(name + QStringLiteral(".png"));
    return written(window->grab().save(file), file);
}

bool Pictures::saveFramed(QWidget *window, const QString &name)
{
    if (!shown(window))
        return false;
    const QRect frame = window->frameGeometry();
    QScreen *screen = window->screen();
    const QString file = QDir(m_folder).filePath(name + QStringLiteral(".png"));
    return written(
        screen &&
            screen->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height()).save(file),
        file);
}

bool Pictures::saveAndDelete(QWidget *window, const QString &name)
{
    QPointer<QWidget> w = window;
    w->setAttribute(Qt::WA_DeleteOnClose, false);
    const bool ok = save(w, name);
    delete w;
    return ok;
}
