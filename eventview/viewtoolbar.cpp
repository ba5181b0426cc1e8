#include "viewtoolbar.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

#include "eventview/viewtables.h"
#include "platform/text.h"
#include "platform/widgets/flowlayout.h"
#include "platform/widgets/steadylabel.h"

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

    // The buttons wrap among themselves too: a narrow window shows them on more lines,
    // never behind an overflow.
    m_toolbar = new QWidget(this);
    auto *buttons = new FlowLayout(m_toolbar, 0);
    buttons->setContentsMargins(0, 0, 0, 0);
    for (int b = 1; b <= Buttons; ++b) {
        auto *action = new QAction(QString::fromLatin1(ButtonTexts[b][0]), this);
        action->setToolTip(QString::fromLatin1(ButtonTexts[b][1]));
        auto *button = new QToolButton(m_toolbar);
        button->setDefaultAction(action);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        button->setAutoRaise(true);
        buttons->addWidget(button);
        m_buttons[size_t(b)] = action;
        m_buttonWidgets[size_t(b)] = button;
    }
    flow->addWidget(m_toolbar);

    // The two frames keep together: they follow the buttons on their line where all fit,
    // else they take the next line (and wrap between them only where even that is short).
    auto *frames = new QWidget(this);
    auto *framesFlow = new FlowLayout(frames, 4);
    framesFlow->setContentsMargins(0, 0, 0, 0);
    flow->addWidget(frames);

    m_frame1 = new QGroupBox(QStringLiteral("Time Zone"), frames);
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
        keepSizeForWidestText(m_lblTime[size_t(i)],
                              {QStringLiteral("00:00:00 AM"), QStringLiteral("00:00:00 PM")});
        tz->addWidget(m_lblTime[size_t(i)]);
    }
    framesFlow->addWidget(m_frame1);

    m_frameView = new QGroupBox(QStringLiteral("View Options"), frames);
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
    framesFlow->addWidget(m_frameView);
}

} // namespace vek
