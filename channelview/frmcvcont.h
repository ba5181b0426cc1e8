#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace vek {

class TypeAhead;

// The channel-control window: switches one channel of the Channel View's head end to its
// default, its backup or another source, activates or stands by its output, and puts it on
// the select list. It stays loaded: every way of closing it (Done, the title-bar X, losing
// activation, a command) hides it, and each showing fills it anew.
class frmCVCont : public QWidget
{
    Q_OBJECT
public:
    explicit frmCVCont(QWidget *parent = nullptr);

    // Fills the window for the Channel View's head end and chosen channel, which stay its
    // target until it is shown again.
    void Form_Activate();

    // 0 Active, 1 Standby.
    void cmdActive_Click(int index);
    void cmdBU_Click();
    void cmdDef_Click();
    void cmdTAKE_Click();
    void chkSel_Click(bool checked);
    void cmdDONE_Click();

    int headEnd() const { return m_he; }
    int channel() const { return m_ch; }
    QLabel *lblCH() const { return m_lblCH; }
    QLabel *lblCUR() const { return m_lblCUR; }
    QPushButton *cmdDef() const { return m_cmdDef; }
    QPushButton *cmdBU() const { return m_cmdBU; }
    QPushButton *cmdTAKE() const { return m_cmdTAKE; }
    QPushButton *cmdActive(int index) const { return index == 0 ? m_cmdActive0 : m_cmdActive1; }
    QPushButton *cmdDONE() const { return m_cmdDONE; }
    QComboBox *cmbSrc() const { return m_cmbSrc; }
    QCheckBox *chkSel() const { return m_chkSel; }
    TypeAhead *typeAhead() const { return m_typeAhead; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    enum class Command { Active, Standby, Backup, Default, Chosen };
    void runCommand(Command command);
    void placeOverChannelView();

    int m_he = 0;
    int m_ch = 0;
    QByteArray m_label;
    QLabel *m_lblCH;
    QLabel *m_lblCUR;
    QPushButton *m_cmdDef;
    QPushButton *m_cmdBU;
    QComboBox *m_cmbSrc;
    QPushButton *m_cmdTAKE;
    QCheckBox *m_chkSel;
    QPushButton *m_cmdActive0;
    QPushButton *m_cmdActive1;
    QPushButton *m_cmdDONE;
    TypeAhead *m_typeAhead;
};

} // namespace vek
