#include "datepanel.h"

#include <QCalendarWidget>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/widgets/colors.h"
#include "platform/widgets/twips.h"

namespace vek {

DatePanel::DatePanel(QWidget *parent) : QFrame(parent)
{
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    setAutoFillBackground(true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    m_calendar = new QCalendarWidget(this);
    m_calendar->setGridVisible(true);
    m_calendar->setAutoFillBackground(true);
    layout->addWidget(m_calendar);
    auto *buttons = new QHBoxLayout;
    m_ok = new QPushButton(QStringLiteral("Ok"), this);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    layout->addLayout(buttons);
    connect(m_ok, &QPushButton::clicked, this, &DatePanel::cmdDateOk_Click);
    connect(m_cancel, &QPushButton::clicked, this, &DatePanel::cmdDateCancel_Click);
    connect(m_calendar, &QCalendarWidget::clicked, this, &DatePanel::MonthView1_DateClick);
    connect(m_calendar, &QCalendarWidget::activated, this, &DatePanel::MonthView1_DateDblClick);
    hide();
}

void DatePanel::open(const QDate &date, qint32 backColour, int leftTwips, int topTwips)
{
    m_backColour = backColour;
    QPalette p = palette();
    p.setColor(QPalette::Window, colorFromBgr(backColour));
    setPalette(p);
    m_calendar->setSelectedDate(date);
    adjustSize();
    // Kept inside the form, whatever its size.
    int x = twipsToPixels(leftTwips);
    int y = twipsToPixels(topTwips);
    if (QWidget *form = parentWidget()) {
        int below = 0;
        int right = 0;
        for (const QPointer<QWidget> &c : m_uncovered) {
            if (!c)
                continue;
            const QRect r(c->mapTo(form, QPoint(0, 0)), c->size());
            below = qMax(below, r.bottom() + 1);
            right = qMax(right, r.right() + 1);
        }
        if (below > 0)
            y = qMax(y, below + 4);
        // Too little room below them: beside them instead.
        if (y + height() > form->height() && below > 0) {
            y = form->height() - height();
            x = qMax(x, right + 4);
        }
        x = qMax(0, qMin(x, form->width() - width()));
        y = qMax(0, qMin(y, form->height() - height()));
    }
    move(x, y);
    show();
    raise();
}

void DatePanel::setUncovered(const QList<QWidget *> &controls)
{
    m_uncovered.clear();
    for (QWidget *c : controls)
        m_uncovered.append(c);
}

void DatePanel::cmdDateOk_Click()
{
    hide();
    emit dateChosen(m_calendar->selectedDate(), m_backColour);
}

void DatePanel::cmdDateCancel_Click()
{
    hide();
}

void DatePanel::MonthView1_DateClick(const QDate &)
{
    if (m_ok->isVisible())
        m_ok->setFocus();
}

void DatePanel::MonthView1_DateDblClick(const QDate &date)
{
    m_calendar->setSelectedDate(date);
    cmdDateOk_Click();
}

} // namespace vek
