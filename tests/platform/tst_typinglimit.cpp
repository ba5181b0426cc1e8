#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include "platform/widgets/typinglimit.h"
#include "testregistry.h"

using namespace vek;

namespace {
void paste(QLineEdit &box, const QString &text)
{
    QApplication::clipboard()->setText(text);
    QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
}
} // namespace

class TestTypingLimit : public QObject
{
    Q_OBJECT
private slots:
    void typingStopsAtTheLimit()
    {
        QLineEdit box;
        TypingLimit::apply(&box, 5);
        QTest::keyClicks(&box, QStringLiteral("abcdefg"));
        QCOMPARE(box.text(), QStringLiteral("abcde"));
        QCOMPARE(box.maxLength(), 32767);
        // Deleting and typing again work at the limit.
        QTest::keyClick(&box, Qt::Key_Backspace);
        QTest::keyClicks(&box, QStringLiteral("XY"));
        QCOMPARE(box.text(), QStringLiteral("abcdX"));
        // A key over a selection replaces it when the result fits.
        box.selectAll();
        QTest::keyClicks(&box, QStringLiteral("z"));
        QCOMPARE(box.text(), QStringLiteral("z"));
    }

    void loadedTextIsKeptWhole()
    {
        const QString seventy(70, QLatin1Char('d'));
        QLineEdit box;
        TypingLimit::apply(&box, 50);
        box.setText(seventy);
        QCOMPARE(box.text(), seventy);
        QVERIFY(box.hasAcceptableInput());
        // It takes no more characters, but may be shortened and still edited.
        box.end(false);
        QTest::keyClicks(&box, QStringLiteral("x"));
        QCOMPARE(box.text(), seventy);
        QTest::keyClick(&box, Qt::Key_Backspace);
        QCOMPARE(box.text().size(), 69);
        QTest::keyClicks(&box, QStringLiteral("x"));
        QCOMPARE(box.text().size(), 69);
        // A key over one selected character is dropped; the selection stays.
        box.setSelection(0, 1);
        QTest::keyClicks(&box, QStringLiteral("y"));
        QCOMPARE(box.text().size(), 69);
        QVERIFY(!box.text().contains(QLatin1Char('y')));
        // Enter still reports the loaded text as acceptable.
        box.setText(seventy);
        bool returned = false;
        connect(&box, &QLineEdit::returnPressed, this, [&] { returned = true; });
        QTest::keyClick(&box, Qt::Key_Return);
        QVERIFY(returned);
    }

    void pastingIsCutToFit()
    {
        QLineEdit box;
        TypingLimit::apply(&box, 10);
        QTest::keyClicks(&box, QStringLiteral("abcd"));
        box.setCursorPosition(2);
        paste(box, QStringLiteral("0123456789"));
        // Six characters fit, inserted where the cursor was; the rest of the text stays.
        QCOMPARE(box.text(), QStringLiteral("ab012345cd"));
        QCOMPARE(box.cursorPosition(), 8);
        // Pasted tabs and line breaks become blanks, each a character.
        box.clear();
        paste(box, QStringLiteral("a\tb\tc\td\te\tf\t"));
        QCOMPARE(box.text(), QStringLiteral("a b c d e "));
        QLineEdit name(QStringLiteral("Tor"));
        TypingLimit::apply(&name, TypingLimit::NoLimit);
        name.end(false);
        paste(name, QStringLiteral("\tNorth\r\nEast"));
        QCOMPARE(name.text(), QStringLiteral("Tor North  East"));
        // A paste over the whole loaded text is cut to the limit.
        box.setText(QString(30, QLatin1Char('q')));
        box.selectAll();
        paste(box, QString(40, QLatin1Char('p')));
        QCOMPARE(box.text(), QString(10, QLatin1Char('p')));
    }

    void comboListChoiceIsNotLimited()
    {
        QComboBox combo;
        combo.setEditable(true);
        const QString longComment(60, QLatin1Char('c'));
        combo.addItem(QStringLiteral("short"));
        combo.addItem(longComment);
        combo.setCurrentIndex(-1);
        combo.setEditText(QString());
        TypingLimit::apply(&combo, 50);
        QTest::keyClicks(combo.lineEdit(), QString(55, QLatin1Char('t')));
        QCOMPARE(combo.currentText().size(), 50);
        combo.setCurrentIndex(1);
        QCOMPARE(combo.currentText(), longComment);
        // The combo's own keys still reach it through the limited edit field.
        QTest::keyClick(combo.lineEdit(), Qt::Key_Up);
        QCOMPARE(combo.currentIndex(), 0);
        QCOMPARE(combo.currentText(), QStringLiteral("short"));
    }

    void secondApplyChangesTheLimit()
    {
        QLineEdit box;
        TypingLimit *first = TypingLimit::apply(&box, 3);
        QCOMPARE(TypingLimit::apply(&box, 4), first);
        QCOMPARE(TypingLimit::of(&box)->limit(), 4);
        QTest::keyClicks(&box, QStringLiteral("abcdef"));
        QCOMPARE(box.text(), QStringLiteral("abcd"));
    }
};

VEK_TEST(TestTypingLimit)
#include "tst_typinglimit.moc"
