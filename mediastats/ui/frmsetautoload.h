#pragma once

#include <QWidget>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace vek {

// "MediaStats Auto Load Settings": the watched folder and the formats it loads. Apply And
// Save writes the settings file; Cancel, the title-bar X and losing activation to another
// window of the console keep nothing.
class frmSetAutoLoad : public QWidget
{
    Q_OBJECT
public:
    explicit frmSetAutoLoad(QWidget *parent = nullptr);

    void cmdOk_Click();
    void cmdCancel_Click();

    QLineEdit *txtPath() const { return m_path; }
    QCheckBox *chkVEK() const { return m_format[0]; }
    QCheckBox *chkDBF() const { return m_format[1]; }
    QCheckBox *chkCSV() const { return m_format[2]; }
    QCheckBox *chkVE2() const { return m_format[3]; }
    QPushButton *cmdOk() const { return m_ok; }
    QPushButton *cmdCancel() const { return m_cancel; }

private:
    QLineEdit *m_path;
    QCheckBox *m_format[4];
    QPushButton *m_ok;
    QPushButton *m_cancel;
};

} // namespace vek
