#pragma once

#include <QDate>
#include <QList>
#include <QWidget>

#include "core/eventrec.h"
#include "formparts.h"
#include "scheduleinput.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

namespace vek {

class DatePanel;

// What the Add / Update Event and On-Air dialogs share: the Scheduling frame (head end
// and group, start and end dates, start and end times and the duration, destination and
// source), the Attributes frame, a row of buttons ending in Cancel and the calendar panel
// that changes a date. Each dialog gives the places of the frame that differ: lists and
// buttons where the operator chooses, values where the event keeps what it has.
//
// Opening: set SelHE, SelCh (the event's head end and slot) and SelView (the calling
// view) in core/selection.h, then call the dialog's open(). The dialog reads them once,
// when it is built. Modeless; every opening is a fresh dialog, and Cancel, a successful
// OK or the activation of another window of the console close and release it.
class SchedulingDialog : public QWidget
{
    Q_OBJECT
public:
    QDate startDate() const { return m_startDate; }
    QDate endDate() const { return m_endDate; }

    void cmdEDate_Click();
    void mtxtEnd_Change();
    void cmdCancel_Click();

    QComboBox *cmbGroup() const { return m_cmbGroup; }
    QPushButton *cmdEDate() const { return m_cmdEDate; }
    QLineEdit *mtxtStart() const { return m_mtxtStart; }
    QLineEdit *mtxtEnd() const { return m_mtxtEnd; }
    QLineEdit *mtxtDur() const { return m_mtxtDur; }
    QLineEdit *txtDesc() const { return m_attributes.txtDesc; }
    QLineEdit *txtComment() const { return m_attributes.txtComment; }
    QComboBox *cmbStat() const { return m_attributes.cmbStat; }
    QComboBox *cmbControl() const { return m_attributes.cmbControl; }
    QCheckBox *chkBKUP() const { return m_attributes.chkBKUP; }
    QCheckBox *chkMonBeg() const { return m_attributes.chkMonBeg; }
    QCheckBox *chkMonEnd() const { return m_attributes.chkMonEnd; }
    QPushButton *cmdCancel() const { return m_cmdCancel; }
    DatePanel *picDate() const { return m_picDate; }

protected:
    // The places of the Scheduling frame that differ from dialog to dialog, made as
    // children of schedulingFrame(), and the end date button's first caption.
    struct Places
    {
        QWidget *headEnd = nullptr;
        QWidget *startDate = nullptr;
        QWidget *destination = nullptr;
        QWidget *source = nullptr;
        QString endDateCaption;
    };

    explicit SchedulingDialog(QWidget *parent);

    QGroupBox *schedulingFrame() const { return m_scheduling; }
    // Lays out both frames with places and makes the row of buttons with these captions,
    // the first the default, then Cancel; returns the buttons before Cancel. The Tab key
    // goes through the Scheduling frame in reading order.
    QList<QPushButton *> buildFrames(const Places &places, const QStringList &buttons);
    // Fills the group (its texts as groupEntries(blankBeforeNumber)), status and automation
    // lists, each on its first item.
    void fillLists(bool blankBeforeNumber);
    // Shows the event's group, times, status (onHold: On Hold), texts, flags and automation.
    void showRecord(const EventRec &r, bool onHold);
    void recomputeDuration();

    // The fields both dialogs send, read from the controls.
    void readShared(ScheduleInput &in) const;

    QDate m_startDate;
    QDate m_endDate;

private:
    QVBoxLayout *m_layout = nullptr;
    QGroupBox *m_scheduling = nullptr;
    QComboBox *m_cmbGroup = nullptr;
    QPushButton *m_cmdEDate = nullptr;
    QLineEdit *m_mtxtStart = nullptr;
    QLineEdit *m_mtxtEnd = nullptr;
    QLineEdit *m_mtxtDur = nullptr;
    AttributeFields m_attributes;
    QPushButton *m_cmdCancel = nullptr;
    DatePanel *m_picDate = nullptr;
};

} // namespace vek
