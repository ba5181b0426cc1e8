#pragma once

#include <QWidget>

class QLineEdit;
class QPushButton;

namespace vek {

// "Network Settings": the local addresses of the broadcast and house network cards. Saving
// writes the settings file; the addresses take effect at the next start. Closes, like
// Cancel, when another window of the console is activated.
class frmSetNics : public QWidget
{
    Q_OBJECT
public:
    explicit frmSetNics(QWidget *parent = nullptr);

    void cmdOk_Click();
    void cmdCancel_Click();

    QLineEdit *txtIP(int index) const;
    QPushButton *cmdOK() const { return m_ok; }
    QPushButton *cmdCancel() const { return m_cancel; }

private:
    QLineEdit *m_ip[2];
    QPushButton *m_ok;
    QPushButton *m_cancel;
};

} // namespace vek
