#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPointer>
#include <QTest>

#include "core/selection.h"
#include "mediastats/ui/frmmediastats.h"
#include "mediastats/ui/frmsetautoload.h"
#include "msfixture.h"
#include "testregistry.h"

using namespace vek;

// Pictures of the two dialogs for the documentation: only when VEK_SCREENSHOT_DIR names
// the folder to write them to (run under a real display server, e.g. xvfb-run).
class TestMediaStatsShots : public QObject
{
    Q_OBJECT
private slots:
    void saveScreenshots()
    {
        const QString folder = qEnvironmentVariable("VEK_SCREENSHOT_DIR");
        if (folder.isEmpty())
            QSKIP("VEK_SCREENSHOT_DIR not set");
        QDir().mkpath(folder);
        MsFixture f;
        const char *const names[] = {"Toronto North", "Ottawa East", "Hamilton West"};
        for (int he = 1; he <= MaxHeadEnds; ++he) {
            settings().HEName[size_t(he)] = "HeadEnd" + QByteArray::number(he);
            settings().ShowHE[1][size_t(he)] = true;
        }
        for (int he = 1; he <= 3; ++he) {
            settings().HEName[size_t(he)] = names[he - 1];
            settings().HEOnLine[size_t(he)] = true;
        }
        SelView() = 1;
        shoot(new frmMediaStats, folder + QStringLiteral("/frmmediastats.png"));
        settings().AutoLoadPath = "/srv/mediastats/incoming/";
        settings().AutoLoadCSV = true;
        settings().AutoLoadDBF = true;
        shoot(new frmSetAutoLoad, folder + QStringLiteral("/frmsetautoload.png"));
    }

private:
    static void shoot(QWidget *dialog, const QString &file)
    {
        QPointer<QWidget> d = dialog;
        d->show();
        QVERIFY(QTest::qWaitForWindowExposed(d));
        QTest::qWait(200);
        QVERIFY(d->grab().save(file));
        delete d;
    }
};

VEK_TEST(TestMediaStatsShots)
#include "tst_mediastatsshots.moc"
