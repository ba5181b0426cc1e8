#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>

class QWidget;

namespace vek {

// Titles of the event dialogs' refusals: the Add / Update Event dialog has no full stop,
// the On-Air and As Run dialogs have one.
inline const QString AddProblemTitle = QStringLiteral("Event Problem");
inline const QString EditProblemTitle = QStringLiteral("Event Problem.");

// The refusal of a dialog whose event has left its slot since the dialog opened.
inline const QByteArray NotValidEventText = "This is not a valid event.";

// The event a dialog opened with: its slot and its full key at that moment. A slot can
// be emptied or refilled by the server while the dialog is open; the dialog acts only
// while the slot still holds the same event.
class EventRef
{
public:
    EventRef() = default;
    // The event in (head end, slot) now; none when the slot is out of range or free.
    static EventRef capture(int headEnd, int slot);

    bool stillHolds() const;
    int headEnd() const { return m_headEnd; }
    int slot() const { return m_slot; }
    const QByteArray &key() const { return m_key; }

private:
    int m_headEnd = 0;
    int m_slot = 0;
    QByteArray m_key;
    bool m_captured = false;
};

// Refusal texts ("" when allowed): the current user's privilege, then his right on a
// head end. A head end outside 1..12 has no right.
QByteArray privilegeProblem();
QByteArray headEndRightProblem(int headEnd);

// A time box as shown, blanks as "_" ("12:3_:__"). Each of hour, minute and second must
// be two digits and within its range; the first part that is not gives its refusal,
// which names the box: "Invalid start time (minute).". A box that is not filled in is
// never sent.
QByteArray timeProblem(const QByteArray &box, const QByteArray &which);
bool isCompleteTime(const QByteArray &box);

// The date checks in their order: start not after end, end not before today, and on one
// day the end after the start (seconds of the day from the boxes' numeric parts).
QByteArray dateProblem(const QDate &startDate, const QDate &endDate, const QByteArray &startBox,
                       const QByteArray &endBox);

// Seconds of the day of a box from its numeric parts (a part that is no number counts 0).
double secondsOfDay(const QByteArray &box);

// True when date and time lie before the present time of the head end's zone. A zone
// index outside 0..11 or a zone clock not yet set is a Failure.
bool beforeHeadEndNow(int headEnd, const QDate &date, const QByteArray &time);

// An edit box's text as it goes into a record: TAB, CR and LF as blanks (they would split
// the wire text), then leading and trailing blanks removed.
QByteArray boxText(const QString &text);

// The duration to send: the box when it holds a complete time, else the end minus the
// start within one day.
QByteArray durationToSend(const QByteArray &durationBox, const QByteArray &start,
                          const QByteArray &end);

// The head end's long name; "" outside 1..12.
QByteArray headEndName(int headEnd);
// The view's name; "" outside 1..8.
QByteArray viewName(int view);

// A refusal: critical icon, OK button.
void refuse(QWidget *parent, const QString &title, const QByteArray &text);

} // namespace vek
