#pragma once

#include "settingsdialog.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vek {

// "Computer Time Reference": whether the time server or an outside control sets the PC
// clock, the time server's address, port and network card, and the offset added to its
// time. The server and offset controls are enabled exactly when the time server is the
// source.
class frmSetTime : public SettingsDialog
{
    Q_OBJECT
public:
    explicit frmSetTime(QWidget *parent = nullptr);

    void cmdOS_Click(int index);

    QCheckBox *chkQRN() const { return m_qrn; }
    QCheckBox *chkEXT() const { return m_ext; }
    QLineEdit *txtHSIP() const { return m_ip; }
    QLineEdit *txtHSPT() const { return m_port; }
    QComboBox *cmbNic() const { return m_nic; }
    QLabel *lblOS() const { return m_sign; }
    QPushButton *cmdOS(int index) const { return m_signButtons[index == 0 ? 0 : 1]; }
    QLineEdit *mtxtOS() const { return m_offset; }
    QGroupBox *frmHS() const { return m_serverFrame; }
    QGroupBox *frmOS() const { return m_offsetFrame; }

protected:
    void store() override;

private:
    void chkQRN_Click();
    void chkEXT_Click();
    void enableServerGroup(bool on);

    QCheckBox *m_qrn;
    QCheckBox *m_ext;
    QGroupBox *m_serverFrame;
    QGroupBox *m_offsetFrame;
    QLineEdit *m_ip;
    QLineEdit *m_port;
    QComboBox *m_nic;
    QLabel *m_sign;
    QPushButton *m_signButtons[2];
    QLineEdit *m_offset;
};

} // namespace vek
