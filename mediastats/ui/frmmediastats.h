#pragma once

#include <QWidget>
#include <array>

#include "core/settings.h"

class QCheckBox;
class QPushButton;

namespace vek {

// "Open Media Stats File": the head ends to import for (those of the calling Event View,
// on-line ones whose link is up only), whether rows dated before today still go, and Open, which
// asks for the file, reads it and converts its rows. Closes after an import, on Cancel, on its
// title-bar X and on losing activation to another window of the console.
class frmMediaStats : public QWidget
{
    Q_OBJECT
public:
    explicit frmMediaStats(QWidget *parent = nullptr);

    void cmdOK_Click();
    void cmdCancel_Click();

    QCheckBox *chkHE(int headEnd) const { return m_chkHE[size_t(headEnd)]; }
    QCheckBox *chkYes() const { return m_chkYes; }
    QCheckBox *chkNo() const { return m_chkNo; }
    QPushButton *cmdOK() const { return m_ok; }
    QPushButton *cmdCancel() const { return m_cancel; }

private:
    void error(const QByteArray &text);

    std::array<QCheckBox *, MaxHeadEnds + 1> m_chkHE{};
    QCheckBox *m_chkYes;
    QCheckBox *m_chkNo;
    QPushButton *m_ok;
    QPushButton *m_cancel;
};

} // namespace vek
