#include "frmsetusers.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include "core/settings.h"
#include "platform/text.h"
#include "platform/widgets/passwordbox.h"
#include "platform/widgets/typinglimit.h"
#include "storedlist.h"

namespace vek {

namespace {
constexpr int NameLimit = 25;
constexpr int PasswordLimit = 10;

// Typed names and passwords are kept without blanks around them. A box the administrator
// left as it was loaded keeps the stored text as it is, so opening and saving changes no
// one's login (a stored password with a blank around it stays as it is).
QString typedOrStored(const QLineEdit *box, const QString &stored)
{
    return box->text() == stored ? stored : trimBlanks(box->text());
}
} // namespace

frmSetUsers::frmSetUsers(QWidget *parent)
    : SettingsDialog(QStringLiteral("User Settings"), QStringLiteral("Apply And Save"), parent)
{
    auto *frame = new QGroupBox(QStringLiteral("Users"), this);
    body()->addWidget(frame);
    auto *grid = new QGridLayout(frame);
    grid->setHorizontalSpacing(4);
    grid->addWidget(new QLabel(QStringLiteral("Name"), frame), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Password"), frame), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Privilege"), frame), 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Head Ends"), frame), 0, 3, 1, MaxHeadEnds);
    // The head ends' numbers over their columns; the boxes' tool tips give their names.
    for (int he = 1; he <= MaxHeadEnds; ++he) {
        auto *number = new QLabel(QString::number(he), frame);
        number->setAlignment(Qt::AlignCenter);
        grid->addWidget(number, 1, 2 + he);
    }
    constexpr int FirstRow = 2;

    const Users &us = users();
    const Settings &s = settings();
    for (int u = 1; u <= MaxUsers; ++u) {
        UserRow &r = m_rows[size_t(u)];
        r.txtName = new QLineEdit(frame);
        TypingLimit::apply(r.txtName, NameLimit);
        r.txtPW = new QLineEdit(frame);
        TypingLimit::apply(r.txtPW, PasswordLimit);
        makePasswordBox(r.txtPW);
        r.cmbPriv = new QComboBox(frame);
        r.cmbPriv->addItems(
            {QStringLiteral("None"), QStringLiteral("Operator"), QStringLiteral("Administrator")});
        grid->addWidget(r.txtName, FirstRow + u - 1, 0);
        grid->addWidget(r.txtPW, FirstRow + u - 1, 1);
        grid->addWidget(r.cmbPriv, FirstRow + u - 1, 2);
        for (int he = 1; he <= MaxHeadEnds; ++he) {
            auto *box = new QCheckBox(frame);
            box->setToolTip(fromBytes(s.HEName[size_t(he)]));
            r.chkUser[size_t(he)] = box;
            grid->addWidget(box, FirstRow + u - 1, 2 + he);
        }

        r.txtName->setText(us.UserName[size_t(u)]);
        r.txtPW->setText(us.UserPass[size_t(u)]);
        showStoredValue(r.cmbPriv, us.UserPrivilege[size_t(u)]);
        for (int he = 1; he <= MaxHeadEnds; ++he)
            r.chkUser[size_t(he)]->setChecked(us.UserHEAccess[size_t(u)][size_t(he)]);
    }
}

const frmSetUsers::UserRow &frmSetUsers::row(int u) const
{
    return m_rows[size_t(u >= 1 && u <= MaxUsers ? u : 1)];
}

QCheckBox *frmSetUsers::chkUser(int u, int he) const
{
    return row(u).chkUser[size_t(validHeadEnd(he) ? he : 1)];
}

void frmSetUsers::store()
{
    Users &us = users();
    for (size_t u = 1; u <= MaxUsers; ++u) {
        const UserRow &r = m_rows[u];
        us.UserName[u] = typedOrStored(r.txtName, us.UserName[u]);
        us.UserPass[u] = typedOrStored(r.txtPW, us.UserPass[u]);
        us.UserPrivilege[u] = chosenValue(r.cmbPriv);
        for (size_t he = 1; he <= MaxHeadEnds; ++he)
            us.UserHEAccess[u][he] = r.chkUser[he]->isChecked();
    }
    saveUsers();
}

} // namespace vek
