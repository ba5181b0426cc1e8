#include "settingsdialog.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/settings.h"
#include "core/users.h"
#include "platform/widgets/deactivationcloser.h"
#include "platform/widgets/savefailure.h"

namespace vek {

SettingsDialog::SettingsDialog(const QString &title, const QString &saveCaption, QWidget *parent)
    : QWidget(parent, Qt::Dialog)
{
    setWindowTitle(title);
    // The title-bar X is Cancel: the dialog goes with its edits.
    setAttribute(Qt::WA_DeleteOnClose);
    auto *outer = new QVBoxLayout(this);
    m_body = new QVBoxLayout;
    outer->addLayout(m_body);
    auto *buttons = new QHBoxLayout;
    m_ok = new QPushButton(saveCaption, this);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    outer->addLayout(buttons);
    connect(m_ok, &QPushButton::clicked, this, &SettingsDialog::cmdOk_Click);
    connect(m_cancel, &QPushButton::clicked, this, &SettingsDialog::cmdCancel_Click);
    DeactivationCloser::install(this);
}

void SettingsDialog::keyPressEvent(QKeyEvent *e)
{
    // Escape is Cancel; the boxes pass it on to here.
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
        cmdCancel_Click();
        return;
    }
    QWidget::keyPressEvent(e);
}

void SettingsDialog::showEvent(QShowEvent *e)
{
    // A wheel turned over a list that the administrator did not pick (scrolling through
    // the dialog) must not change it: only a list with the focus takes the wheel.
    for (QComboBox *list : findChildren<QComboBox *>()) {
        list->setFocusPolicy(Qt::StrongFocus);
        list->removeEventFilter(this);
        list->installEventFilter(this);
    }
    QWidget::showEvent(e);
}

bool SettingsDialog::eventFilter(QObject *watched, QEvent *e)
{
    if (e->type() == QEvent::Wheel) {
        auto *list = qobject_cast<QComboBox *>(watched);
        if (list && !list->hasFocus()) {
            e->ignore();
            return true;
        }
    }
    return QWidget::eventFilter(watched, e);
}

void SettingsDialog::cmdOk_Click()
{
    store();
    close();
}

void SettingsDialog::saveSettings()
{
    WriteFailure failure;
    const auto ask = [this](const QString &file, const QByteArray &problem) {
        return confirmReplaceUnread(this, windowTitle(), file, problem);
    };
    if (!SaveSettingsOnPurpose(ask, &failure))
        showSaveFailure(this, windowTitle(), failure);
}

void SettingsDialog::saveUsers()
{
    WriteFailure failure;
    if (!SaveUsers(&failure))
        showSaveFailure(this, windowTitle(), failure);
}

void SettingsDialog::cmdCancel_Click()
{
    close();
}

} // namespace vek
