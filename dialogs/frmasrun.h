#pragma once

#include <QWidget>

#include "eventchecks.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace vek {

// "As Run": shows a finished event and lets the operator attach one as-run comment to it.
// The comment goes into the event's record in the table and the record is sent to the
// head end's server. An event that already carries a comment is shown read-only.
//
// Opening: set SelHE, SelCh (the event's head end and slot) and SelView in
// core/selection.h, then call open(). Modeless; every opening is a fresh dialog, and
// Cancel, a successful OK or the activation of another window of the console close and
// release it.
class frmAsRun : public QWidget
{
    Q_OBJECT
public:
    static frmAsRun *open(QWidget *parent = nullptr);

    explicit frmAsRun(QWidget *parent = nullptr);

    bool readOnly() const { return m_readOnly; }

    void cmdOK_Click();
    void cmdCancel_Click();

    QLabel *label(const char *name) const;
    QComboBox *cmbCOM() const { return m_cmbCOM; }
    QLabel *lblName() const { return m_lblName; }
    QPushButton *cmdOK() const { return m_cmdOK; }
    QPushButton *cmdCancel() const { return m_cmdCancel; }

private:
    void buildForm();
    void Form_Load();

    EventRef m_event;
    bool m_readOnly = false;
    QComboBox *m_cmbCOM = nullptr;
    QLabel *m_lblName = nullptr;
    QPushButton *m_cmdOK = nullptr;
    QPushButton *m_cmdCancel = nullptr;
};

} // namespace vek
