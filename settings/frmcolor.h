#pragma once

#include <QWidget>
#include <array>

class QLabel;

namespace vek {

// "Colors": the legend of the eight list colours, for every user. It shows the saved
// colours again each time it is brought forward and stays open when it loses the focus.
class frmColor : public QWidget
{
    Q_OBJECT
public:
    explicit frmColor(QWidget *parent = nullptr);

    void Form_Activate();

    QLabel *lblColor(int k) const { return m_swatch[size_t(k >= 1 && k <= 8 ? k : 1)]; }

protected:
    bool event(QEvent *e) override;

private:
    std::array<QLabel *, 9> m_swatch{};
};

} // namespace vek
