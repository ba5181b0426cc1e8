#pragma once

#include <QTimer>
#include <QWidget>
#include <array>

class QLabel;
class QPushButton;

namespace vek {

// Server Status: the names of the twelve head ends and, refreshed every second, the state
// of each one's link to its Hardware Server.
class frmServerStatus : public QWidget
{
    Q_OBJECT
public:
    explicit frmServerStatus(QWidget *parent = nullptr);

    void timeStatus_Timer();
    QLabel *lblName(int headEnd) const;
    QLabel *lblStatus(int headEnd) const;
    QPushButton *cmdClose() const { return m_cmdClose; }
    QTimer &timeStatus() { return m_timeStatus; }

private:
    std::array<QLabel *, 13> m_lblName{};
    std::array<QLabel *, 13> m_lblStatus{};
    QPushButton *m_cmdClose;
    QTimer m_timeStatus;
};

} // namespace vek
