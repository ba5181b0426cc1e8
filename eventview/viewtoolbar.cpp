#include "viewtoolbar.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QFrame>
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
    auto *flow = new FlowLayout(this, 2);
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

    // The frames carry their captions beside their controls, not above them, so a line of
    // frames is no higher than a line of buttons, and both can share a line.
    const auto captioned = [this](const char *caption) {
        auto *frame = new QFrame(this);
        frame->setFrameShape(QFrame::StyledPanel);
        auto *row = new QHBoxLayout(frame);
        row->setContentsMargins(3, 0, 3, 0);
        row->addWidget(new QLabel(QString::fromLatin1(caption), frame));
        return frame;
    };
    m_frame1 = captioned("Time Zone");
    auto *tz = static_cast<QHBoxLayout *>(m_frame1->layout());
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
    flow->addWidget(m_frame1);

    m_frameView = captioned("View Options");
    auto *vo = static_cast<QHBoxLayout *>(m_frameView->layout());
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
