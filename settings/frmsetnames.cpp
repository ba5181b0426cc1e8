#include "frmsetnames.h"

#include <QBoxLayout>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>

#include "core/settings.h"
#include "core/ui/mdimain.h"
#include "platform/text.h"
#include "platform/widgets/typinglimit.h"

namespace vek {

frmSetNames::frmSetNames(MDIMain *main)
    : SettingsDialog(QStringLiteral("VEK Event View Names"), QStringLiteral("Apply And Save"),
                     main),
      m_main(main)
{
    auto *frame = new QGroupBox(QStringLiteral("Names"), this);
    auto *form = new QFormLayout(frame);
    for (int i = 1; i <= MaxViews; ++i) {
        m_names[size_t(i)] = new QLineEdit(fromBytes(settings().ViewName[size_t(i)]), frame);
        TypingLimit::apply(m_names[size_t(i)], TypingLimit::NoLimit);
        form->addRow(QStringLiteral("View %1").arg(i), m_names[size_t(i)]);
    }
    body()->addWidget(frame);
}

void frmSetNames::store()
{
    for (size_t i = 1; i <= MaxViews; ++i)
        settings().ViewName[i] = toBytes(m_names[i]->text());
    saveSettings();
    if (m_main)
        m_main->showViewNames();
}

} // namespace vek
