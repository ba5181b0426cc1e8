#include "frmsetcolor.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "colourswatch.h"
#include "core/receivestate.h"
#include "core/settings.h"
#include "platform/widgets/colors.h"
#include "platform/widgets/dialogseam.h"
#include "storedlist.h"

namespace vek {

frmSetColor::frmSetColor(QWidget *parent)
    : SettingsDialog(QStringLiteral("Color Settings"), QStringLiteral("Apply And Save"), parent)
{
    auto *colours = new QGroupBox(QStringLiteral("Background Colors"), this);
    auto *grid = new QGridLayout(colours);
    for (int k = 1; k <= 8; ++k) {
        m_colour[size_t(k)] = settings().EventColors[size_t(k)];
        auto *swatch = new QLabel(colours);
        swatch->setFrameShape(QFrame::Box);
        swatch->setFixedSize(48, 20);
        paintSwatch(swatch, m_colour[size_t(k)]);
        auto *change = new QPushButton(QStringLiteral("Change"), colours);
        grid->addWidget(new QLabel(colourMeaning(k), colours), k - 1, 0);
        grid->addWidget(swatch, k - 1, 1);
        grid->addWidget(change, k - 1, 2);
        m_swatch[size_t(k)] = swatch;
        m_change[size_t(k)] = change;
        connect(change, &QPushButton::clicked, this, [this, k] { but_Click(k); });
    }
    body()->addWidget(colours);

    auto *fontFrame = new QGroupBox(QStringLiteral("Channel View Font Size"), this);
    auto *fontLayout = new QHBoxLayout(fontFrame);
    m_font = new QComboBox(fontFrame);
    m_font->addItems(
        {QStringLiteral("6"), QStringLiteral("8"), QStringLiteral("10"), QStringLiteral("12")});
    // The list's positions are the stored index 0..3.
    showStoredValue(m_font, qint16(settings().FontIndex + 1));
    fontLayout->addWidget(m_font);
    fontLayout->addStretch();
    body()->addWidget(fontFrame);
}

void frmSetColor::but_Click(int k)
{
    k = index(k);
    const QColor chosen = DialogSeam::colour(this, m_dialogColour, colourMeaning(k));
    if (!chosen.isValid())
        return;
    m_dialogColour = chosen;
    m_colour[size_t(k)] = bgrFromColor(chosen);
    paintSwatch(m_swatch[size_t(k)], m_colour[size_t(k)]);
}

void frmSetColor::store()
{
    Settings &s = settings();
    for (size_t k = 1; k <= 8; ++k)
        s.EventColors[k] = m_colour[k];
    s.FontIndex = qint16(chosenValue(m_font) - 1);
    saveSettings();
    // The lists show the new colours at once rather than at their head end's next change.
    for (int v = 1; v <= ViewCount; ++v) {
        for (int he = 1; he <= MaxHeadEnds; ++he)
            GridDirty(v, he) = true;
    }
}

} // namespace vek
