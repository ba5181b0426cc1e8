#include <QTest>

#include "core/consolestate.h"
#include "core/inivalue.h"
#include "core/settings.h"
#include "platform/failure.h"
#include "platform/inidocument.h"
#include "testhome.h"
#include "testregistry.h"

using namespace vek;

namespace {
const QString Ini = QStringLiteral("VEK.INI");

QByteArray golden()
{
    QFile f(QStringLiteral(VEK_TEST_DATA "/VEK.defaults.ini"));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}
} // namespace

class TestSettings : public QObject
{
    Q_OBJECT
private slots:
    void init() { resetConsoleState(); }

    void defaultsWithoutAFileAndTheGoldenFileFromThem()
    {
        TestHome home;
        LoadSettings();
        const Settings &s = settings();
        QCOMPARE(s.HEName[1], QByteArray("HeadEnd1"));
        QCOMPARE(s.HEShortName[12], QByteArray("HE12"));
        QCOMPARE(s.HEPort[5], QByteArray("790"));
        QCOMPARE(s.HEChannels[5], qint16(16));
        QCOMPARE(s.HERetryMS[5], qint16(70));
        QVERIFY(!s.HEOnLine[5]);
        QVERIFY(s.HEAlarm[5]);
        QCOMPARE(s.EventColors[1], 65408);
        QCOMPARE(s.EventColors[8], 16711680);
        QCOMPARE(s.TimeServerPort, QByteArray("1212"));
        QCOMPARE(s.TimeOffset, QByteArray("+00:00:00"));
        QCOMPARE(s.ViewName[8], QByteArray("View 8"));
        QVERIFY(s.ShowHE[8][12]);
        QCOMPARE(s.QCDevice, qint16(8));
        QCOMPARE(s.AutoLoadPath, QByteArray()); // no folder is watched until one is set
        QVERIFY(s.GroupEnabled[24]);
        QVERIFY(SaveSettings());
        QCOMPARE(home.read(Ini), golden());
    }

    void anotherEditorsFileIsReadAndUpdatedInPlace()
    {
        TestHome home;
        home.write(Ini, "; site notes: keep this line\n"
                        "[headend_1_settings]\n"
                        "long_name =   North Hub   \n"
                        "HEADEND_ONLINE=2\n"
                        "; old address below\n"
                        "\n"
                        "[Color_Settings]\n"
                        "Color_1= 255 \n"
                        "[Custom]\n"
                        "Mine=stays\n");
        LoadSettings();
        QCOMPARE(settings().HEName[1], QByteArray("North Hub"));
        QVERIFY(settings().HEOnLine[1]);
        QCOMPARE(settings().EventColors[1], 255);
        settings().HEName[1] = "  South Hub ";
        QVERIFY(SaveSettings());
        const QByteArray out = home.read(Ini);
        QVERIFY(out.startsWith("; site notes: keep this line\r\n"
                               "[headend_1_settings]\r\n"
                               "long_name =South Hub\r\n"
                               "HEADEND_ONLINE=1\r\n"
                               "; old address below\r\n"
                               "Short_Name=HE1\r\n"));
        QVERIFY(out.contains("[Custom]\r\nMine=stays\r\n"));
        QCOMPARE(out.count("Long_Name"), 11); // head ends 2..12 only; 1 kept its spelling
        QVERIFY(!out.contains('\n' + QByteArray("[HeadEnd_1_Settings]")));
        resetConsoleState();
        LoadSettings();
        QCOMPARE(settings().HEName[1], QByteArray("South Hub"));
    }

    void valuesFollowTheirKindsRules()
    {
        TestHome home;
        home.write(Ini, "[Channel_View]\nFont=7\n"
                        "[HeadEnd_2_Settings]\nHeadEnd_OnLine=1.5\nAlarm_Enable=yes\n"
                        "Number_Of_Channels=12abc\nRetry_MS=2.5\n"
                        "[HeadEnd_3_Settings]\nHeadEnd_OnLine=-1\n"
                        "[General]\nGroup_Event_1_Enabled=2\nGroup_Event_2_Enabled=1\n");
        LoadSettings();
        const Settings &s = settings();
        QCOMPARE(s.FontIndex, qint16(3));
        QVERIFY(s.HEOnLine[2]);
        QVERIFY(!s.HEAlarm[2]);
        QCOMPARE(s.HEChannels[2], qint16(12));
        QCOMPARE(s.HERetryMS[2], qint16(2));
        QVERIFY(!s.HEOnLine[3]);
        QVERIFY(!s.GroupEnabled[1]);
        QVERIFY(s.GroupEnabled[2]);

        home.write(Ini, "[Channel_View]\nFont=-1\n");
        LoadSettings();
        QCOMPARE(settings().FontIndex, qint16(-1));
    }

    void badValuesStopTheLoadAtTheirKey()
    {
        TestHome home;
        settings().FontIndex = 2;
        settings().ViewName[1] = "Kept";
        home.write(Ini, "[HeadEnd_1_Settings]\nLong_Name=Read\n"
                        "[Color_Settings]\nColor_2=\n"
                        "[Channel_View]\nFont=1\n");
        QVERIFY_THROWS_EXCEPTION(Failure, LoadSettings());
        QCOMPARE(settings().HEName[1], QByteArray("Read"));
        QCOMPARE(settings().EventColors[1], 65408);
        QCOMPARE(settings().FontIndex, qint16(2)); // after the bad key: not read

        home.write(Ini, "[HeadEnd_4_Settings]\nList_Number=40000\n");
        try {
            LoadSettings();
            QFAIL("expected an overflow");
        } catch (const Failure &f) {
            QCOMPARE(f.number(), 6);
        }
        QCOMPARE(settings().ViewName[1], QByteArray("Kept"));
    }

    void lineBreaksAndLongValues()
    {
        TestHome home;
        settings().ViewName[2] = "Morning\r\nShift";
        settings().AsRunComment[1] = QByteArray(300, 'x');
        QVERIFY(SaveSettings());
        resetConsoleState();
        LoadSettings();
        QCOMPARE(settings().ViewName[2], QByteArray("Morning  Shift"));
        QCOMPARE(settings().AsRunComment[1], QByteArray(254, 'x'));
    }

    void aFailedSaveKeepsTheOldFile()
    {
        TestHome home;
        const QByteArray old = "[Custom]\r\nMine=stays\r\n";
        home.write(Ini, old);
        {
            FileSizeLimit limit(2000); // the whole file is far larger: its write fails
            QVERIFY(!SaveSettings());
        }
        QCOMPARE(home.read(Ini), old);
        // The log names the file and the cause.
        QVERIFY(home.readLog().contains(
            "Error SaveSettings) 75 Path/File access error: VEK.INI: File too large"));
        QCOMPARE(QDir(home.path(QString())).entryList(QDir::Files).size(), 2); // no leftovers
    }

    void primitivesAndCharacterCodes()
    {
        TestHome home;
        const QString path = home.path(QStringLiteral("x.ini"));
        QCOMPARE(readIniValue(IniDocument::load(path), "S", "K", "dflt"), QByteArray("dflt"));
        QVERIFY(WriteINIValue(path, "S", "K", "a\rb\nc"));
        QCOMPARE(readIniValue(IniDocument::load(path), "s", "k", "dflt"), QByteArray("a b c"));
        QVERIFY(!WriteINIValue(home.path(QStringLiteral("no/such/x.ini")), "S", "K", "v"));
        QVERIFY(home.readLog().contains("Error WriteINIValue) 75 Path/File access error: x.ini: "));

        QCOMPARE(StripNulls(QByteArray("\0 alarm\0\0", 9)), QByteArray("alarm"));
        QCOMPARE(EncodeCharCodes(QStringLiteral("abc")), QByteArray("97-0-98-0-99-0"));
        QCOMPARE(DecodeCharCodes("97-0-98-0-99-0"), QStringLiteral("abc"));
        QCOMPARE(EncodeCharCodes(QString()), QByteArray());
        QCOMPARE(DecodeCharCodes(QByteArray()), QString());
        const QString odd = QStringLiteral("J\u00f6rg-=\u20ac ");
        QCOMPARE(DecodeCharCodes(EncodeCharCodes(odd)), odd);
        // Parts above 255 keep their low byte; a trailing odd byte is dropped.
        QCOMPARE(DecodeCharCodes("353-0-98"), QStringLiteral("a"));
        QCOMPARE(DecodeCharCodes("x--"), QString(QChar(0)));
        // Parts past any integer decode to a defined byte instead of undefined behaviour
        // (the sanitizer build checks the cast).
        QCOMPARE(DecodeCharCodes("100000000000000000000000-0-98-0"),
                 QString(QChar(0)) + QLatin1Char('b'));
        QCOMPARE(DecodeCharCodes("-" + QByteArray(400, '9') + "-0"), QString(QChar(0)));
    }
};

VEK_TEST(TestSettings)
#include "tst_settings.moc"
