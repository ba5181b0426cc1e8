#include "frmsetqc.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>

#include "core/settings.h"
#include "storedlist.h"

namespace vek {

namespace {
constexpr int Devices = 8;
constexpr int Destinations = 512;

QComboBox *numberList(int count, QWidget *parent)
{
    auto *list = new QComboBox(parent);
    for (int i = 1; i <= count; ++i)
        list->addItem(QString::number(i));
    return list;
}
} // namespace

frmSetQC::frmSetQC(QWidget *parent)
    : SettingsDialog(QStringLiteral("Quality Control Monitor"), QStringLiteral("Apply And Save"),
                     parent)
{
    auto *frame = new QGroupBox(QStringLiteral("Quality Control Settings"), this);
    auto *form = new QFormLayout(frame);
    m_device = numberList(Devices, frame);
    m_destination = numberList(Destinations, frame);
    form->addRow(QStringLiteral("Router Device #"), m_device);
    form->addRow(QStringLiteral("Destination #"), m_destination);
    body()->addWidget(frame);
    showStoredValue(m_device, settings().QCDevice);
    showStoredValue(m_destination, settings().QCDestination);
}

void frmSetQC::store()
{
    settings().QCDevice = chosenValue(m_device);
    settings().QCDestination = chosenValue(m_destination);
    saveSettings();
}

} // namespace vek
