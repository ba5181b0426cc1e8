#pragma once

#include <QDate>
#include <QWidget>

#include "eventchecks.h"
#include "onairform.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vek {

class DatePanel;

// "On-Air": changes an event that is on air (end, group, status, automation, texts and
// flags) or sends it back to its default source at once ("Default Now"). The edits go
// into the event's record in the table and the record is sent to the head end's server.
//
// Opening: set SelHE, SelCh (the event's head end and slot) and SelView in
// core/selection.h, then call open(). Modeless; every opening is a fresh dialog, and
// Cancel, a successful OK or the activation of another window of the console close and
// release it.
class frmOnAir : public QWidget
{
    Q_OBJECT
public:
    static frmOnAir *open(QWidget *parent = nullptr);

    explicit frmOnAir(QWidget *parent = nullptr);

    QDate startDate() const { return m_startDate; }
    QDate endDate() const { return m_endDate; }

    void cmdEDate_Click();
    void mtxtEnd_Change();
    // Index 1 "Update Event", 2 "Default Now".
    void cmdOK_Click(int index);
    void cmdCancel_Click();

    QLabel *lblHE() const { return m_lblHE; }
    QLabel *lblSDate() const { return m_lblSDate; }
    QLabel *lblSRC() const { return m_lblSRC; }
    QLabel *lblDes() const { return m_lblDes; }
    QComboBox *cmbGroup() const { return m_cmbGroup; }
    QPushButton *cmdEDate() const { return m_cmdEDate; }
    QLineEdit *mtxtStart() const { return m_mtxtStart; }
    QLineEdit *mtxtEnd() const { return m_mtxtEnd; }
    QLineEdit *mtxtDur() const { return m_mtxtDur; }
    QLineEdit *txtDesc() const { return m_txtDesc; }
    QLineEdit *txtComment() const { return m_txtComment; }
    QComboBox *cmbStat() const { return m_cmbStat; }
    QComboBox *cmbControl() const { return m_cmbControl; }
    QCheckBox *chkBKUP() const { return m_chkBKUP; }
    QCheckBox *chkMonBeg() const { return m_chkMonBeg; }
    QCheckBox *chkMonEnd() const { return m_chkMonEnd; }
    QPushButton *cmdOk(int index) const { return index == 2 ? m_cmdDefNow : m_cmdUpdate; }
    QPushButton *cmdCancel() const { return m_cmdCancel; }
    DatePanel *picDate() const { return m_picDate; }

    OnAirInput input() const;

private:
    void buildForm();
    void Form_Load();
    void dateChosen(const QDate &date, qint32 backColour);

    EventRef m_event;
    QDate m_startDate;
    QDate m_endDate;

    QLabel *m_lblHE = nullptr;
    QLabel *m_lblSDate = nullptr;
    QLabel *m_lblSRC = nullptr;
    QLabel *m_lblDes = nullptr;
    QComboBox *m_cmbGroup = nullptr;
    QPushButton *m_cmdEDate = nullptr;
    QLineEdit *m_mtxtStart = nullptr;
    QLineEdit *m_mtxtEnd = nullptr;
    QLineEdit *m_mtxtDur = nullptr;
    QLineEdit *m_txtDesc = nullptr;
    QLineEdit *m_txtComment = nullptr;
    QComboBox *m_cmbStat = nullptr;
    QComboBox *m_cmbControl = nullptr;
    QCheckBox *m_chkBKUP = nullptr;
    QCheckBox *m_chkMonBeg = nullptr;
    QCheckBox *m_chkMonEnd = nullptr;
    QPushButton *m_cmdUpdate = nullptr;
    QPushButton *m_cmdDefNow = nullptr;
    QPushButton *m_cmdCancel = nullptr;
    DatePanel *m_picDate = nullptr;
};

} // namespace vek
