#include <QApplication>
#include <QComboBox>
#include <QLabel>

#include "core/consolestate.h"
#include "core/receivestate.h"
#include "platform/widgets/colors.h"
#include "platform/widgets/dialogseam.h"
#include "settings/frmcolor.h"
#include "settings/frmsetcolor.h"
#include "settingsfixture.h"
#include "testregistry.h"

using namespace vek;

namespace {
QColor swatchColour(const QLabel *swatch)
{
    return swatch->palette().color(QPalette::Window);
}
} // namespace

class TestColours : public QObject
{
    Q_OBJECT
private slots:
    void init() { resetConsoleState(); }

    void chosenColoursAndFontSizeAreSaved()
    {
        TestHome home;
        loadSettingsWith(home, {{"Channel_View", "Font", "2"}});
        QList<QColor> answers = {QColor(255, 0, 0), QColor(), QColor(0, 0, 255)};
        QList<DialogRequest> requests;
        ScopedDialogHandler seam([&](const DialogRequest &r) {
            requests << r;
            DialogAnswer a;
            a.colour = answers.takeFirst();
            return a;
        });
        QPointer<frmSetColor> d = new frmSetColor;
        QCOMPARE(d->windowTitle(), QStringLiteral("Color Settings"));
        QCOMPARE(swatchColour(d->lbl(5)), colorFromBgr(255));
        QCOMPARE(d->cmbFont()->currentText(), QStringLiteral("10"));
        QCOMPARE(d->but(3)->text(), QStringLiteral("Change"));
        d->show();

        d->but(1)->click();
        QCOMPARE(swatchColour(d->lbl(1)), QColor(255, 0, 0));
        // A cancelled choice keeps the swatch; the next one starts from the last colour
        // chosen, not from the row's own.
        d->but(5)->click();
        QCOMPARE(swatchColour(d->lbl(5)), colorFromBgr(255));
        d->but(8)->click();
        QCOMPARE(requests.size(), 3);
        QCOMPARE(requests[0].kind, DialogRequest::Colour);
        QCOMPARE(requests[0].initial, QColor(Qt::black));
        QCOMPARE(requests[1].initial, QColor(255, 0, 0));
        QCOMPARE(requests[2].initial, QColor(255, 0, 0));
        d->cmbFont()->setCurrentIndex(3);
        d->cmdOk_Click();

        const auto file = iniPairs(home.read(QStringLiteral("VEK.INI")));
        QCOMPARE(file.value("color_settings/color_1"), QByteArray("255"));
        QCOMPARE(file.value("color_settings/color_5"), QByteArray("255"));
        QCOMPARE(file.value("color_settings/color_8"), QByteArray("16711680"));
        QCOMPARE(file.value("color_settings/color_2"), QByteArray("4227327"));
        QCOMPARE(file.value("channel_view/font"), QByteArray("3"));
        // The lists recolour without waiting for their head ends to change.
        QVERIFY(GridDirty(1, 1));
        QVERIFY(GridDirty(8, 12));
        QTRY_VERIFY(d == nullptr);
    }

    void anotherWindowLosesTheChange()
    {
        TestHome home;
        ScopedDialogHandler seam([](const DialogRequest &) {
            DialogAnswer a;
            a.colour = QColor(1, 2, 3);
            return a;
        });
        QWidget main;
        main.show();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        QPointer<frmSetColor> d = new frmSetColor(&main);
        d->show();
        d->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(d));
        d->but(2)->click();
        QVERIFY(d != nullptr); // its own colour dialog does not close it
        main.activateWindow();
        QTRY_VERIFY(d == nullptr);
        QCOMPARE(settings().EventColors[2], qint32(4227327));
        QVERIFY(!QFile::exists(home.path(QStringLiteral("VEK.INI"))));
    }

    void theLegendFollowsTheSavedColours()
    {
        LessThanMinutes() = 15;
        QWidget main;
        main.show();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        QPointer<frmColor> legend = new frmColor(&main);
        QCOMPARE(legend->windowTitle(), QStringLiteral("Colors"));
        QCOMPARE(legend->lblColor(1)->text(), QStringLiteral("Currently Substituted"));
        QCOMPARE(legend->lblColor(6)->text(), QStringLiteral("Operator Aborted / Interupted "));
        QCOMPARE(legend->lblColor(3)->text(), QString());
        QCOMPARE(legend->lblColor(3)->toolTip(),
                 QStringLiteral("Substitution In Less Than 15 Min."));
        QCOMPARE(swatchColour(legend->lblColor(7)), colorFromBgr(366291));
        legend->show();
        legend->activateWindow();
        // (A dialog counts as active while its parent is: wait for the window itself.)
        QTRY_COMPARE(QGuiApplication::focusWindow(), legend->windowHandle());

        // It stays open behind another window, and shows saved colours when it comes back;
        // the warning time it names is the one of its opening.
        main.activateWindow();
        QTRY_COMPARE(QGuiApplication::focusWindow(), main.windowHandle());
        QVERIFY(legend != nullptr && legend->isVisible());
        settings().EventColors[7] = 255;
        LessThanMinutes() = 30;
        legend->activateWindow();
        QTRY_COMPARE(QGuiApplication::focusWindow(), legend->windowHandle());
        QCOMPARE(swatchColour(legend->lblColor(7)), QColor(255, 0, 0));
        QCOMPARE(legend->lblColor(3)->toolTip(),
                 QStringLiteral("Substitution In Less Than 15 Min."));
        legend->close();
        QTRY_VERIFY(legend == nullptr);
    }
};

VEK_TEST(TestColours)
#include "tst_colours.moc"
