#include "viewtoolbar.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolBar>

#include "eventview/viewtables.h"
#include "platform/text.h"
#include "platform/widgets/flowlayout.h"

namespace vek {

namespace {
// The toolbar: caption, tooltip.
const char *const ButtonTexts[ViewToolBar::Buttons + 1][2] = {
    {"", ""},
    {"Add", "Add a new event"},
    {"Update", "Update the selected event"},
    {"Delete", "Delete all selected events"},
    {"Hold", "Hold all selected events"},
    {"Sub Now", "Switch all selected events now"},
    {"Hold Group", "Hold selected group"},
    {"Sub Group", "Switch selected group now"},
    {"Int. / Res.", "Interupt or Resume Substitution"},
    {"Int. / Res. Gr.", "Interupt or Resume Group"}};
} // namespace

ViewToolBar::ViewToolBar(QWidget *parent) : QWidget(parent)
{
    auto *flow = new FlowLayout(this, 4);
    flow->setContentsMargins(2, 2, 2, 2);

    m_toolbar = new QToolBar(this);
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    for (int b = 1; b <= Buttons; ++b) {
        m_buttons[size_t(b)] = m_toolbar->addAction(QString::fromLatin1(ButtonTexts[b][0]));
        m_buttons[size_t(b)]->setToolTip(QString::fromLatin1(ButtonTexts[b][1]));
    }
    flow->addWidget(m_toolbar);

    m_frame1 = new QGroupBox(QStringLiteral("Time Zone"), this);
    auto *tz = new QHBoxLayout(m_frame1);
    tz->setContentsMargins(4, 2, 4, 2);
    m_cmbTZ = new QComboBox(m_frame1);
    m_cmbTZ->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    tz->addWidget(m_cmbTZ);
    for (int i = 0; i < 2; ++i) {
        m_lblTime[size_t(i)] = new QLabel(QStringLiteral("00:00:00"), m_frame1);
        // Room for the longest clock text, "12:00:00 PM".
        m_lblTime[size_t(i)]->setMinimumWidth(
            m_lblTime[size_t(i)]->fontMetrics().horizontalAdvance(QStringLiteral("00:00:00 PM")) +
            6);
        tz->addWidget(m_lblTime[size_t(i)]);
    }
    flow->addWidget(m_frame1);

    m_frameView = new QGroupBox(QStringLiteral("View Options"), this);
    auto *vo = new QHBoxLayout(m_frameView);
    vo->setContentsMargins(4, 2, 4, 2);
    m_cmdDefault = new QPushButton(QStringLiteral("Default"), m_frameView);
    m_cmdDefault->setToolTip(QStringLiteral(
        "Returns grid to show all events and default sorting for headends that were enabled when "
        "form activated."));
    m_cmbView = new QComboBox(m_frameView);
    m_cmbView->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    for (int i = 0; i < 14; ++i)
        m_cmbView->addItem(fromBytes(filterEntry(i)));
    m_dtPick = new QDateEdit(m_frameView);
    m_dtPick->setCalendarPopup(true);
    m_dtPick->setEnabled(false);
    vo->addWidget(m_cmdDefault);
    vo->addWidget(m_cmbView);
    vo->addWidget(m_dtPick);
    flow->addWidget(m_frameView);
}

} // namespace vek
