#pragma once

#include <QPointer>
#include <QTest>
#include <QWidget>

// Pictures of windows for the documentation, taken by tests that run only when
// VEK_SCREENSHOT_DIR names the folder to write them to (under a real display server,
// e.g. xvfb-run).

// Shows a freshly built window, waits until it is drawn, saves its picture as file and
// deletes the window.
inline void saveWindowShot(QWidget *window, const QString &file)
{
    QPointer<QWidget> w = window;
    w->setAttribute(Qt::WA_DeleteOnClose, false);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QTest::qWait(200);
    QVERIFY(w->grab().save(file));
    delete w;
}
