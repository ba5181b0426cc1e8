#pragma once

#include <QObject>
#include <optional>

namespace vek {

// The keyboard states the status bar shows: Caps Lock and Num Lock as the keyboard holds
// them (read through XKB on X11; unknown elsewhere, e.g. under the offscreen platform),
// and the insert mode, which the Insert key switches while the console has the keyboard.
class KeyboardState : public QObject
{
    Q_OBJECT
public:
    struct Locks
    {
        bool caps = false;
        bool num = false;
    };

    // Watches the application's keys; a child of parent.
    explicit KeyboardState(QObject *parent = nullptr);
    ~KeyboardState() override;

    // The lock states, or nothing where the platform does not tell them.
    static std::optional<Locks> locks();
    // Insert mode: on at start, switched by every Insert key without modifiers (Shift+Insert
    // pastes, Ctrl+Insert copies).
    bool insertMode() const { return m_insert; }

signals:
    // A lock or the Insert key was pressed: the states may have changed.
    void changed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool m_insert = true;
};

} // namespace vek
