#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QComboBox;
class QEvent;
class QLineEdit;

namespace vek {

// A length limit on what the operator types or pastes into a box, and on nothing else:
// text that code sets (a stored password, an imported 70-character description, a chosen
// quick comment) is kept whole, and saved whole unless the operator shortens it.
// QLineEdit::setMaxLength cuts such text, so no box of the console uses it.
//
// Typing, pasting (keys, the context menu, the middle button), dropping and input-method
// text are cut so the box never grows beyond the limit; a box that already holds more
// (loaded text) takes no more characters, while deleting and moving always work.
//
// A TAB or line break typed or pasted in becomes a blank, as the boxes hold one line.
class TypingLimit : public QObject
{
    Q_OBJECT
public:
    // For a box whose length is free: only the blanks for TAB and line breaks.
    static constexpr int NoLimit = 1 << 30;
    // Limits the box; the helper is a child of the box and goes with it. A second call
    // changes the limit.
    static TypingLimit *apply(QLineEdit *box, int limit);
    // The edit field of an editable combo box; choosing an item of its list is not limited.
    static TypingLimit *apply(QComboBox *box, int limit);
    // The box's helper, or nullptr.
    static TypingLimit *of(const QLineEdit *box);

    int limit() const { return m_limit; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    class Validator;
    TypingLimit(QLineEdit *box, int limit);
    // The text as the operator's change left it, cut to the limit.
    QString cut(const QString &changed, int *cursor) const;

    QPointer<QLineEdit> m_box;
    // The box as the object whose events arrive; compared only, never cast, since events
    // still arrive while the box is being destroyed and is no longer a line edit.
    const QObject *m_watched;
    int m_limit;
    // The box's text before the change being validated.
    QString m_before;
    // Set while the box handles an event of the operator.
    bool m_operator = false;
};

} // namespace vek
