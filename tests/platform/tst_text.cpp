#include <QTest>

#include "platform/datafolder.h"
#include "platform/text.h"
#include "testhome.h"
#include "testregistry.h"

using namespace vek;

class TestText : public QObject
{
    Q_OBJECT
private slots:
    void strAddsABlankBeforeNonNegativeNumbers()
    {
        QCOMPARE(Str(qint64(3)), QByteArray(" 3"));
        QCOMPARE(Str(qint64(0)), QByteArray(" 0"));
        QCOMPARE(Str(qint64(-45)), QByteArray("-45"));
        QCOMPARE(CStr(qint64(3)), QByteArray("3"));
        QCOMPARE(Str(2.5), QByteArray(" 2.5"));
        // Keys are whole numbers of 13 digits: never in exponent form.
        QCOMPARE(CStr(2024122552205.0), QByteArray("2024122552205"));
    }

    void trimRemovesBlanksOnly()
    {
        QCOMPARE(trimBlanks(QByteArray("  a b  ")), QByteArray("a b"));
        QCOMPARE(trimBlanks(QByteArray("\ta\r\n")), QByteArray("\ta\r\n"));
        QCOMPARE(trimBlanks(QByteArray("   ")), QByteArray());
        QCOMPARE(trimBlanks(QStringLiteral(" \tx ")), QStringLiteral("\tx"));
    }

    void latin1IsOneByteForOneCharacter()
    {
        QByteArray all;
        for (int c = 0; c < 256; ++c)
            all += char(c);
        QCOMPARE(toBytes(fromBytes(all)), all);
        QCOMPARE(toBytes(QStringLiteral("caf\u00e9 \u20ac")), QByteArray("caf\xe9 ?"));
    }

    void zeroPaddingKeepsTheSign()
    {
        QCOMPARE(zeroPadded(7, 2), QByteArray("07"));
        QCOMPARE(zeroPadded(123, 2), QByteArray("123"));
        QCOMPARE(zeroPadded(-7, 3), QByteArray("-007"));
    }

    void dataFolderFollowsTheEnvironment()
    {
        KeepDataFolder keep;
        qputenv("VEK_HOME", "/tmp/vek-home-test/");
        QCOMPARE(dataFilePath(QStringLiteral("VEK.INI")),
                 QStringLiteral("/tmp/vek-home-test/VEK.INI"));
        qunsetenv("VEK_HOME");
        QCOMPARE(dataFolder(), QCoreApplication::applicationDirPath());
    }
};

VEK_TEST(TestText)
#include "tst_text.moc"
