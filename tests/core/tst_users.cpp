#include <QTest>
#include <sys/stat.h>

#include "core/consolestate.h"
#include "core/users.h"
#include "platform/failure.h"
#include "testhome.h"
#include "testregistry.h"

using namespace vek;

namespace {
const QString UserIni = QStringLiteral("USER.INI");

// Old format: one skipped item, name/password/privilege for 12 users, then 8 rights each.
QByteArray oldFormatFile()
{
    QByteArray t = "\"header, skipped\"\r\n";
    t += "\"Operator\",\"pass, word\",2\r\n";
    t += "Admin  ,Secret,3\r\n";
    for (int i = 3; i <= 12; ++i)
        t += "\"\",\"\",1\r\n";
    t += "True,False,1,0,TRUE,false,-1,0\r\n";
    for (int i = 2; i <= 12; ++i)
        t += "False,False,False,False,False,False,False,True\r\n";
    return t;
}
} // namespace

class TestUsers : public QObject
{
    Q_OBJECT
private slots:
    void init() { resetConsoleState(); }

    void anEmptyCurrentFileGivesDefaults()
    {
        TestHome home;
        home.write(UserIni, "[General]\r\nVersion=1\r\n");
        LoadUsers();
        for (int i = 1; i <= MaxUsers; ++i) {
            QCOMPARE(users().UserName[i], QString());
            QCOMPARE(users().UserPrivilege[i], qint16(1));
            QVERIFY(users().UserHEAccess[i][12]);
        }
        QCOMPARE(users().CurrentUser, qint16(0));
    }

    void anOldFileIsReadThenSavedInTheCurrentFormat()
    {
        TestHome home;
        home.write(UserIni, oldFormatFile());
        LoadUsers();
        Users &u = users();
        QCOMPARE(u.UserName[1], QStringLiteral("Operator"));
        QCOMPARE(u.UserPass[1], QStringLiteral("pass, word"));
        QCOMPARE(u.UserPrivilege[1], qint16(2));
        QCOMPARE(u.UserName[2], QStringLiteral("Admin"));
        QCOMPARE(u.UserPrivilege[2], qint16(3));
        const bool rights[8] = {true, false, true, false, true, false, true, false};
        for (int h = 1; h <= 8; ++h)
            QCOMPARE(u.UserHEAccess[1][h], rights[h - 1]);
        for (int h = 9; h <= 12; ++h)
            QVERIFY(!u.UserHEAccess[1][h]);
        QVERIFY(u.UserHEAccess[12][8]);

        const Users before = u;
        QVERIFY(SaveUsers());
        const QByteArray saved = home.read(UserIni);
        QVERIFY(saved.startsWith("[General]\r\nVersion=1\r\n[User_1_Settings]\r\n"
                                 "A=79-0-112-0-101-0-114-0-97-0-116-0-111-0-114-0\r\n"));
        QVERIFY(!saved.contains("header, skipped"));
        resetConsoleState();
        LoadUsers();
        QCOMPARE(users().UserName, before.UserName);
        QCOMPARE(users().UserPass, before.UserPass);
        QCOMPARE(users().UserPrivilege, before.UserPrivilege);
        QCOMPARE(users().UserHEAccess, before.UserHEAccess);
    }

    void anyCharactersSurviveASave()
    {
        TestHome home;
        users().UserName[3] = QStringLiteral("J\u00fcrgen-M\u00fcller=1");
        users().UserPass[3] = QStringLiteral(" a-b=c\u00e9;[x] ");
        users().UserPrivilege[3] = 3;
        users().UserHEAccess[3][7] = true;
        QVERIFY(SaveUsers());
        resetConsoleState();
        LoadUsers();
        QCOMPARE(users().UserName[3], QStringLiteral("J\u00fcrgen-M\u00fcller=1"));
        QCOMPARE(users().UserPass[3], QStringLiteral(" a-b=c\u00e9;[x] "));
        QCOMPARE(users().UserPrivilege[3], qint16(3));
        QVERIFY(users().UserHEAccess[3][7]);
        QVERIFY(!users().UserHEAccess[3][6]);
    }

    void theFileIsReadableByItsOwnerOnly()
    {
        TestHome home;
        const QByteArray path = QFile::encodeName(home.path(UserIni));
        const mode_t mask = ::umask(022);
        const auto modeOf = [&] {
            struct stat st
            {};
            ::stat(path.constData(), &st);
            return st.st_mode & 0777;
        };
        QVERIFY(SaveUsers());
        QCOMPARE(modeOf(), mode_t(0600));
        QVERIFY(home.readLog().isEmpty());
        // A file others could read is tightened, and that is logged once.
        ::chmod(path.constData(), 0644);
        QVERIFY(SaveUsers());
        QVERIFY(SaveUsers());
        ::umask(mask);
        QCOMPARE(modeOf(), mode_t(0600));
        QCOMPARE(home.readLog().count("USER.INI was readable by other accounts (mode 644); it is "
                                      "now readable by its owner only (mode 600)\r\n"),
                 1);
    }

    void brokenOldFilesFail_data()
    {
        QTest::addColumn<QByteArray>("content");
        QByteArray shortFile = oldFormatFile();
        shortFile.chop(60);
        QTest::newRow("short") << shortFile;
        QByteArray badRight = oldFormatFile();
        badRight.replace("True,False,1", "True,Maybe,1");
        QTest::newRow("right not a truth value") << badRight;
    }
    void brokenOldFilesFail()
    {
        QFETCH(QByteArray, content);
        TestHome home;
        home.write(UserIni, content);
        QVERIFY_THROWS_EXCEPTION(Failure, LoadUsers());
    }

    void aMissingFileIsAFileError()
    {
        TestHome home;
        try {
            LoadUsers();
            QFAIL("expected a file error");
        } catch (const Failure &f) {
            QCOMPARE(f.number(), 53);
        }
    }

    void aFailedSaveKeepsTheOldFile()
    {
        TestHome home;
        home.write(UserIni, "[General]\r\nVersion=1\r\n");
        users().UserName[1] = QStringLiteral("x");
        {
            FileSizeLimit limit(200);
            QVERIFY(!SaveUsers());
        }
        QCOMPARE(home.read(UserIni), QByteArray("[General]\r\nVersion=1\r\n"));
        QVERIFY(home.readLog().contains(
            "Error SaveUsers) 75 Path/File access error: USER.INI: File too large"));
    }
};

VEK_TEST(TestUsers)
#include "tst_users.moc"
