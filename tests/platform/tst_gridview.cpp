#include <QTest>

#include "platform/listrow.h"
#include "platform/textrow.h"
#include "platform/widgets/colors.h"
#include "platform/widgets/gridview.h"
#include "platform/widgets/twips.h"
#include "testregistry.h"

using namespace vek;

namespace {
// A grid of one column holding the given texts in rows 1..n.
void fill(GridView &g, const QList<QByteArray> &texts)
{
    g.setCols(2);
    g.setTextMatrix(0, 0, "Title");
    std::vector<TextRow> rows;
    for (int i = 0; i < texts.size(); ++i)
        rows.push_back(TextRow{texts[i], QByteArray::number(i)});
    g.setRowData(std::move(rows));
}

// Rows "row N" / "cell N.c" that count how often they are made or read cell by cell.
class CountingSource final : public RowSource
{
public:
    TextRowView row(quint32 index) override
    {
        ++made;
        const QByteArray first = "row " + QByteArray::number(index);
        const QByteArray second = "cell " + QByteArray::number(index) + ".1";
        return m_arena.append(std::array<QByteArrayView, 2>{first, second});
    }
    QByteArray cellText(quint32 index, int cell) override
    {
        ++cellsRead;
        return cell == 0 ? "row " + QByteArray::number(index)
                         : "cell " + QByteArray::number(index) + "." + QByteArray::number(cell);
    }
    int made = 0;
    int cellsRead = 0;

private:
    TextRowArena m_arena;
};

QList<QByteArray> column(const GridView &g, int col)
{
    QList<QByteArray> out;
    for (int r = 1; r < g.rows(); ++r)
        out << g.textMatrix(r, col);
    return out;
}
} // namespace

class TestGridView : public QObject
{
    Q_OBJECT
private slots:
    void twipsRoundTrip()
    {
        QCOMPARE(twipsToPixels(900), 60);
        QCOMPARE(twipsToPixels(830), 55);
        QCOMPARE(pixelsToTwips(55), 825);
        QCOMPARE(twipsToPixels(0), 0);
        QCOMPARE(twipsToPixels(-15), 0);
        for (int px = 0; px < 2000; ++px)
            QCOMPARE(twipsToPixels(pixelsToTwips(px)), px);
        for (int tw = 0; tw < 30000; tw += 7) {
            const int once = pixelsToTwips(twipsToPixels(tw));
            QCOMPARE(pixelsToTwips(twipsToPixels(once)), once);
        }
        QVERIFY(pixelsToTwips(2000000000) > 0);
    }

    void widthsReadBackInTwips()
    {
        GridView g;
        g.setCols(3);
        g.setColumnWidthTwips(0, 830);
        g.setColumnWidthTwips(1, 0);
        QCOMPARE(g.columnWidth(0), 55);
        QCOMPARE(g.columnWidthTwips(0), 830);
        QCOMPARE(g.columnWidthTwips(1), 0);
        // A width the operator dragged reads as its pixels in twips.
        g.setColumnWidth(0, 70);
        QCOMPARE(g.columnWidthTwips(0), 1050);
        QCOMPARE(g.columnWidthTwips(7), 0);
        g.setColumnWidthTwips(7, 100); // no such column: nothing happens
    }

    void colourValuesAreBlueGreenRed()
    {
        QCOMPARE(colorFromBgr(255), QColor(255, 0, 0));
        QCOMPARE(colorFromBgr(16711680), QColor(0, 0, 255));
        QCOMPARE(colorFromBgr(0x00336699), QColor(0x99, 0x66, 0x33));
        QCOMPARE(bgrFromColor(QColor(0x99, 0x66, 0x33)), 0x00336699);
        QCOMPARE(bgrFromColor(colorFromBgr(65408)), 65408);
        // The high byte (a system colour's flag) is ignored.
        QCOMPARE(colorFromBgr(qint32(0x8000000F)), QColor(15, 0, 0));
    }

    void textRowsHoldTheirCellsSafely()
    {
        const TextRow r{"a", "", "c\tx"};
        QCOMPARE(r.cellCount(), 3);
        QCOMPARE(r.cell(0), QByteArrayView("a"));
        QCOMPARE(r.cell(1), QByteArrayView(""));
        QCOMPARE(r.cell(2), QByteArrayView("c\tx"));
        QCOMPARE(r.cell(3), QByteArrayView());
        QCOMPARE(r.cell(-1), QByteArrayView());
        QCOMPARE(TextRow().cell(0), QByteArrayView());
        const TextRow w = r.withCell(5, "f");
        QCOMPARE(w.cellCount(), 6);
        QCOMPARE(w.cell(5), QByteArrayView("f"));
        QCOMPARE(w.cell(2), QByteArrayView("c\tx"));
        QCOMPARE(r.withCell(-1, "x"), r);
        QCOMPARE(r.withCell(100000, "x"), r);
        // Long texts are kept whole, also the cells after them.
        const QByteArray big(70000, 'x');
        const TextRow whole{big, "tail"};
        QCOMPARE(whole.cell(0).size(), 70000);
        QCOMPARE(whole.cell(1), QByteArrayView("tail"));
        TextRowArena arena;
        const TextRowView v = arena.append(std::vector<QByteArrayView>{"p", QByteArrayView(big)});
        const TextRowView v2 = arena.append(std::vector<QByteArrayView>{"q"});
        QCOMPARE(v.cell(0), QByteArrayView("p"));
        QCOMPARE(v.cell(1).size(), 70000);
        QCOMPARE(v2.cell(0), QByteArrayView("q"));
    }

    void finishedArenasLendTheirChunksToTheNext()
    {
        TextRowArena::releasePool();
        {
            TextRowArena a;
            for (int i = 0; i < 3000; ++i)
                a.append(std::vector<QByteArrayView>{
                    QByteArrayView("012345678901234567890123456789012345678901234567890123456789012"
                                   "3456789012345678901234567890123456789")});
        }
        const size_t pooled = TextRowArena::pooledChunks();
        QVERIFY(pooled >= 2);
        {
            TextRowArena b;
            b.append(std::vector<QByteArrayView>{"x"});
            QCOMPARE(TextRowArena::pooledChunks(), pooled - 1);
        }
        TextRowArena::releasePool();
        QCOMPARE(TextRowArena::pooledChunks(), size_t(0));
    }

    void sourcedRowsAreMadeOnceWhenFirstShownOrRead()
    {
        GridView g;
        g.setCols(2);
        auto source = std::make_shared<CountingSource>();
        std::vector<ListRow> rows;
        for (quint32 i = 0; i < 1000; ++i)
            rows.push_back({source.get(), i});
        rows.push_back({}); // the empty row
        g.setRowData(std::move(rows), {source});
        QCOMPARE(g.rows(), 1002);
        // A list of 1,000 rows makes none of them until they are read or painted.
        QCOMPARE(source->made, 0);

        // A cell read through the grid does not make its row.
        QCOMPARE(g.textMatrix(5, 1), QByteArray("cell 4.1"));
        QCOMPARE(source->cellsRead, 1);
        QCOMPARE(source->made, 0);
        // The model's display reads make the row, once.
        GridModel *m = g.gridModel();
        QCOMPARE(m->data(m->index(4, 0)).toString(), QStringLiteral("row 4"));
        QCOMPARE(m->data(m->index(4, 1)).toString(), QStringLiteral("cell 4.1"));
        QCOMPARE(source->made, 1);
        QCOMPARE(g.textMatrix(5, 0), QByteArray("row 4"));
        QCOMPARE(source->cellsRead, 1);
        QCOMPARE(g.textMatrix(1001, 0), QByteArray());

        // Writing a cell of a row not made yet keeps its other cells.
        g.setTextMatrix(8, 1, "edited");
        QCOMPARE(g.textMatrix(8, 0), QByteArray("row 7"));
        QCOMPARE(g.textMatrix(8, 1), QByteArray("edited"));

        // Cutting rows off and sorting keep every remaining row's texts.
        g.setRows(11);
        g.setCol(0);
        g.setColSel(0);
        QVERIFY(g.sort(6));
        QCOMPARE(g.textMatrix(1, 0), QByteArray("row 9"));
        QCOMPARE(g.textMatrix(10, 0), QByteArray("row 0"));
        QCOMPARE(source->made, 10);

        // The grid holds the source; a new list lets it go.
        std::weak_ptr<CountingSource> held = source;
        source.reset();
        QVERIFY(!held.expired());
        g.setRowData(std::vector<TextRow>{TextRow{"plain"}});
        QVERIFY(held.expired());

        // Rows of a shared list are read from it, painted by runs (or row by row when the
        // runs overlap), and keep their texts and colours when a cell, the row count or
        // the order changes.
        struct Shared final : ListRows
        {
            std::shared_ptr<CountingSource> source = std::make_shared<CountingSource>();
            size_t size() const override { return 6; }
            ListRow at(size_t row) const override
            {
                return row < 5 ? ListRow{source.get(), quint32(row)} : ListRow();
            }
        };
        const QColor red(Qt::red);
        const QColor blue(Qt::blue);
        auto shared = std::make_shared<Shared>();
        g.setRowData(shared, {{1, 4, 0, 1, red}, {2, 2, 0, 1, QColor()}});
        QCOMPARE(g.rowBackColor(1), red);
        QCOMPARE(g.rowBackColor(2), QColor());
        QCOMPARE(g.rowBackColor(4), red);
        // The same by colours of a palette: an index past it is its last colour.
        const std::vector<QColor> palette{QColor(), red, blue};
        g.setRowData(shared, std::vector<ColourRun>{{1, 2, 1}, {3, 3, 9}}, palette, 0, 1);
        QCOMPARE(g.rowBackColor(2), red);
        QCOMPARE(g.rowBackColor(3), blue);
        QCOMPARE(g.rowBackColor(4), QColor());
        g.setRowData(shared, std::vector<ColourRun>{{1, 4, 2}, {2, 2, 0}}, palette, 0, 1);
        QCOMPARE(g.rowBackColor(1), blue);
        QCOMPARE(g.rowBackColor(2), QColor());
        QCOMPARE(g.rowBackColor(4), blue);
        g.setRowData(shared, {{2, 3, 0, 1, red}, {5, 5, 1, 1, blue}});
        QCOMPARE(g.rows(), 7);
        QCOMPARE(g.textMatrix(3, 1), QByteArray("cell 2.1"));
        QCOMPARE(g.textMatrix(6, 0), QByteArray());
        QCOMPARE(g.rowBackColor(1), QColor());
        QCOMPARE(g.rowBackColor(3), red);
        QCOMPARE(g.rowBackColor(4), QColor());
        QCOMPARE(g.rowBackColor(5), blue);
        g.setTextMatrix(2, 0, "edited");
        QCOMPARE(g.textMatrix(2, 0), QByteArray("edited"));
        QCOMPARE(g.textMatrix(3, 0), QByteArray("row 2"));
        g.setRows(4);
        QCOMPARE(g.rowBackColor(3), red);
        g.setCol(0);
        g.setColSel(0);
        QVERIFY(g.sort(6));
        QCOMPARE(g.textMatrix(1, 0), QByteArray("row 2"));
        QCOMPARE(g.textMatrix(3, 0), QByteArray("edited"));
        QCOMPARE(g.rowBackColor(1), red);
        QCOMPARE(g.rowBackColor(2), QColor());
        QCOMPARE(g.rowBackColor(3), red);
    }

    void textOrder()
    {
        QVERIFY(compareText("abc", "ABD", false) < 0);
        QCOMPARE(compareText("abc", "ABC", false), 0);
        QVERIFY(compareText("abc", "ABC", true) > 0);
        QVERIFY(compareText("", "a", true) < 0);
        QVERIFY(compareText("ab", "abc", false) < 0);
        QCOMPARE(compareText("\xe9t\xe9", "\xc9T\xc9", false), 0);
        // Codes of 128 and more sort after ASCII.
        QVERIFY(compareText("\xe9", "z", true) > 0);
        QCOMPARE(foldCase(0xF7), 0xF7);
    }

    void sortCodesFiveToEight()
    {
        GridView g;
        const QList<QByteArray> texts = {"b", "A", "", "a", "B"};
        fill(g, texts);
        g.setCol(0);
        QVERIFY(g.sort(5));
        QCOMPARE(column(g, 0), (QList<QByteArray>{"", "A", "a", "b", "B"}));
        // Equal keys keep their order: "A" was before "a".
        QCOMPARE(column(g, 1), (QList<QByteArray>{"2", "1", "3", "0", "4"}));
        fill(g, texts);
        QVERIFY(g.sort(6));
        QCOMPARE(column(g, 0), (QList<QByteArray>{"b", "B", "A", "a", ""}));
        fill(g, texts);
        QVERIFY(g.sort(7));
        QCOMPARE(column(g, 0), (QList<QByteArray>{"", "A", "B", "a", "b"}));
        fill(g, texts);
        QVERIFY(g.sort(8));
        QCOMPARE(column(g, 0), (QList<QByteArray>{"b", "a", "B", "A", ""}));
        QVERIFY(!g.sort(4));
        QVERIFY(!g.sort(9));
        QCOMPARE(column(g, 0), (QList<QByteArray>{"b", "a", "B", "A", ""}));
        // The header stays where it is; colours move with their rows.
        QCOMPARE(g.textMatrix(0, 0), QByteArray("Title"));
        g.setRangeBackColor(1, 1, 0, 1, Qt::red);
        QVERIFY(g.sort(7));
        QCOMPARE(g.textMatrix(5, 0), QByteArray("b"));
        QCOMPARE(g.rowBackColor(5), QColor(Qt::red));
        QVERIFY(!g.rowBackColor(1).isValid());
    }

    void rowsSelectionAndTopRowUseListRowNumbers()
    {
        GridView g;
        g.resize(300, 200);
        g.show();
        QList<QByteArray> texts;
        for (int i = 0; i < 200; ++i)
            texts << QByteArray::number(i);
        fill(g, texts);
        QCOMPARE(g.rows(), 201);
        QCOMPARE(g.textMatrix(1, 0), QByteArray("0"));
        QCOMPARE(g.textMatrix(201, 0), QByteArray());
        QCOMPARE(g.textMatrix(0, 0), QByteArray("Title"));
        g.setRow(10);
        g.setRowSel(14);
        g.setCol(0);
        g.setColSel(1);
        QCOMPARE(g.row(), 10);
        QCOMPARE(g.rowSel(), 14);
        QCOMPARE(g.selectionModel()->selectedIndexes().size(), 10);
        QCOMPARE(g.currentIndex().row(), 9);
        g.setSelectionRangeBackColor(QColor(1, 2, 3));
        QCOMPARE(g.rowBackColor(12), QColor(1, 2, 3));
        QVERIFY(!g.rowBackColor(15).isValid());
        g.setRow(500);
        QCOMPARE(g.row(), 200);
        g.setTopRow(50);
        QCOMPARE(g.topRow(), 50);
        g.setTopRow(500); // beyond the list: stays
        QCOMPARE(g.topRow(), 50);

        // A block the user selects upwards starts where the mouse went down.
        g.selectionModel()->setCurrentIndex(g.gridModel()->index(4, 0),
                                            QItemSelectionModel::NoUpdate);
        g.selectionModel()->select(
            QItemSelection(g.gridModel()->index(4, 0), g.gridModel()->index(7, 1)),
            QItemSelectionModel::ClearAndSelect);
        QCOMPARE(g.row(), 8);
        QCOMPARE(g.rowSel(), 5);

        g.setRows(3);
        QCOMPARE(g.rows(), 3);
        g.setTextMatrix(2, 4, "far");
        QCOMPARE(g.textMatrix(2, 4), QByteArray("far"));
        g.setTextMatrix(2, 4, "again");
        QCOMPARE(g.textMatrix(2, 4), QByteArray("again"));
        QCOMPARE(g.textMatrix(2, 1), QByteArray("1"));
        g.setRows(5);
        QCOMPARE(g.textMatrix(4, 0), QByteArray());
        g.clear();
        QCOMPARE(g.rows(), 1);
        QCOMPARE(g.textMatrix(0, 0), QByteArray("Title"));
    }

    void headerColour()
    {
        GridView g;
        fill(g, {"x"});
        QVERIFY(!g.gridModel()->headerData(0, Qt::Horizontal, Qt::BackgroundRole).isValid());
        g.setHeaderBackColor(colorFromBgr(255));
        QCOMPARE(
            qvariant_cast<QBrush>(g.gridModel()->headerData(1, Qt::Horizontal, Qt::BackgroundRole))
                .color(),
            QColor(255, 0, 0));
        g.setHeaderBackColor(QColor());
        QVERIFY(!g.headerBackColor().isValid());
    }
};

VEK_TEST(TestGridView)
#include "tst_gridview.moc"
