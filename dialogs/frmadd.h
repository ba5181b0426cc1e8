#pragma once

#include <QDate>
#include <QWidget>

#include "addeventform.h"
#include "core/eventrec.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTimer;

namespace vek {

class DatePanel;
class TypeAhead;

// "Add Event" / "Update Event": schedules a new event on a head end or changes an upcoming
// one, and sends it to the head end's server; the event table changes only when the
// server sends the event back.
//
// Opening: set SelHE and SelCh (the event's head end and slot; both 0 to add) and SelView
// (the calling view) in core/selection.h, then call open(). The dialog reads them once,
// when it is built. Modeless; every opening is a fresh dialog, and Cancel, a successful
// OK or the activation of another window of the console close and release it.
class frmAdd : public QWidget
{
    Q_OBJECT
public:
    static frmAdd *open(QWidget *parent = nullptr);

    explicit frmAdd(QWidget *parent = nullptr);

    bool addMode() const { return m_context.addMode; }
    QDate startDate() const { return m_startDate; }
    QDate endDate() const { return m_endDate; }

    // Handlers, named after the controls they serve.
    void cmbHE_Click();
    void cmbDes_Click();
    void cmdSDate_Click();
    void cmdEDate_Click();
    void mtxtStart_Change();
    void mtxtEnd_Change();
    void cmdOK_Click();
    void cmdCancel_Click();

    QComboBox *cmbHE() const { return m_cmbHE; }
    QComboBox *cmbGroup() const { return m_cmbGroup; }
    QPushButton *cmdSDate() const { return m_cmdSDate; }
    QPushButton *cmdEDate() const { return m_cmdEDate; }
    QLineEdit *mtxtStart() const { return m_mtxtStart; }
    QLineEdit *mtxtEnd() const { return m_mtxtEnd; }
    QLineEdit *mtxtDur() const { return m_mtxtDur; }
    QComboBox *cmbDes() const { return m_cmbDes; }
    QComboBox *cmbSrc() const { return m_cmbSrc; }
    QLineEdit *txtDesc() const { return m_txtDesc; }
    QLineEdit *txtComment() const { return m_txtComment; }
    QComboBox *cmbStat() const { return m_cmbStat; }
    QComboBox *cmbControl() const { return m_cmbControl; }
    QCheckBox *chkBKUP() const { return m_chkBKUP; }
    QCheckBox *chkMonBeg() const { return m_chkMonBeg; }
    QCheckBox *chkMonEnd() const { return m_chkMonEnd; }
    QPushButton *cmdOK() const { return m_cmdOK; }
    QPushButton *cmdCancel() const { return m_cmdCancel; }
    DatePanel *picDate() const { return m_picDate; }
    TypeAhead *typeAhead() const { return m_typeAhead; }

    // What OK would send from the controls as they are.
    AddEventInput input() const;

private:
    void buildForm();
    void Form_Load();
    void dateChosen(const QDate &date, qint32 backColour);
    void showDates();
    void recomputeDuration();

    AddEventContext m_context;
    EventRec m_record; // the event as it was when the dialog opened (update)
    QDate m_startDate;
    QDate m_endDate;

    QComboBox *m_cmbHE = nullptr;
    QComboBox *m_cmbGroup = nullptr;
    QPushButton *m_cmdSDate = nullptr;
    QPushButton *m_cmdEDate = nullptr;
    QLineEdit *m_mtxtStart = nullptr;
    QLineEdit *m_mtxtEnd = nullptr;
    QLineEdit *m_mtxtDur = nullptr;
    QComboBox *m_cmbDes = nullptr;
    QComboBox *m_cmbSrc = nullptr;
    QLineEdit *m_txtDesc = nullptr;
    QLineEdit *m_txtComment = nullptr;
    QComboBox *m_cmbStat = nullptr;
    QComboBox *m_cmbControl = nullptr;
    QCheckBox *m_chkBKUP = nullptr;
    QCheckBox *m_chkMonBeg = nullptr;
    QCheckBox *m_chkMonEnd = nullptr;
    QPushButton *m_cmdOK = nullptr;
    QPushButton *m_cmdCancel = nullptr;
    DatePanel *m_picDate = nullptr;
    TypeAhead *m_typeAhead = nullptr;
};

} // namespace vek
