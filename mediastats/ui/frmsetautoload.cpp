#include "frmsetautoload.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/settings.h"
#include "platform/text.h"
#include "platform/widgets/deactivationcloser.h"
#include "platform/widgets/savefailure.h"

namespace vek {

frmSetAutoLoad::frmSetAutoLoad(QWidget *parent) : QWidget(parent, Qt::Dialog)
{
    setWindowTitle(QStringLiteral("MediaStats Auto Load Settings"));
    setAttribute(Qt::WA_DeleteOnClose);
    const Settings &s = settings();
    auto *outer = new QVBoxLayout(this);
    auto *frame = new QGroupBox(QStringLiteral("Watch Folder Path"), this);
    auto *inner = new QVBoxLayout(frame);
    m_path = new QLineEdit(fromBytes(s.AutoLoadPath), frame);
    m_path->setMinimumWidth(320);
    inner->addWidget(m_path);
    outer->addWidget(frame);

    const QString captions[4] = {QStringLiteral("VEK Format"), QStringLiteral("DBF Format"),
                                 QStringLiteral("CSV Format"), QStringLiteral("VE2 Format")};
    const bool flags[4] = {s.AutoLoadVEK, s.AutoLoadDBF, s.AutoLoadCSV, s.AutoLoadVE2};
    auto *formats = new QHBoxLayout;
    for (int i = 0; i < 4; ++i) {
        m_format[i] = new QCheckBox(captions[i], this);
        m_format[i]->setChecked(flags[i]);
        formats->addWidget(m_format[i]);
    }
    outer->addLayout(formats);

    auto *buttons = new QHBoxLayout;
    m_ok = new QPushButton(QStringLiteral("Apply And Save"), this);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    outer->addLayout(buttons);
    connect(m_ok, &QPushButton::clicked, this, &frmSetAutoLoad::cmdOk_Click);
    connect(m_cancel, &QPushButton::clicked, this, &frmSetAutoLoad::cmdCancel_Click);
    DeactivationCloser::install(this);
}

void frmSetAutoLoad::cmdOk_Click()
{
    Settings &s = settings();
    QByteArray path = trimBlanks(toBytes(m_path->text()));
    if (!path.isEmpty() && !path.endsWith('/'))
        path += '/';
    s.AutoLoadPath = path;
    s.AutoLoadVEK = m_format[0]->isChecked();
    s.AutoLoadDBF = m_format[1]->isChecked();
    s.AutoLoadCSV = m_format[2]->isChecked();
    s.AutoLoadVE2 = m_format[3]->isChecked();
    WriteFailure failure;
    const auto ask = [this](const QString &file, const QByteArray &problem) {
        return confirmReplaceUnread(this, windowTitle(), file, problem);
    };
    if (!SaveSettingsOnPurpose(ask, &failure))
        showSaveFailure(this, windowTitle(), failure);
    close();
}

void frmSetAutoLoad::cmdCancel_Click()
{
    close();
}

} // namespace vek
