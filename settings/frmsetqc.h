#pragma once

#include "settingsdialog.h"

class QComboBox;

namespace vek {

// "Quality Control Monitor": the router device and destination that the Channel View's
// monitor take switches.
class frmSetQC : public SettingsDialog
{
    Q_OBJECT
public:
    explicit frmSetQC(QWidget *parent = nullptr);

    QComboBox *cmbDev() const { return m_device; }
    QComboBox *cmbDes() const { return m_destination; }

protected:
    void store() override;

private:
    QComboBox *m_device;
    QComboBox *m_destination;
};

} // namespace vek
