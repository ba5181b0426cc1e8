#pragma once

#include <QWidget>
#include <array>

class QAction;
class QComboBox;
class QDateEdit;
class QFrame;
class QLabel;
class QPushButton;
class QToolButton;

namespace vek {

// The top of an Event View: the toolbar's nine command buttons, the "Time Zone" frame
// (zone list and its clock) and the "View Options" frame (Default, the filter list and its
// date). They stand on one line where the window is wide enough and wrap onto further
// lines where it is not (the buttons among themselves too), so none of them ever hides.
class ViewToolBar : public QWidget
{
    Q_OBJECT
public:
    static constexpr int Buttons = 9;

    explicit ViewToolBar(QWidget *parent = nullptr);

    // Button 1..9 in the toolbar's order (Add .. Int. / Res. Gr.).
    QAction *button(int button) const { return m_buttons[size_t(button)]; }
    // The row of the nine buttons, and the button that shows one of them.
    QWidget *toolbar() const { return m_toolbar; }
    QToolButton *buttonWidget(int button) const { return m_buttonWidgets[size_t(button)]; }
    QFrame *frameTZ() const { return m_frame1; }
    QComboBox *cmbTZ() const { return m_cmbTZ; }
    QLabel *lblTime(int i) const { return m_lblTime[size_t(i)]; }
    QFrame *frameView() const { return m_frameView; }
    QPushButton *cmdDefault() const { return m_cmdDefault; }
    QComboBox *cmbView() const { return m_cmbView; }
    QDateEdit *dtPick() const { return m_dtPick; }

private:
    QWidget *m_toolbar;
    std::array<QAction *, Buttons + 1> m_buttons{};
    std::array<QToolButton *, Buttons + 1> m_buttonWidgets{};
    QFrame *m_frame1;
    QComboBox *m_cmbTZ;
    std::array<QLabel *, 2> m_lblTime{};
    QFrame *m_frameView;
    QPushButton *m_cmdDefault;
    QComboBox *m_cmbView;
    QDateEdit *m_dtPick;
};

} // namespace vek
