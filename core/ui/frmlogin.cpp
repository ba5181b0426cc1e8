#include "frmlogin.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/login.h"
#include "platform/widgets/deactivationcloser.h"
#include "platform/widgets/dialogkeys.h"
#include "platform/widgets/passwordbox.h"
#include "platform/widgets/typinglimit.h"

namespace vek {

frmLogin::frmLogin(QWidget *parent) : QWidget(parent, Qt::Dialog)
{
    setWindowTitle(QStringLiteral("VEK Login "));
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    m_name = new QLineEdit(this);
    TypingLimit::apply(m_name, FieldLength);
    m_pass = new QLineEdit(this);
    TypingLimit::apply(m_pass, FieldLength);
    makePasswordBox(m_pass);
    form->addRow(QStringLiteral("User Name"), m_name);
    form->addRow(QStringLiteral("Password"), m_pass);
    layout->addLayout(form);

    m_error = new QLabel(QStringLiteral("Sorry the user name and or password was not correct.  "
                                        "Pease try again.  Passwords are case sensitive."),
                         this);
    m_error->setWordWrap(true);
    m_error->setFrameShape(QFrame::Box);
    m_error->setStyleSheet(QStringLiteral("QLabel { color: red; }"));
    m_error->hide();
    layout->addWidget(m_error);

    auto *buttons = new QHBoxLayout;
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    layout->addLayout(buttons);

    m_timeError.setInterval(3000);
    m_timeError.setSingleShot(true);
    connect(&m_timeError, &QTimer::timeout, this, &frmLogin::timeError_Timer);
    connect(m_ok, &QPushButton::clicked, this, &frmLogin::cmdOK_Click);
    connect(m_cancel, &QPushButton::clicked, this, &frmLogin::cmdCancel_Click);
    connect(m_name, &QLineEdit::returnPressed, this, &frmLogin::cmdOK_Click);
    connect(m_pass, &QLineEdit::returnPressed, this, &frmLogin::cmdOK_Click);
    DeactivationCloser::install(this);
    // Escape is Cancel, as in the event dialogs (Enter already runs OK from either box).
    DialogKeys::install(this, nullptr, [this] { cmdCancel_Click(); });
}

void frmLogin::cmdOK_Click()
{
    switch (tryLogin(m_name->text(), m_pass->text())) {
    case LoginOutcome::Ignored:
        break;
    case LoginOutcome::Refused:
        m_error->show();
        // The window grows to show the whole text.
        adjustSize();
        m_timeError.start();
        break;
    case LoginOutcome::LoggedIn:
        CloseLogin();
        break;
    }
}

void frmLogin::cmdCancel_Click()
{
    CloseLogin();
}

void frmLogin::CloseLogin()
{
    close();
}

void frmLogin::closeEvent(QCloseEvent *event)
{
    m_timeError.stop();
    m_name->clear();
    m_pass->clear();
    deleteLater();
    event->accept();
}

void frmLogin::timeError_Timer()
{
    m_error->hide();
    m_timeError.stop();
}

} // namespace vek
