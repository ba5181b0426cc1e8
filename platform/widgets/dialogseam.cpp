#include "dialogseam.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QPointer>
#include <QWindow>

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

// The window a closed dialog hands the activation back to, until it has it.
QPointer<QWidget> &returning()
{
    static QPointer<QWidget> w;
    return w;
}

// Counts the dialog as open while the nested event loop runs. When a dialog on screen
// closes, the window that raised it is active again with the focus where it was: a window
// manager may have handed the activation to whatever lies under the pointer, and a
// keyboard-only operator would be left with no focus at all.
class OpenGuard
{
public:
    explicit OpenGuard(QWidget *parent, bool shown)
        : m_window(parent && shown ? parent->window() : nullptr),
          m_focus(m_window ? m_window->focusWidget() : nullptr)
    {
        ++openDialogs();
    }
    ~OpenGuard()
    {
        --openDialogs();
        if (!m_window || !m_window->isVisible() || QApplication::activeWindow() == m_window)
            return;
        static const bool watching = [] {
            QObject::connect(qGuiApp, &QGuiApplication::focusWindowChanged, qGuiApp,
                             [](QWindow *now) {
                                 if (returning() && returning()->windowHandle() == now)
                                     returning() = nullptr;
                             });
            return true;
        }();
        Q_UNUSED(watching);
        returning() = m_window;
        m_window->activateWindow();
        if (m_focus && m_focus->window() == m_window)
            m_focus->setFocus(Qt::OtherFocusReason);
    }
    OpenGuard(const OpenGuard &) = delete;
    OpenGuard &operator=(const OpenGuard &) = delete;

private:
    QPointer<QWidget> m_window;
    QPointer<QWidget> m_focus;
};
} // namespace

QMessageBox::StandardButton DialogSeam::message(QWidget *parent, QMessageBox::Icon icon,
                                                const QString &title, const QString &text,
                                                QMessageBox::StandardButtons buttons,
                                                QMessageBox::StandardButton defaultButton)
{
    const OpenGuard guard(parent, !handler());
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
    const OpenGuard guard(parent, !handler());
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
    const OpenGuard guard(parent, !handler());
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

QWidget *DialogSeam::returningTo()
{
    return returning();
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
