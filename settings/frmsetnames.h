#pragma once

#include <array>

#include "settingsdialog.h"

class QLineEdit;

namespace vek {

class MDIMain;

// "VEK Event View Names": the names of the eight Event Views, saved exactly as typed
// (an empty name too). The View menus of the main window and of every Event View show
// the new names at once.
class frmSetNames : public SettingsDialog
{
    Q_OBJECT
public:
    explicit frmSetNames(MDIMain *main);

    QLineEdit *txtNames(int i) const { return m_names[size_t(i >= 1 && i <= 8 ? i : 1)]; }

protected:
    void store() override;

private:
    MDIMain *m_main;
    std::array<QLineEdit *, 9> m_names{};
};

} // namespace vek
