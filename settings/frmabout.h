#pragma once

#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace vek {

// "About": the product and its version. Closes with OK and when another window of the
// console becomes active.
class frmAbout : public QWidget
{
    Q_OBJECT
public:
    explicit frmAbout(QWidget *parent = nullptr);

    void cmdOk_Click();

    QLabel *lblVersion() const { return m_version; }
    QPlainTextEdit *txtAbout() const { return m_text; }
    QPushButton *cmdOk() const { return m_ok; }

protected:
    void keyPressEvent(QKeyEvent *e) override;

private:
    QLabel *m_version;
    QPlainTextEdit *m_text;
    QPushButton *m_ok;
};

// "Version" with the major number (leading blank), "." and the minor number: "Version 1.0".
QString versionLabel(int major, int minor);

} // namespace vek
