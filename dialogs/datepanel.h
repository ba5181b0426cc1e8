#pragma once

#include <QDate>
#include <QFrame>
#include <QList>
#include <QPointer>

class QCalendarWidget;
class QPushButton;

namespace vek {

// The calendar panel of the event dialogs: hidden until a date button opens it over the
// form. Its back colour records which date it edits: 32768 (dark green) the start date,
// 192 (dark red) the end date. "Ok" and a double click on a day take the date; "Cancel"
// only hides it.
class DatePanel : public QFrame
{
    Q_OBJECT
public:
    static constexpr qint32 StartColour = 32768;
    static constexpr qint32 EndColour = 192;

    explicit DatePanel(QWidget *parent);

    // Controls of the form the panel never covers: the date buttons, so pressing the other
    // one retargets the open panel.
    void setUncovered(const QList<QWidget *> &controls);
    // Shows the panel with date at (left, top) twips of the form, in the given colour,
    // moved down below the controls it must leave uncovered.
    void open(const QDate &date, qint32 backColour, int leftTwips, int topTwips);
    qint32 backColour() const { return m_backColour; }

    QCalendarWidget *MonthView1() const { return m_calendar; }
    QPushButton *cmdDateOk() const { return m_ok; }
    QPushButton *cmdDateCancel() const { return m_cancel; }

    void cmdDateOk_Click();
    void cmdDateCancel_Click();
    void MonthView1_DateClick(const QDate &date);
    void MonthView1_DateDblClick(const QDate &date);

signals:
    // The date was taken; backColour says which.
    void dateChosen(const QDate &date, qint32 backColour);

private:
    QCalendarWidget *m_calendar;
    QPushButton *m_ok;
    QPushButton *m_cancel;
    qint32 m_backColour = 0;
    QList<QPointer<QWidget>> m_uncovered;
};

} // namespace vek
