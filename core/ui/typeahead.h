#pragma once

#include <QObject>
#include <QTimer>

class QComboBox;

namespace vek {

// Type-ahead of the channel lists: each character typed into a watched list is added to
// the shared KeyBuffer and the first item whose text begins with the buffer (letter case
// ignored) is selected; 1500 ms without a key empty the buffer.
class TypeAhead : public QObject
{
    Q_OBJECT
public:
    static constexpr int IntervalMs = 1500;

    explicit TypeAhead(QObject *parent);

    void watch(QComboBox *list);
    // One typed character for a list (the key press handler).
    void keyPress(QComboBox *list, const QString &text);
    void timeKEYPRESS_Timer();
    QTimer &timeKEYPRESS() { return m_timer; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QTimer m_timer;
};

} // namespace vek
