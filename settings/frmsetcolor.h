#pragma once

#include <QColor>
#include <array>

#include "settingsdialog.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace vek {

// "Color Settings": the eight colours that mark the rows of the event lists and the
// Channel View, and the Channel View's font size. Colours are chosen in the colour
// dialog, which starts from the last colour chosen in this window.
class frmSetColor : public SettingsDialog
{
    Q_OBJECT
public:
    explicit frmSetColor(QWidget *parent = nullptr);

    void but_Click(int k);

    QLabel *lbl(int k) const { return m_swatch[size_t(index(k))]; }
    QPushButton *but(int k) const { return m_change[size_t(index(k))]; }
    QComboBox *cmbFont() const { return m_font; }

protected:
    void store() override;

private:
    static int index(int k) { return k >= 1 && k <= 8 ? k : 1; }

    std::array<QLabel *, 9> m_swatch{};
    std::array<QPushButton *, 9> m_change{};
    // The colours shown, as stored (0x00BBGGRR); a colour nobody changes is saved as it
    // was read.
    std::array<qint32, 9> m_colour{};
    QComboBox *m_font;
    // The colour dialog's starting colour: black, then the last one chosen.
    QColor m_dialogColour = Qt::black;
};

} // namespace vek
