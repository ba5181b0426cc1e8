#include "viewstatusbar.h"

#include <QLabel>

#include "core/settings.h"
#include "platform/widgets/flowlayout.h"

namespace vek {

ViewStatusBar::ViewStatusBar(QWidget *parent) : QWidget(parent)
{
    auto *flow = new FlowLayout(this, 2);
    flow->setContentsMargins(2, 1, 2, 1);
    for (int p = 1; p <= Panels; ++p) {
        auto *panel = new QLabel(this);
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setContentsMargins(3, 0, 3, 0);
        m_panels[size_t(p)] = panel;
        flow->addWidget(panel);
        if (p <= MaxHeadEnds)
            panel->hide();
    }
    m_panels[13]->setToolTip(QStringLiteral("Number of events on the above grid."));
    m_panels[14]->setText(QStringLiteral("Non-Standard Sort"));
    m_panels[14]->setToolTip(QStringLiteral("Non-Standard Sort"));
    m_panels[15]->setText(QStringLiteral("Clear Alarm"));
    m_panels[15]->setToolTip(QStringLiteral("Clear Alarm"));
    m_panels[16]->setText(QStringLiteral("DashBoard On/Off"));
    m_panels[16]->setToolTip(QStringLiteral("DashBoard On/Off"));
}

QLabel *ViewStatusBar::panel(int panel) const
{
    return panel >= 1 && panel <= Panels ? m_panels[size_t(panel)] : nullptr;
}

} // namespace vek
