#pragma once

#include <QTimer>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace vek {

// "VEK Login ": makes one of the user slots the current user. Closes when another window of
// the console is activated.
class frmLogin : public QWidget
{
    Q_OBJECT
public:
    static constexpr int FieldLength = 25;

    explicit frmLogin(QWidget *parent = nullptr);

    // OK, or Enter in either box.
    void cmdOK_Click();
    void cmdCancel_Click();
    // Every way of closing the window (Cancel, a login, the window manager's close, another
    // window of the console activated) ends here: the window goes with what was typed.
    void CloseLogin();
    // The error picture's timer: hides the picture once.
    void timeError_Timer();

    QLineEdit *txtName() const { return m_name; }
    QLineEdit *txtPass() const { return m_pass; }
    QLabel *picError() const { return m_error; }
    QPushButton *cmdOK() const { return m_ok; }
    QPushButton *cmdCancel() const { return m_cancel; }
    bool errorTimerActive() const { return m_timeError.isActive(); }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QLineEdit *m_name;
    QLineEdit *m_pass;
    QLabel *m_error;
    QPushButton *m_ok;
    QPushButton *m_cancel;
    QTimer m_timeError;
};

} // namespace vek
