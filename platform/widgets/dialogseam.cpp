#include "dialogseam.h"

#include <QColorDialog>
#include <QFileDialog>

namespace vek {

namespace {
DialogSeam::Handler &handler()
{
    static DialogSeam::Handler h;
    return h;
}

int &openDialogs()
{
    static int n = 0;
    return n;
}

// Counts the dialog as open while the nested event loop runs.
struct OpenGuard
{
    OpenGuard() { ++openDialogs(); }
    ~OpenGuard() { --openDialogs(); }
    OpenGuard(const OpenGuard &) = delete;
    OpenGuard &operator=(const OpenGuard &) = delete;
};
} // namespace

QMessageBox::StandardButton DialogSeam::message(QWidget *parent, QMessageBox::Icon icon,
                                                const QString &title, const QString &text,
                                                QMessageBox::StandardButtons buttons,
                                                QMessageBox::StandardButton defaultButton)
{
    const OpenGuard guard;
    if (handler()) {
        DialogRequest r;
        r.kind = DialogRequest::Message;
        r.icon = icon;
        r.title = title;
        r.text = text;
        r.buttons = buttons;
        return handler()(r).button;
    }
    QMessageBox box(icon, title, text, buttons, parent);
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QString DialogSeam::openFileName(QWidget *parent, const QString &title, const QString &directory,
                                 const QString &filter)
{
    const OpenGuard guard;
    if (handler()) {
        DialogRequest r;
        r.kind = DialogRequest::OpenFile;
        r.title = title;
        r.directory = directory;
        r.filter = filter;
        return handler()(r).fileName;
    }
    return QFileDialog::getOpenFileName(parent, title, directory, filter);
}

QColor DialogSeam::colour(QWidget *parent, const QColor &initial, const QString &title)
{
    const OpenGuard guard;
    if (handler()) {
        DialogRequest r;
        r.kind = DialogRequest::Colour;
        r.title = title;
        r.initial = initial;
        return handler()(r).colour;
    }
    return QColorDialog::getColor(initial, parent, title);
}

void DialogSeam::installHandler(Handler h)
{
    handler() = std::move(h);
}

int DialogSeam::openCount()
{
    return openDialogs();
}

ScopedDialogHandler::ScopedDialogHandler(DialogAnswer answer)
{
    DialogSeam::installHandler([this, answer](const DialogRequest &r) {
        m_requests.append(r);
        return answer;
    });
}

ScopedDialogHandler::ScopedDialogHandler(DialogSeam::Handler h)
{
    DialogSeam::installHandler([this, h](const DialogRequest &r) {
        m_requests.append(r);
        return h(r);
    });
}

ScopedDialogHandler::~ScopedDialogHandler()
{
    DialogSeam::installHandler(nullptr);
}

} // namespace vek
