// The Channel View's list, the monitor take, the command checks and the send-home run,
// from the channel table alone; and the window's own handling of sizes, wheel and typing.

#include <QComboBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QWheelEvent>

#include "channelrig.h"
#include "channelview/channelcommands.h"
#include "channelview/chanviewmodel.h"
#include "channelview/frmchanview.h"
#include "channelview/frmcvcont.h"
#include "core/consolestate.h"
#include "platform/text.h"
#include "platform/widgets/twips.h"
#include "testregistry.h"

using namespace vek;

namespace {

ChannelEntry &entry(int ch, qint16 number, quint8 level = 1)
{
    ChannelEntry &c = Channel(1, ch);
    c.ChanNum = number;
    c.ChanLevel = level;
    c.ChanDesc = "D" + QByteArray::number(ch);
    c.SrcName = "S" + QByteArray::number(ch);
    c.ChanDefSrc = qint16(ch);
    c.ChanCol = qint16(ch);
    return c;
}

struct Clean
{
    Clean()
    {
        resetConsoleState();
        settings().HEChannels[1] = 16;
        settings().HEName[1] = "North";
    }
    ~Clean() { resetConsoleState(); }
    TestHome home;
};

// The paints of the Source and Dest. cells of the only entry of a one-channel list.
QPair<int, int> paintsOf(bool subst, bool pending, bool soon, bool backup)
{
    Channel(1, 1) = ChannelEntry();
    ChannelEntry &c = entry(1, 10);
    c.Substituted = subst;
    c.PendingSub = pending;
    c.Under30 = soon;
    c.OnBackup = backup;
    const ChanViewLine line = buildChanViewGrid(1, 0).lines.at(0);
    return {line.paint[0], line.paint[1]};
}

} // namespace

class TestChanViewLogic : public QObject
{
    Q_OBJECT

private slots:
    void unusedEntriesCountButAreNotShown()
    {
        Clean c;
        settings().HEChannels[1] = 4;
        entry(1, 10);
        entry(2, 0); // unused, inside 1..count + 1
        entry(3, 30);
        entry(5, 50); // the one past the count is looked at too
        entry(6, 60); // beyond it: never
        const ChanViewGrid g = buildChanViewGrid(1, 0);
        QCOMPARE(g.listed, 5);
        QCOMPARE(int(g.lines.size()), 3);
        QCOMPARE(g.lines[0].cells[1], QByteArray("D1 (10)"));
        QCOMPARE(g.lines[2].cells[1], QByteArray("D5 (50)"));
        QCOMPARE(g.lines[0].cells[5], QByteArray());
        QCOMPARE(g.lines[0].cells[3], QByteArray(" 1"));
    }

    void aHandEditedCountStaysInsideTheTable()
    {
        Clean c;
        entry(256, 7);
        entry(255, 8);
        settings().HEChannels[1] = 30000;
        QCOMPARE(chanViewLastChannel(1), 256);
        const ChanViewGrid g = buildChanViewGrid(1, 0);
        QCOMPARE(g.listed, 256);
        QCOMPARE(g.lines[0].cells[1], QByteArray("D256 (7)"));
        settings().HEChannels[1] = -40;
        QCOMPARE(chanViewLastChannel(1), 0);
        QCOMPARE(buildChanViewGrid(1, 0).lines.size(), size_t(1));
        QCOMPARE(chanViewLastChannel(0), 0);
        QCOMPARE(chanViewLastChannel(13), 0);
    }

    void filtersNeverListHiddenChannels()
    {
        Clean c;
        entry(1, 1).Substituted = true;
        entry(2, 2).PendingSub = true;
        entry(3, 3).Under30 = true;
        entry(4, 4).OnBackup = true;
        entry(5, 5).SelectList = true;
        ChannelEntry &hidden = entry(6, 6);
        hidden.ChanHidden = true;
        hidden.Substituted = hidden.PendingSub = hidden.Under30 = hidden.OnBackup = true;
        hidden.SelectList = true;
        settings().HEChannels[1] = 5;
        QCOMPARE(buildChanViewGrid(1, 0).listed, 5);
        for (int f = 1; f <= 5; ++f) {
            const ChanViewGrid g = buildChanViewGrid(1, f);
            QCOMPARE(g.listed, 1);
            QCOMPARE(g.lines[0].cells[3], Str(qint64(f)));
        }
        QCOMPARE(buildChanViewGrid(1, 6).listed, 0);
        QCOMPARE(chanViewFilterTexts(3).button, QStringLiteral("< 30 M"));
        QCOMPARE(chanViewFilterTexts(1).pictureTip,
                 QStringLiteral("View currently substituded channels."));
    }

    void colourPrecedence()
    {
        Clean c;
        QCOMPARE(paintsOf(false, false, false, true), qMakePair(4, 4));
        QCOMPARE(paintsOf(true, false, false, true), qMakePair(1, 1));
        QCOMPARE(paintsOf(true, true, false, false), qMakePair(1, 2));
        QCOMPARE(paintsOf(true, false, true, false), qMakePair(1, 3));
        QCOMPARE(paintsOf(false, true, true, false), qMakePair(3, 3));
        QCOMPARE(paintsOf(false, false, true, true), qMakePair(3, 3));
        QCOMPARE(paintsOf(false, false, false, false),
                 qMakePair(int(PaintStripe), int(PaintStripe)));
        // The text over a cell follows its colour's lightness.
        settings().EventColors[1] = 128;
        settings().EventColors[2] = 0x80FFFF;
        paintsOf(true, true, false, false);
        ChanViewModel model;
        model.setGrid(buildChanViewGrid(1, 0));
        const auto textOf = [&model](int col) {
            return model.index(0, col).data(Qt::ForegroundRole).value<QColor>();
        };
        QCOMPARE(textOf(0), QColor(Qt::white));
        QCOMPARE(textOf(1), QColor(Qt::black));
    }

    void sizesNeverGoNegative()
    {
        QCOMPARE(chanViewTextColumnWidth(2865), 700);
        QCOMPARE(chanViewTextColumnWidth(64), 0);
        QCOMPARE(chanViewTextColumnWidth(-500), 0);
        QCOMPARE(chanViewGridHeight(1255), -1);
        QCOMPARE(chanViewGridHeight(1256), 1);
        QCOMPARE(chanViewGridWidth(1080), -1);
        QCOMPARE(chanViewHeadWidth(271), 1);
        QCOMPARE(chanViewFontPoints(0), 6);
        QCOMPARE(chanViewFontPoints(3), 12);
        QCOMPARE(chanViewFontPoints(4), 0);
    }

    void monitorTakeSendsOnlyWhatItCanTell()
    {
        Clean c;
        Settings &s = settings();
        s.QCDevice = 3;
        s.QCDestination = 20;
        entry(4, 40, 3).ChanDefSrc = 7;
        entry(5, 50, 2);
        // Output 4 of level 3 carries input 1 * 256 + 44 = 300.
        RTRBuffer(1, 3) = QByteArray(6, '\0') + QByteArray("\x01\x2C", 2);
        RTRForm(1, 3) = StatusForm::Extended;
        QCOMPARE(qcMonitorTake(1, 4, true), QByteArray("\x10"
                                                       "03300020"));
        QCOMPARE(qcMonitorTake(1, 4, false), QByteArray("\x10"
                                                        "03007020"));
        // A status too short for the output's two characters.
        RTRBuffer(1, 3).chop(1);
        QCOMPARE(qcMonitorTake(1, 4, true), QByteArray());
        QCOMPARE(qcMonitorTake(1, 4, false), QByteArray("\x10"
                                                        "03007020"));
        // A plain status (one character per output) is read as such; the first part of an
        // extended one cannot tell the input.
        const QByteArray header = "10" + QByteArray(1, '\0') + "1";
        wsHS_DataArrival(1, header + "s\x03" + QByteArray("\x01\x02\x03\x09", 4));
        QCOMPARE(qcMonitorTake(1, 4, true), QByteArray("\x10"
                                                       "03009020"));
        wsHS_DataArrival(1, header + "\x8d\x03" + QByteArray(8, '\x05'));
        QCOMPARE(qcMonitorTake(1, 4, true), QByteArray());
        // An empty cell (index 0), another level, no monitor.
        QCOMPARE(qcMonitorTake(1, 0, false), QByteArray());
        QCOMPARE(qcMonitorTake(1, 5, false), QByteArray());
        QCOMPARE(qcMonitorTake(1, 300, false), QByteArray());
        s.QCDevice = 0;
        QCOMPARE(qcMonitorTake(1, 4, false), QByteArray());
        s.QCDevice = 3;
        s.QCDestination = 0;
        QCOMPARE(qcMonitorTake(1, 4, false), QByteArray());
    }

    void sendHomeRunPacesTenItems()
    {
        Clean c;
        for (int i = 1; i <= 255; ++i)
            Channel(1, i).ChanHidden = true;
        // Exactly ten visible at the end: the tick that reaches the tenth sends it, the next
        // one finds nothing and ends the run.
        for (int i = 246; i <= 255; ++i) {
            entry(i, qint16(i), 2).ChanHidden = false;
        }
        Channel(1, 250).ChanNum = 0; // an unused but visible entry still travels
        Channel(1, 250).ChanLevel = 0;
        Channel(1, 250).ChanDefSrc = 0;
        Channel(1, 250).ChanCol = 0;
        SendHomeRun run(1);
        const QByteArray first = run.tick();
        QCOMPARE(first.size(), 91);
        QVERIFY(first.startsWith("\x11/02246246/"));
        QVERIFY(first.contains("/00000000/"));
        QVERIFY(first.endsWith("/02255255"));
        QVERIFY(!run.finished());
        QCOMPARE(run.tick(), QByteArray());
        QVERIFY(run.finished());

        // Nothing visible: one tick, nothing sent.
        for (int i = 1; i <= 255; ++i)
            Channel(1, i).ChanHidden = true;
        SendHomeRun none(1);
        QCOMPARE(none.tick(), QByteArray());
        QVERIFY(none.finished());
    }

    void controlSourcesFollowTheOptions()
    {
        Clean c;
        entry(1, 10, 2).DestSigType = 4;
        entry(2, 20, 2).SrcSigType = 4;
        entry(3, 30, 2).SrcExcluded = true;
        entry(4, 40, 2).ChanHidden = true;
        entry(5, 50, 3);
        QCOMPARE(controlSourceEntries(1, 1).size(), 3);
        settings().SignalTypeCheck = true;
        QCOMPARE(controlSourceEntries(1, 1).size(), 1);
        QCOMPARE(controlSourceEntries(1, 1).first().Key, QByteArray("CH002"));
        settings().SignalTypeCheck = false;
        ResetSelection() = true;
        QCOMPARE(controlSourceEntries(1, 1).size(), 1);
        QCOMPARE(controlSourceEntries(1, 1).first().Key, QByteArray("CH004"));
    }

    void channelWindowsOpenWholeFromADefaultMainWindow()
    {
        Clean c;
        entry(1, 1);
        MDIMain main;
        installChannelViewOpeners(&main);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        // A wide window already open pushes the new one towards the right edge.
        QMdiSubWindow *other = main.mdiArea()->addSubWindow(new QLabel(QStringLiteral("wide")));
        other->resize(770, 500);
        other->show();
        main.menuWindow_Click(MenuWindow::ChannelView);
        frmChanView *v = chanView();
        QVERIFY(v);
        QCoreApplication::processEvents();
        const QRect area = main.mdiArea()->viewport()->rect();
        QVERIFY(area.contains(v->parentWidget()->geometry()));
        QList<QWidget *> parts{v->grid(), v->lblHead(), v->lblView()};
        for (int he = 1; he <= 12; ++he)
            parts << v->headEndButton(he);
        for (int k = 0; k < 6; ++k)
            parts << v->viewButton(k);
        QList<QRect> places;
        for (QWidget *w : parts) {
            const QRect r = w->geometry();
            QVERIFY(w->isVisible() && v->rect().contains(r));
            for (const QRect &o : places)
                QVERIFY(!o.intersects(r));
            places << r;
        }

        // The control window at the Channel View's offsets, moved back onto the screen.
        v->parentWidget()->move(area.right() - v->parentWidget()->width(), 0);
        v->gridCV_DblClick(1, 0);
        frmCVCont *cont = channelControl();
        QVERIFY(cont && cont->isVisible());
        const QRect screen = cont->screen()->availableGeometry();
        QVERIFY(screen.contains(cont->frameGeometry()));
        for (QPushButton *b : cont->findChildren<QPushButton *>()) {
            const QRect r(b->mapToGlobal(QPoint(0, 0)), b->size());
            QVERIFY2(b->isVisible() && screen.contains(r), qPrintable(b->text()));
        }
        main.close();
    }

    void windowSizesWheelAndTyping()
    {
        Clean c;
        for (int i = 1; i <= 120; ++i)
            entry(i, qint16(i)).CurSrcText = "S" + QByteArray::number(i);
        settings().HEChannels[1] = 120;
        settings().FontIndex = 3;
        MDIMain main;
        installChannelViewOpeners(&main);
        main.show();
        main.menuWindow_Click(MenuWindow::ChannelView);
        frmChanView *v = chanView();
        QVERIFY(v);
        QCOMPARE(v->grid()->font().pointSize(), 12);
        // 120 channels and the unused entry past them: 121 counted.
        QCOMPARE(v->model()->rowCount(), 61);
        QCOMPARE(v->columnWidthTwips(6), 0);
        QCOMPARE(v->columnWidthTwips(7), 0);
        // A window narrower than its fixed parts leaves the columns at 0, never below.
        v->resize(40, 40);
        QCOMPARE(v->columnWidthTwips(0), v->columnWidthTwips(4));
        QVERIFY(v->columnWidthTwips(0) >= 0);
        // The two column pairs fill the list: no horizontal scroll bar at any size.
        for (const QSize size : {QSize(600, 600), QSize(283, 486), QSize(451, 333)}) {
            v->resize(size);
            QCoreApplication::processEvents();
            QVERIFY(!v->grid()->horizontalScrollBar()->isVisible());
            QCOMPARE(v->grid()->columnWidth(0), v->grid()->columnWidth(5));
        }

        // The wheel over the list scrolls it one row per message; elsewhere it shows in
        // the caption until the window is active again.
        QScrollBar *bar = v->grid()->verticalScrollBar();
        const QPoint over = v->grid()->viewport()->mapToGlobal(QPoint(10, 10));
        v->MouseWheel(0, -120, over.x(), over.y());
        v->MouseWheel(0, -360, over.x(), over.y());
        QCOMPARE(bar->value(), 2);
        v->MouseWheel(0, 120, over.x(), over.y());
        QCOMPARE(bar->value(), 1);
        const QPoint away = v->lblHead()->mapToGlobal(QPoint(2, 2));
        v->MouseWheel(0, -120, away.x(), away.y());
        QCOMPARE(v->windowTitle(), QStringLiteral("Form Scroll Down"));
        v->Form_Activate();
        QCOMPARE(v->windowTitle(), QStringLiteral("Channel View"));
        // A refill keeps the list where the operator scrolled it.
        v->FillChanView();
        QCOMPARE(bar->value(), 1);

        // Type-ahead in the source list.
        v->gridCV_DblClick(1, 0);
        frmCVCont *cont = channelControl();
        QVERIFY(cont);
        QTest::keyClicks(cont->cmbSrc(), "s11");
        QCOMPARE(cont->cmbSrc()->currentText(), QStringLiteral("S11 (11)"));
        QCOMPARE(KeyBuffer(), QByteArray("s11"));
        main.close();
    }
};

VEK_TEST(TestChanViewLogic)
#include "tst_chanviewlogic.moc"
