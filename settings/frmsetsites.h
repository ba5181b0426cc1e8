#pragma once

#include <array>

#include "core/settings.h"
#include "settingsdialog.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QTabWidget;

namespace vek {

// "Head End Settings": names, Hardware Server addresses and port, list number, network
// card, number of channels, media-stats company number, on-line and alarm flags of the
// twelve head ends, one tab each. Nothing is checked: texts are saved as typed.
class frmSetSites : public SettingsDialog
{
    Q_OBJECT
public:
    explicit frmSetSites(QWidget *parent = nullptr);

    // The controls of head end n (1..12).
    QLineEdit *txtLN(int n) const { return tab(n).txtLN; }
    QLineEdit *txtSN(int n) const { return tab(n).txtSN; }
    QLineEdit *txtHSIP(int n) const { return tab(n).txtHSIP; }
    QLineEdit *txtHSIPBack(int n) const { return tab(n).txtHSIPBack; }
    QLineEdit *txtHSPT(int n) const { return tab(n).txtHSPT; }
    QComboBox *cmbList(int n) const { return tab(n).cmbList; }
    QComboBox *cmbNic(int n) const { return tab(n).cmbNic; }
    QComboBox *cmbCH(int n) const { return tab(n).cmbCH; }
    QLineEdit *txtMS(int n) const { return tab(n).txtMS; }
    QCheckBox *chkOL(int n) const { return tab(n).chkOL; }
    QCheckBox *chkAlarm(int n) const { return tab(n).chkAlarm; }
    QTabWidget *SSTab1() const { return m_tabs; }

protected:
    void store() override;

private:
    struct HeadEndTab
    {
        QLineEdit *txtLN = nullptr;
        QLineEdit *txtSN = nullptr;
        QLineEdit *txtHSIP = nullptr;
        QLineEdit *txtHSIPBack = nullptr;
        QLineEdit *txtHSPT = nullptr;
        QComboBox *cmbList = nullptr;
        QComboBox *cmbNic = nullptr;
        QComboBox *cmbCH = nullptr;
        QLineEdit *txtMS = nullptr;
        QCheckBox *chkOL = nullptr;
        QCheckBox *chkAlarm = nullptr;
    };
    const HeadEndTab &tab(int n) const;
    QWidget *buildTab(HeadEndTab &t);
    void load(int n);

    QTabWidget *m_tabs;
    std::array<HeadEndTab, MaxHeadEnds + 1> m_tab;
};

} // namespace vek
