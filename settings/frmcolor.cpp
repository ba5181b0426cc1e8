#include "frmcolor.h"

#include <QEvent>
#include <QLabel>
#include <QVBoxLayout>

#include "colourswatch.h"
#include "core/receivestate.h"
#include "core/settings.h"
#include "platform/text.h"

namespace vek {

frmColor::frmColor(QWidget *parent) : QWidget(parent, Qt::Dialog)
{
    setWindowTitle(QStringLiteral("Colors"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto *layout = new QVBoxLayout(this);
    layout->setSpacing(2);
    for (int k = 1; k <= 8; ++k) {
        auto *swatch = new QLabel(this);
        swatch->setFrameShape(QFrame::Box);
        swatch->setMinimumSize(220, 22);
        swatch->setAlignment(Qt::AlignCenter);
        m_swatch[size_t(k)] = swatch;
        layout->addWidget(swatch);
    }
    for (int k = 1; k <= 8; ++k) {
        if (k != 3)
            m_swatch[size_t(k)]->setText(colourMeaning(k));
    }
    // The warning time as the Hardware Server last reported it when the legend opened.
    m_swatch[3]->setToolTip(QStringLiteral("Substitution In Less Than ") +
                            fromBytes(CStr(qint64(LessThanMinutes()))) + QStringLiteral(" Min."));
    Form_Activate();
}

void frmColor::Form_Activate()
{
    for (int k = 1; k <= 8; ++k)
        paintSwatch(m_swatch[size_t(k)], settings().EventColors[size_t(k)]);
}

bool frmColor::event(QEvent *e)
{
    if (e->type() == QEvent::WindowActivate)
        Form_Activate();
    return QWidget::event(e);
}

} // namespace vek
