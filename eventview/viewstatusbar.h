#pragma once

#include <QWidget>
#include <array>

class QLabel;

namespace vek {

// The status bar of an Event View: sixteen panels, 1..12 one per head end (hidden until
// the head end is shown), 13 the event count, 14 the sort, 15 "Clear Alarm", 16
// "DashBoard On/Off". The panels wrap onto a further line where the window is too narrow
// for them, so no panel's text is ever cut.
class ViewStatusBar : public QWidget
{
    Q_OBJECT
public:
    static constexpr int Panels = 16;

    explicit ViewStatusBar(QWidget *parent = nullptr);

    QLabel *panel(int panel) const;

private:
    std::array<QLabel *, Panels + 1> m_panels{};
};

} // namespace vek
