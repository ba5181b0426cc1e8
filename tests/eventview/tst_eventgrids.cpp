#include <QSignalSpy>
#include <QTest>

#include "core/consolestate.h"
#include "core/log.h"
#include "eventfixture.h"
#include "eventview/eventgrids.h"
#include "platform/widgets/colors.h"
#include "platform/widgets/gridview.h"
#include "testregistry.h"

using namespace vek;
using namespace eventfixture;

class TestEventGrids : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        resetConsoleState();
        setDefaultColumnWidths();
        for (int k = 1; k <= 8; ++k)
            settings().EventColors[size_t(k)] = k * 1000;
        for (GridView *g : {&m_up, &m_oa, &m_ar}) {
            g->resize(600, 300);
            g->show();
        }
        m_grids.grid = {nullptr, &m_up, &m_oa, &m_ar};
        GRIDSET(m_grids, false);
    }
    void cleanupTestCase() { resetConsoleState(); }

    void setUpLaysOutTitlesWidthsAndOneBlankRow()
    {
        QCOMPARE(m_up.rows(), 2);
        QCOMPARE(m_up.cols(), 20);
        QCOMPARE(m_ar.cols(), 24);
        QCOMPARE(m_up.textMatrix(0, 12), QByteArray("End."));
        QCOMPARE(m_ar.textMatrix(0, 23), QByteArray("Op Comments"));
        QCOMPARE(m_up.columnWidthTwips(4), 830);
        QCOMPARE(m_up.columnWidthTwips(0), 0);
        // Without the lock mode the MediaPoint ID column is invisible.
        QCOMPARE(m_oa.columnWidthTwips(15), 0);
        GRIDSET(m_grids, true);
        QCOMPARE(m_oa.columnWidthTwips(15), 2200);
    }

    void rebuildFillsColoursAndReportsTheShownList()
    {
        addEvent(1, 0, StatusOnHold, 2026121000001);
        addEvent(1, 1, StatusActive, 2026121000002);
        addEvent(1, 2, StatusOnAir);
        addEvent(1, 3, StatusDone);
        addEvent(1, 4, StatusFailed, 2026121000009);
        EventListEngine engine;
        ViewOptions o = allShown();
        o.sortCol[ListOnAir] = SortStart;
        GridPanels p = rebuildGrids(m_grids, engine, o, 0);
        QCOMPARE(p.events, QByteArray("2 Events"));
        QCOMPARE(p.sort, QByteArray("Sort: Start Date"));
        QCOMPARE(m_up.rows(), 4);
        QCOMPARE(m_up.textMatrix(2, 0), QByteArray("1-0"));
        QCOMPARE(m_up.textMatrix(1, 0), QByteArray());
        QCOMPARE(m_up.rowBackColor(2), colorFromBgr(2000));
        QVERIFY(!m_up.rowBackColor(3).isValid());
        QVERIFY(!m_up.rowBackColor(1).isValid());
        // Column 0 is never coloured.
        const QModelIndex key = m_up.gridModel()->index(1, 0);
        const QModelIndex last = m_up.gridModel()->index(1, 19);
        QVERIFY(!key.data(Qt::BackgroundRole).isValid());
        QVERIFY(last.data(Qt::BackgroundRole).isValid());
        QCOMPARE(m_ar.textMatrix(1, 0), QByteArray("1-4"));
        QCOMPARE(m_ar.rowBackColor(1), colorFromBgr(5000));
        QCOMPARE(m_ar.rowBackColor(2), colorFromBgr(7000));
        QCOMPARE(m_ar.textMatrix(3, 0), QByteArray());
        QVERIFY(m_ar.gridModel()->index(0, 23).data(Qt::BackgroundRole).isValid());
        // Headers: red only where the order is not the list's default.
        QVERIFY(!m_up.headerBackColor().isValid());
        QCOMPARE(m_oa.headerBackColor(), colorFromBgr(255));
        QVERIFY(!m_ar.headerBackColor().isValid());
        // The rows come coloured with one reset of the model, without a signal per run; a
        // rebuild that reads nothing new leaves the model alone.
        QSignalSpy resets(m_up.gridModel(), &QAbstractItemModel::modelReset);
        QSignalSpy changes(m_up.gridModel(), &QAbstractItemModel::dataChanged);
        Events().edit(1, 1).Description = "changed";
        p = rebuildGrids(m_grids, engine, o, 1);
        QCOMPARE(resets.size(), 1);
        QCOMPARE(changes.size(), 0);
        QCOMPARE(m_up.rowBackColor(2), colorFromBgr(2000));
        rebuildGrids(m_grids, engine, o, 1);
        QCOMPARE(resets.size(), 1);
        QCOMPARE(m_up.rowBackColor(2), colorFromBgr(2000));
        QCOMPARE(p.events, QByteArray("1 Event"));
        p = rebuildGrids(m_grids, engine, o, 2);
        QCOMPARE(p.events, QByteArray("2 Events"));
        QCOMPARE(p.sort, QByteArray("Sort: Start Date"));
        // Text over a row colour follows its lightness: white on dark red, black on yellow.
        settings().EventColors[5] = 128;
        settings().EventColors[7] = 0x80FFFF;
        rebuildGrids(m_grids, engine, o, 2);
        const auto textOf = [this](int row) {
            return qvariant_cast<QBrush>(
                       m_ar.gridModel()->index(row - 1, 8).data(Qt::ForegroundRole))
                .color();
        };
        QCOMPARE(textOf(1), QColor(Qt::white));
        QCOMPARE(textOf(2), QColor(Qt::black));
        QVERIFY(!m_ar.gridModel()->index(2, 8).data(Qt::ForegroundRole).isValid());
    }

    void positionAndWidthsSurviveARebuild()
    {
        for (int slot = 0; slot < 40; ++slot)
            addEvent(2, slot, StatusActive);
        EventListEngine engine;
        const ViewOptions o = allShown();
        rebuildGrids(m_grids, engine, o, 0);
        m_up.setRow(30);
        m_up.setRowSel(33);
        m_up.setTopRow(25);
        m_up.setColumnWidth(8, 100);
        rebuildGrids(m_grids, engine, o, 0);
        QCOMPARE(ColWidths(ListUpcoming, 8), qint16(1500));
        QCOMPARE(m_up.columnWidthTwips(8), 1500);
        QCOMPARE(m_up.row(), 30);
        QCOMPARE(m_up.rowSel(), 30);
        QCOMPARE(m_up.col(), 0);
        QCOMPARE(m_up.colSel(), 19);
        QCOMPARE(m_up.topRow(), 25);

        // Fewer rows than the remembered row: row 1; the scroll stays where it was put.
        for (int slot = 10; slot < 40; ++slot)
            Events().edit(2, slot).InUse = false;
        rebuildGrids(m_grids, engine, o, 0);
        QCOMPARE(m_up.rows(), 12);
        QCOMPARE(m_up.row(), 1);
        QVERIFY(m_up.topRow() < 25);
    }

    void aHiddenMediaPointColumnKeepsItsWidth()
    {
        EventListEngine engine;
        ViewOptions o = allShown();
        o.vcogLock = false;
        rebuildGrids(m_grids, engine, o, 0);
        QCOMPARE(ColWidths(ListUpcoming, 15), qint16(2200));
        QCOMPARE(m_up.columnWidthTwips(15), 0);
        o.vcogLock = true;
        rebuildGrids(m_grids, engine, o, 0);
        QCOMPARE(m_up.columnWidthTwips(15), 2200);
    }

private:
    GridView m_up;
    GridView m_oa;
    GridView m_ar;
    EventGrids m_grids;
};

VEK_TEST(TestEventGrids)
#include "tst_eventgrids.moc"
