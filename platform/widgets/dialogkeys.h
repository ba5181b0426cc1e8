#pragma once

#include <QObject>
#include <functional>

class QWidget;

namespace vek {

// Enter and Escape in a dialog built on a plain window, as in every dialog an operator
// knows: Enter runs the dialog's OK, Escape its Cancel. A key that a control of the dialog
// uses itself (a focused button, an open list, the calendar) stays with that control;
// every push button of the dialog takes Enter when it has the focus.
class DialogKeys : public QObject
{
    Q_OBJECT
public:
    // The helper is a child of the dialog and goes with it.
    static DialogKeys *install(QWidget *dialog, std::function<void()> enter,
                               std::function<void()> escape);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    DialogKeys(QWidget *dialog, std::function<void()> enter, std::function<void()> escape);

    QWidget *m_dialog;
    std::function<void()> m_enter;
    std::function<void()> m_escape;
};

} // namespace vek
