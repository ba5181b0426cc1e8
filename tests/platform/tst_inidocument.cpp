#include <QTest>

#include "platform/atomicfile.h"
#include "platform/inidocument.h"
#include "testhome.h"
#include "testregistry.h"

using namespace vek;

class TestIniDocument : public QObject
{
    Q_OBJECT
private slots:
    void namesMatchWithoutCaseAndTheFirstMatchWins()
    {
        const IniDocument doc("; made by hand\n"
                              "[Time_Settings]\n"
                              "ip_address =  10.1.2.3  \n"
                              "IP_ADDRESS=second\n"
                              "[time_settings]\n"
                              "Nic_Card=2\n"
                              "noequals\n"
                              ";Nic_Card=3\n");
        QCOMPARE(doc.value("TIME_SETTINGS", "IP_Address"), QByteArray("10.1.2.3"));
        // Only the first section of that name is searched.
        QCOMPARE(doc.value("Time_Settings", "Nic_Card"), std::nullopt);
        QCOMPARE(doc.value("Missing", "Key"), std::nullopt);
    }

    void writesKeepEveryOtherLine()
    {
        IniDocument doc("; comment\r"
                        "[A]\n"
                        "One = 1\n"
                        "\n"
                        "[B]\n"
                        "Two=2\n");
        doc.setValue("a", "ONE", "uno");
        doc.setValue("A", "Three", "3");
        doc.setValue("C", "Four", "4");
        QCOMPARE(doc.toBytes(), QByteArray("; comment\r\n"
                                           "[A]\r\n"
                                           "One =uno\r\n"
                                           "Three=3\r\n"
                                           "\r\n"
                                           "[B]\r\n"
                                           "Two=2\r\n"
                                           "[C]\r\n"
                                           "Four=4\r\n"));
    }

    void keyWithoutValueAndEmptyValueDiffer()
    {
        const IniDocument doc("[S]\nK=\n");
        QCOMPARE(doc.value("S", "K"), QByteArray(""));
        QCOMPARE(doc.value("S", "L"), std::nullopt);
    }

    void aFailedWriteLeavesTheOldFileWhole()
    {
        TestHome home;
        home.write(QStringLiteral("x.ini"), "old");
        QString error;
        QVERIFY(writeFileAtomically(home.path(QStringLiteral("x.ini")), "new", &error));
        QCOMPARE(home.read(QStringLiteral("x.ini")), QByteArray("new"));
        QVERIFY(!writeFileAtomically(home.path(QStringLiteral("no/such/dir/x.ini")), "y", &error));
        QVERIFY(!error.isEmpty());
    }
};

VEK_TEST(TestIniDocument)
#include "tst_inidocument.moc"
