#pragma once

#include "eventchecks.h"
#include "onairform.h"
#include "schedulingdialog.h"

class QLabel;
class QPushButton;

namespace vek {

// "On-Air": changes an event that is on air (end, group, status, automation, texts and
// flags) or sends it back to its default source at once ("Default Now"). The edits go
// into the event's record in the table and the record is sent to the head end's server.
class frmOnAir : public SchedulingDialog
{
    Q_OBJECT
public:
    static frmOnAir *open(QWidget *parent = nullptr);

    explicit frmOnAir(QWidget *parent = nullptr);

    // Index 1 "Update Event", 2 "Default Now".
    void cmdOK_Click(int index);

    QLabel *lblHE() const { return m_lblHE; }
    QLabel *lblSDate() const { return m_lblSDate; }
    QLabel *lblSRC() const { return m_lblSRC; }
    QLabel *lblDes() const { return m_lblDes; }
    QPushButton *cmdOk(int index) const { return index == 2 ? m_cmdDefNow : m_cmdUpdate; }

    OnAirInput input() const;

private:
    void buildForm();
    void Form_Load();
    void dateChosen(const QDate &date, qint32 backColour);

    EventRef m_event;

    QLabel *m_lblHE = nullptr;
    QLabel *m_lblSDate = nullptr;
    QLabel *m_lblSRC = nullptr;
    QLabel *m_lblDes = nullptr;
    QPushButton *m_cmdUpdate = nullptr;
    QPushButton *m_cmdDefNow = nullptr;
};

} // namespace vek
