#include "typinglimit.h"

#include <QComboBox>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QValidator>

namespace vek {

// Cuts only the changes the operator makes; text that code sets passes whole.
class TypingLimit::Validator : public QValidator
{
public:
    explicit Validator(TypingLimit *owner) : QValidator(owner), m_owner(owner) {}

    State validate(QString &input, int &pos) const override
    {
        if (!m_owner->m_operator)
            return Acceptable;
        int cursor = pos;
        const QString cut = m_owner->cut(input, &cursor);
        // Nothing of what was typed fits: the key is dropped and the text stays as it was.
        if (cut.isNull())
            return Invalid;
        if (cut != input) {
            input = cut;
            pos = cursor;
        }
        return Acceptable;
    }

private:
    TypingLimit *m_owner;
};

TypingLimit::TypingLimit(QLineEdit *box, int limit)
    : QObject(box), m_box(box), m_watched(box), m_limit(limit), m_before(box->text())
{
    box->setValidator(new Validator(this));
    connect(box, &QLineEdit::textChanged, this, [this](const QString &text) { m_before = text; });
    box->installEventFilter(this);
}

TypingLimit *TypingLimit::apply(QLineEdit *box, int limit)
{
    if (box == nullptr)
        return nullptr;
    if (TypingLimit *existing = of(box)) {
        existing->m_limit = limit;
        return existing;
    }
    return new TypingLimit(box, limit);
}

TypingLimit *TypingLimit::apply(QComboBox *box, int limit)
{
    return box != nullptr ? apply(box->lineEdit(), limit) : nullptr;
}

TypingLimit *TypingLimit::of(const QLineEdit *box)
{
    return box != nullptr ? box->findChild<TypingLimit *>(QString(), Qt::FindDirectChildrenOnly)
                          : nullptr;
}

QString TypingLimit::cut(const QString &changed, int *cursor) const
{
    const QString &before = m_before;
    // What the change inserted: the text between the parts it kept at both ends.
    const qsizetype common = std::min(before.size(), changed.size());
    qsizetype head = 0;
    while (head < common && before.at(head) == changed.at(head))
        ++head;
    qsizetype tail = 0;
    while (tail < common - head &&
           before.at(before.size() - 1 - tail) == changed.at(changed.size() - 1 - tail))
        ++tail;
    const qsizetype inserted = changed.size() - head - tail;
    if (inserted <= 0)
        return changed;
    // A TAB or line break pasted in becomes a blank: one line of text, no gaps in panels
    // and no raw control codes in the settings file.
    QString text = changed;
    for (qsizetype i = head; i < head + inserted; ++i) {
        if (text.at(i) == u'\t' || text.at(i) == u'\r' || text.at(i) == u'\n')
            text[i] = u' ';
    }
    if (text.size() <= m_limit)
        return text;
    const qsizetype room = std::max<qsizetype>(0, m_limit - (text.size() - inserted));
    if (room == 0)
        return QString();
    *cursor = int(head + room);
    return text.left(head + room) + text.right(tail);
}

bool TypingLimit::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_watched || m_operator || m_box.isNull())
        return false;
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::InputMethod:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::Drop: {
        // The box handles the event here, so every change it makes is known to be the
        // operator's: keys, pasting with keys or the middle button, dropping.
        m_operator = true;
        static_cast<QObject *>(m_box.data())->event(event);
        m_operator = false;
        return true;
    }
    case QEvent::ContextMenu: {
        if (m_box->contextMenuPolicy() != Qt::DefaultContextMenu)
            return false;
        // The standard menu runs here, so its Paste counts as the operator's.
        QMenu *menu = m_box->createStandardContextMenu();
        m_operator = true;
        menu->exec(static_cast<QContextMenuEvent *>(event)->globalPos());
        m_operator = false;
        delete menu;
        return true;
    }
    default:
        return false;
    }
}

} // namespace vek
