#pragma once

#include <QColor>
#include <QMessageBox>
#include <QString>
#include <functional>

class QWidget;

namespace vek {

// Every message box, file dialog and colour dialog of the console goes through here, so
// tests can answer them and windows that close on losing activation can tell their own
// dialogs from other windows.
struct DialogRequest
{
    enum Kind { Message, OpenFile, Colour };
    Kind kind = Message;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    QString text;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    QString directory; // OpenFile
    QString filter;    // OpenFile
    QColor initial;    // Colour
};

struct DialogAnswer
{
    QMessageBox::StandardButton button = QMessageBox::Ok;
    QString fileName; // "" when cancelled
    QColor colour;    // invalid when cancelled
};

class DialogSeam
{
public:
    using Handler = std::function<DialogAnswer(const DialogRequest &)>;

    static QMessageBox::StandardButton
    message(QWidget *parent, QMessageBox::Icon icon, const QString &title, const QString &text,
            QMessageBox::StandardButtons buttons = QMessageBox::Ok,
            QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
    static QString openFileName(QWidget *parent, const QString &title, const QString &directory,
                                const QString &filter);
    static QColor colour(QWidget *parent, const QColor &initial, const QString &title);

    // A handler answers instead of a real dialog; nullptr returns to real dialogs.
    static void installHandler(Handler handler);
    // How many dialogs of the seam are open now (nested event loops included).
    static int openCount();
    // The window a closed dialog is handing the activation back to, until it has it.
    static QWidget *returningTo();
};

// Installs a dialog handler for the lifetime of a scope (tests) and records every request.
class ScopedDialogHandler
{
public:
    explicit ScopedDialogHandler(DialogAnswer answer = {});
    explicit ScopedDialogHandler(DialogSeam::Handler handler);
    ~ScopedDialogHandler();
    ScopedDialogHandler(const ScopedDialogHandler &) = delete;
    ScopedDialogHandler &operator=(const ScopedDialogHandler &) = delete;

    const QList<DialogRequest> &requests() const { return m_requests; }

private:
    QList<DialogRequest> m_requests;
};

} // namespace vek
