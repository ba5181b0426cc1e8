#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPointer>
#include <QTest>

#include "dialogfixture.h"
#include "dialogs/frmadd.h"
#include "dialogs/frmasrun.h"
#include "dialogs/frmonair.h"
#include "testregistry.h"
#include "windowshot.h"

using namespace vek;

// Pictures of the three dialogs for the documentation: only when VEK_SCREENSHOT_DIR names
// the folder to write them to (run under a real display server, e.g. xvfb-run).
class TestDialogShots : public QObject
{
    Q_OBJECT
private slots:
    void saveScreenshots()
    {
        const QString folder = qEnvironmentVariable("VEK_SCREENSHOT_DIR");
        if (folder.isEmpty())
            QSKIP("VEK_SCREENSHOT_DIR not set");
        QDir().mkpath(folder);
        DialogFixture f;
        settings().AsRunComment[1] = "Started late";
        settings().AsRunComment[2] = "Signal lost at the head end";
        EventRec &up = DialogFixture::event(4);
        up.Description = "NHL Hockey: Oilers at Flames";
        EventRec &air = DialogFixture::event(3, "2612090900000000");
        air.Status = StatusOnAir;
        air.EventDate = DialogFixture::today();
        air.StartTime = "09:00:00";
        air.EndTime = "11:00:00";
        air.Duration = "02:00:00";
        air.EndKey = 2026120939600;
        EventRec &done = DialogFixture::event(6, "2612080800000000");
        done.Status = StatusDone;
        done.ActualStart = "12:00:02";
        done.ActualEnd = "13:00:01";
        done.ActualDur = "00:59:59";

        DialogFixture::select(1, 4, 1);
        saveWindowShot(new frmAdd, folder + QStringLiteral("/frmadd.png"));
        DialogFixture::select(1, 3, 1);
        saveWindowShot(new frmOnAir, folder + QStringLiteral("/frmonair.png"));
        DialogFixture::select(1, 6, 1);
        auto *asRun = new frmAsRun;
        asRun->cmbCOM()->setEditText(QStringLiteral("Started late"));
        saveWindowShot(asRun, folder + QStringLiteral("/frmasrun.png"));
    }
};

VEK_TEST(TestDialogShots)
#include "tst_dialogshots.moc"
