#pragma once

#include "addeventform.h"
#include "core/eventrec.h"
#include "schedulingdialog.h"

class QComboBox;
class QPushButton;

namespace vek {

class TypeAhead;

// "Add Event" / "Update Event": schedules a new event on a head end or changes an upcoming
// one, and sends it to the head end's server; the event table changes only when the
// server sends the event back. SelHE and SelCh both 0 open it to add.
class frmAdd : public SchedulingDialog
{
    Q_OBJECT
public:
    static frmAdd *open(QWidget *parent = nullptr);

    explicit frmAdd(QWidget *parent = nullptr);

    bool addMode() const { return m_context.addMode; }

    // Handlers, named after the controls they serve.
    void cmbHE_Click();
    void cmbDes_Click();
    void cmdSDate_Click();
    void mtxtStart_Change();
    void cmdOK_Click();

    QComboBox *cmbHE() const { return m_cmbHE; }
    QPushButton *cmdSDate() const { return m_cmdSDate; }
    QComboBox *cmbDes() const { return m_cmbDes; }
    QComboBox *cmbSrc() const { return m_cmbSrc; }
    QPushButton *cmdOK() const { return m_cmdOK; }
    TypeAhead *typeAhead() const { return m_typeAhead; }

    // What OK would send from the controls as they are.
    AddEventInput input() const;

private:
    void buildForm();
    void Form_Load();
    void dateChosen(const QDate &date, qint32 backColour);
    void showDates();

    AddEventContext m_context;
    EventRec m_record; // the event as it was when the dialog opened (update)

    QComboBox *m_cmbHE = nullptr;
    QPushButton *m_cmdSDate = nullptr;
    QComboBox *m_cmbDes = nullptr;
    QComboBox *m_cmbSrc = nullptr;
    QPushButton *m_cmdOK = nullptr;
    TypeAhead *m_typeAhead = nullptr;
};

} // namespace vek
