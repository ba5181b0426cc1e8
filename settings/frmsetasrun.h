#pragma once

#include <array>

#include "core/settings.h"
#include "settingsdialog.h"

class QLineEdit;
class QTabWidget;

namespace vek {

// "As Run Quick Comments": the 24 comments the As Run dialog offers, eight to a tab,
// saved without blanks around them.
class frmSetAsRun : public SettingsDialog
{
    Q_OBJECT
public:
    explicit frmSetAsRun(QWidget *parent = nullptr);

    QLineEdit *txtCom(int k) const { return m_comments[size_t(k >= 1 && k <= MaxGroups ? k : 1)]; }
    QTabWidget *tabs() const { return m_tabs; }

protected:
    void store() override;

private:
    QTabWidget *m_tabs;
    std::array<QLineEdit *, MaxGroups + 1> m_comments{};
};

} // namespace vek
