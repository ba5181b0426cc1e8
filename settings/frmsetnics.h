#pragma once

#include "settingsdialog.h"

class QLineEdit;

namespace vek {

// "Network Settings": the local addresses of the broadcast and house network cards. Saving
// writes the settings file; the addresses take effect at the next start.
class frmSetNics : public SettingsDialog
{
    Q_OBJECT
public:
    explicit frmSetNics(QWidget *parent = nullptr);

    QLineEdit *txtIP(int index) const;

protected:
    void store() override;

private:
    QLineEdit *m_ip[2];
};

} // namespace vek
