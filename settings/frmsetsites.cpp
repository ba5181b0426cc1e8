#include "frmsetsites.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>

#include "platform/text.h"
#include "platform/widgets/typinglimit.h"
#include "storedlist.h"

namespace vek {

namespace {
constexpr int ListNumbers = 32;
constexpr int ChannelCounts = 255;

QLineEdit *limitedBox(QWidget *parent, int limit)
{
    auto *box = new QLineEdit(parent);
    TypingLimit::apply(box, limit > 0 ? limit : TypingLimit::NoLimit);
    return box;
}
} // namespace

frmSetSites::frmSetSites(QWidget *parent)
    : SettingsDialog(QStringLiteral("Head End Settings"), QStringLiteral("Apply and Save"), parent)
{
    m_tabs = new QTabWidget(this);
    body()->addWidget(m_tabs);
    for (int n = 1; n <= MaxHeadEnds; ++n)
        m_tabs->addTab(buildTab(m_tab[size_t(n)]), QStringLiteral("Head End %1").arg(n));
    for (int n = 1; n <= MaxHeadEnds; ++n)
        load(n);
    // Wide enough for half of the tabs; the rest scroll.
    setMinimumWidth(600);
}

const frmSetSites::HeadEndTab &frmSetSites::tab(int n) const
{
    return m_tab[size_t(validHeadEnd(n) ? n : 1)];
}

QWidget *frmSetSites::buildTab(HeadEndTab &t)
{
    auto *page = new QWidget;
    auto *pageLayout = new QVBoxLayout(page);
    auto *frame = new QGroupBox(QStringLiteral("Head End Settings"), page);
    pageLayout->addWidget(frame);
    auto *grid = new QGridLayout(frame);
    int row = 0;
    auto add = [&](const char *caption, QWidget *control) {
        grid->addWidget(new QLabel(QString::fromLatin1(caption), frame), row, 0);
        grid->addWidget(control, row, 1);
        ++row;
    };
    t.txtLN = limitedBox(frame, 20);
    t.txtSN = limitedBox(frame, 4);
    t.txtHSIP = limitedBox(frame, 0);
    t.txtHSIPBack = limitedBox(frame, 0);
    t.txtHSPT = limitedBox(frame, 0);
    t.cmbList = new QComboBox(frame);
    for (int i = 1; i <= ListNumbers; ++i)
        t.cmbList->addItem(QStringLiteral("List %1").arg(i));
    t.cmbNic = new QComboBox(frame);
    t.cmbNic->addItems({QStringLiteral("Broadcast"), QStringLiteral("House")});
    t.cmbCH = new QComboBox(frame);
    for (int i = 1; i <= ChannelCounts; ++i)
        t.cmbCH->addItem(fromBytes(Str(qint64(i))));
    t.txtMS = limitedBox(frame, 15);
    t.chkOL = new QCheckBox(QStringLiteral("On-Line"), frame);
    t.chkAlarm = new QCheckBox(QStringLiteral("Enable Alarms"), frame);
    add("Name (Long)", t.txtLN);
    add("Name (Short)", t.txtSN);
    add("Main Server IP", t.txtHSIP);
    add("Backup Server IP", t.txtHSIPBack);
    add("Server TCP Port #", t.txtHSPT);
    add("Hardware Server List #", t.cmbList);
    add("Network Card", t.cmbNic);
    add("Number of Channels", t.cmbCH);
    add("Media Stats C.O. #", t.txtMS);
    grid->addWidget(t.chkOL, row++, 1);
    grid->addWidget(t.chkAlarm, row++, 1);
    pageLayout->addStretch();
    return page;
}

void frmSetSites::load(int n)
{
    const Settings &s = settings();
    const HeadEndTab &t = m_tab[size_t(n)];
    t.txtLN->setText(fromBytes(s.HEName[size_t(n)]));
    t.txtSN->setText(fromBytes(s.HEShortName[size_t(n)]));
    t.txtHSIP->setText(fromBytes(s.HEMainIP[size_t(n)]));
    t.txtHSIPBack->setText(fromBytes(s.HEBackupIP[size_t(n)]));
    t.txtHSPT->setText(fromBytes(s.HEPort[size_t(n)]));
    showStoredValue(t.cmbList, s.HEListNo[size_t(n)]);
    showStoredValue(t.cmbNic, s.HENic[size_t(n)]);
    showStoredValue(t.cmbCH, s.HEChannels[size_t(n)]);
    t.txtMS->setText(fromBytes(s.HEMediaStatsCO[size_t(n)]));
    t.chkOL->setChecked(s.HEOnLine[size_t(n)]);
    t.chkAlarm->setChecked(s.HEAlarm[size_t(n)]);
}

void frmSetSites::store()
{
    Settings &s = settings();
    for (size_t n = 1; n <= MaxHeadEnds; ++n) {
        const HeadEndTab &t = m_tab[n];
        s.HEName[n] = toBytes(t.txtLN->text());
        s.HEShortName[n] = toBytes(t.txtSN->text());
        s.HEMainIP[n] = toBytes(t.txtHSIP->text());
        s.HEBackupIP[n] = toBytes(t.txtHSIPBack->text());
        s.HEPort[n] = toBytes(t.txtHSPT->text());
        s.HEListNo[n] = chosenValue(t.cmbList);
        s.HENic[n] = chosenValue(t.cmbNic);
        s.HEChannels[n] = chosenValue(t.cmbCH);
        s.HEMediaStatsCO[n] = toBytes(t.txtMS->text());
        s.HEOnLine[n] = t.chkOL->isChecked();
        s.HEAlarm[n] = t.chkAlarm->isChecked();
    }
    saveSettings();
}

} // namespace vek
