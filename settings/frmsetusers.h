#pragma once

#include <array>

#include "core/users.h"
#include "settingsdialog.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace vek {

// "User Settings": name, password, privilege and the right on each head end of the twelve
// user slots, all saved at once to the users file. Nothing is checked: empty and
// duplicate names are accepted.
class frmSetUsers : public SettingsDialog
{
    Q_OBJECT
public:
    explicit frmSetUsers(QWidget *parent = nullptr);

    // The controls of user slot u (1..12); chkUser(u, he) is the right on head end he.
    QLineEdit *txtName(int u) const { return row(u).txtName; }
    QLineEdit *txtPW(int u) const { return row(u).txtPW; }
    QComboBox *cmbPriv(int u) const { return row(u).cmbPriv; }
    QCheckBox *chkUser(int u, int he) const;

protected:
    void store() override;

private:
    struct UserRow
    {
        QLineEdit *txtName = nullptr;
        QLineEdit *txtPW = nullptr;
        QComboBox *cmbPriv = nullptr;
        std::array<QCheckBox *, MaxHeadEnds + 1> chkUser{};
    };
    const UserRow &row(int u) const;

    std::array<UserRow, MaxUsers + 1> m_rows;
};

} // namespace vek
