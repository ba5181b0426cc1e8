#include "frmsetasrun.h"

#include <QBoxLayout>
#include <QFormLayout>
#include <QLineEdit>
#include <QTabWidget>

#include "platform/text.h"
#include "platform/widgets/typinglimit.h"

namespace vek {

frmSetAsRun::frmSetAsRun(QWidget *parent)
    : SettingsDialog(QStringLiteral("As Run Quick Comments"), QStringLiteral("Apply And Save"),
                     parent)
{
    m_tabs = new QTabWidget(this);
    for (int first = 1; first <= MaxGroups; first += 8) {
        auto *page = new QWidget;
        auto *form = new QFormLayout(page);
        for (int k = first; k < first + 8; ++k) {
            auto *box = new QLineEdit(fromBytes(settings().AsRunComment[size_t(k)]), page);
            box->setMinimumWidth(320);
            TypingLimit::apply(box, TypingLimit::NoLimit);
            m_comments[size_t(k)] = box;
            form->addRow(QString::number(k), box);
        }
        m_tabs->addTab(page, QStringLiteral("%1-%2").arg(first).arg(first + 7));
    }
    body()->addWidget(m_tabs);
}

void frmSetAsRun::store()
{
    for (size_t k = 1; k <= MaxGroups; ++k)
        settings().AsRunComment[k] = toBytes(trimBlanks(m_comments[k]->text()));
    saveSettings();
}

} // namespace vek
