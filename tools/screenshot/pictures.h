#pragma once

#include <QString>
#include <functional>

class QWidget;

// Saves pictures of windows into one folder, and waits for the console while it works.
class Pictures
{
public:
    explicit Pictures(QString folder);

    // Shows the window if it is hidden, waits until it is drawn and saves its picture as
    // name.png in the folder.
    bool save(QWidget *window, const QString &name);
    // The same, with the window manager's frame and title bar (read from the screen).
    bool saveFramed(QWidget *window, const QString &name);
    // save() of a window made for the picture alone, which is deleted afterwards.
    bool saveAndDelete(QWidget *window, const QString &name);

    // Runs the event loop until ready() holds; false after timeoutMs.
    static bool waitFor(const std::function<bool()> &ready, int timeoutMs);
    // Runs the event loop for ms.
    static void wait(int ms);
    // Says why a scene could not be made; false.
    static bool fail(const QString &why);

private:
    bool shown(QWidget *window);
    bool written(bool ok, const QString &file);

    QString m_folder;
};
