#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <algorithm>
#include <map>
#include <random>

#include "commandfixture.h"
#include "core/consolestate.h"
#include "core/receivepath.h"
#include "eventview/frmview.h"
#include "eventview/viewtables.h"
#include "platform/widgets/gridview.h"
#include "testregistry.h"

// An Event View driven together with the receive path: what its lists show and what its
// commands act on is what the last rebuild read, whether a row was painted or not. The
// expectations come from a small model of the list rules of its own.
using namespace vek;
using cmdfixture::Dialogs;
using cmdfixture::winBodies;

namespace {

constexpr int View = 1;
constexpr int Operator = 1;
constexpr int Admin = 2;
const QByteArray NotValid = "This is not a valid event.";

QDate today()
{
    return QDate(2026, 12, 9);
}

// An event as the test's server sends it.
struct ModelEvent
{
    QByteArray key;
    quint8 status = StatusActive;
    quint8 group = 0;
    QDate date = today();
    QByteArray description;
    QByteArray dest = "CNN";
    qint64 startKey = 2026120943200;
    bool backup = false;
    quint8 interrupted = 0;
};

QByteArray groupText(quint8 group)
{
    return group == 0 ? QByteArray("N/A") : "Group " + QByteArray::number(group);
}

QByteArray wire(int he, const ModelEvent &m)
{
    EventRec r;
    r.InUse = true;
    r.EventKey = m.key;
    r.HeadEnd = quint8(he);
    r.Status = m.status;
    r.GroupNo = m.group;
    r.GroupText = groupText(m.group);
    r.EventDate = m.date;
    r.StartTime = "12:00:00";
    r.EndTime = "12:30:00";
    r.Description = m.description;
    r.DestText = m.dest;
    r.HEText = "Stored " + QByteArray::number(he);
    r.StartKey = m.startKey;
    r.EndKey = m.startKey + 1800;
    r.BackupSrc = m.backup;
    r.Interrupted = m.interrupted;
    return EventToString(r);
}

// The server's messages, as they arrive at the console.
void send181(int he, const ModelEvent &m)
{
    wsHS_DataArrival(he, "0000\xb5" + wire(he, m));
}
void send182(int he, const ModelEvent &m)
{
    wsHS_DataArrival(he, "0000\xb6" + wire(he, m));
}

QByteArray keyOf(int n)
{
    return "KEY" + QByteArray::number(n).rightJustified(13, '0') + "ABCDEFGHIJKLMNOP";
}

// The list rules, written from the rules alone: which list, sort text, order, colour.
struct ListRules
{
    std::array<bool, MaxHeadEnds + 1> shown{};
    int filter = FilterAll;
    QDate picker;
    std::array<int, 4> sortCol{0, SortStart, SortEnd, SortStart};

    int listOf(const ModelEvent &e) const
    {
        int list = 1;
        bool byStatus = false;
        switch (e.status) {
        case 0:
            byStatus = filter == 6;
            break;
        case 1:
            byStatus = filter == 3;
            break;
        case 2:
            list = 2;
            byStatus = filter == 3;
            break;
        case 3:
            byStatus = filter == 4 || filter == 5;
            break;
        case 4:
            list = 2;
            byStatus = filter == 4;
            break;
        case 5:
            byStatus = filter == 3 || filter == 5;
            break;
        default:
            return 3;
        }
        const bool dated = filter == 2 && e.date == picker;
        const bool grouped = filter >= 7 && filter <= 14 && e.group == filter - 6;
        return filter == 1 || byStatus || dated || grouped ? list : 0;
    }
    std::string sortText(int list, const ModelEvent &e) const
    {
        QByteArray t;
        switch (sortCol[size_t(list)]) {
        case SortStart:
            t = QByteArray::number(e.startKey) + e.dest;
            break;
        case SortEnd:
            t = QByteArray::number(e.startKey + 1800) + e.dest;
            break;
        case 2:
            t = groupText(e.group);
            break;
        default:
            t = e.description;
            break;
        }
        if (sortCol[size_t(list)] == SortStart || sortCol[size_t(list)] == SortEnd)
            t = t.toUpper();
        return t.toStdString();
    }
    static int colour(int list, const ModelEvent &e)
    {
        if (list == 1)
            return e.date < today() ? 5
                   : e.backup       ? 4
                   : e.status == 0  ? 5
                   : e.status == 3  ? 2
                   : e.status == 5  ? 3
                                    : 0;
        if (list == 2)
            return e.interrupted == 1 ? 6
                   : e.backup         ? 4
                   : e.status == 2    ? 1
                   : e.status == 4    ? 2
                                      : 0;
        return e.backup ? 4 : e.status == 6 ? 5 : e.status == 7 ? 6 : e.status == 8 ? 7 : 0;
    }
};

struct ModelRow
{
    int he = 0;
    int slot = 0;
    ModelEvent e;
};

// The test's copy of the table and the lists as the last rebuild read it.
struct Model
{
    std::map<std::pair<int, int>, ModelEvent> table;
    ListRules rules;
    std::array<std::vector<ModelRow>, 4> lists;

    void store(int he, const ModelEvent &m)
    {
        for (auto &[at, e] : table) {
            if (at.first == he && e.key == m.key) {
                e = m;
                return;
            }
        }
        int slot = 0;
        while (table.count({he, slot}))
            ++slot;
        table[{he, slot}] = m;
    }
    void remove(int he, const QByteArray &key)
    {
        std::erase_if(table,
                      [&](const auto &p) { return p.first.first == he && p.second.key == key; });
    }
    const ModelEvent *live(const ModelRow &row) const
    {
        const auto it = table.find({row.he, row.slot});
        return it != table.end() && it->second.key == row.e.key ? &it->second : nullptr;
    }
    void rebuild()
    {
        for (auto &l : lists)
            l.clear();
        for (const auto &[at, e] : table) {
            if (rules.shown[size_t(at.first)]) {
                if (const int list = rules.listOf(e))
                    lists[size_t(list)].push_back({at.first, at.second, e});
            }
        }
        for (int list = 1; list <= 3; ++list) {
            std::stable_sort(lists[size_t(list)].begin(), lists[size_t(list)].end(),
                             [&](const ModelRow &a, const ModelRow &b) {
                                 const std::string x = rules.sortText(list, a.e);
                                 const std::string y = rules.sortText(list, b.e);
                                 return list == 3 ? y < x : x < y;
                             });
        }
    }
    // List row r (1..) of a list: nullptr for the blank row.
    const ModelRow *row(int list, int r) const
    {
        const auto &l = lists[size_t(list)];
        const int index = list == 3 ? r - 1 : r - 2;
        return index >= 0 && index < int(l.size()) ? &l[size_t(index)] : nullptr;
    }
};

QColor colourOf(int k)
{
    const qint32 v = settings().EventColors[size_t(k)];
    return QColor(v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF);
}

// A list as the model says it shows: rows, texts (read without painting), colours.
QString differences(const frmView &view, const Model &m)
{
    for (int list = 1; list <= 3; ++list) {
        const GridView &g = *view.grid(list);
        const int events = int(m.lists[size_t(list)].size());
        if (g.rows() != events + 2)
            return QStringLiteral("list %1: %2 rows, expected %3")
                .arg(list)
                .arg(g.rows())
                .arg(events + 2);
        for (int r = 1; r < g.rows(); ++r) {
            const ModelRow *row = m.row(list, r);
            const ModelEvent e = row ? row->e : ModelEvent();
            const QByteArray name = !row        ? QByteArray()
                                    : list == 1 ? settings().HEName[size_t(row->he)]
                                                : "Stored " + QByteArray::number(row->he);
            const QList<QPair<int, QByteArray>> cells = {
                {0, row ? QByteArray::number(row->he) + '-' + QByteArray::number(row->slot) : ""},
                {1, name},
                {2, row ? groupText(e.group) : ""},
                {8, e.description},
                {15, e.key.left(16)},
                {FullKeyCell, e.key}};
            for (const auto &[col, text] : cells) {
                if (g.textMatrix(r, col) != text)
                    return QStringLiteral("list %1 row %2 col %3: '%4', expected '%5'")
                        .arg(list)
                        .arg(r)
                        .arg(col)
                        .arg(QString::fromLatin1(g.textMatrix(r, col).left(40)),
                             QString::fromLatin1(text.left(40)));
            }
            const int k = row ? ListRules::colour(list, e) : 0;
            if (g.rowBackColor(r) != (k ? colourOf(k) : QColor()))
                return QStringLiteral("list %1 row %2: colour, expected %3")
                    .arg(list)
                    .arg(r)
                    .arg(k);
        }
    }
    const int up = int(m.lists[1].size());
    const QString count = QString::number(up) + (up == 1 ? " Event" : " Events");
    if (view.statusPanel(13)->text() != count)
        return QStringLiteral("panel 13 '%1', expected '%2'")
            .arg(view.statusPanel(13)->text(), count);
    return {};
}

// Rows first..last of a list are painted (made for showing).
void paint(const frmView &view, int list, int first, int last)
{
    GridModel *model = view.grid(list)->gridModel();
    for (int r = first; r <= last && r < view.grid(list)->rows(); ++r)
        model->index(r - 1, 8).data();
}

void select(const frmView &view, int list, int first, int last)
{
    view.grid(list)->setRow(first);
    view.grid(list)->setRowSel(last);
}

// A console with three head ends, two users with every right, the clock at noon.
class Console
{
public:
    Console() : clock(QDateTime(today(), QTime(12, 0))), scoped(clock)
    {
        resetConsoleState();
        Settings &s = settings();
        for (int he = 1; he <= MaxHeadEnds; ++he) {
            s.HEName[size_t(he)] = "Head End " + QByteArray::number(he);
            s.ShowHE[View][size_t(he)] = he <= 3;
            model.rules.shown[size_t(he)] = he <= 3;
        }
        for (int k = 1; k <= 8; ++k)
            s.EventColors[size_t(k)] = 0x101010 * k + 3;
        Users &u = users();
        u.UserPrivilege[Operator] = PrivilegeOperator;
        u.UserPrivilege[Admin] = PrivilegeAdmin;
        for (int he = 1; he <= MaxHeadEnds; ++he) {
            u.UserHEAccess[Operator][size_t(he)] = true;
            u.UserHEAccess[Admin][size_t(he)] = true;
        }
        u.CurrentUser = Operator;
        view = std::make_unique<frmView>(View, nullptr);
        view->Form_Activate();
        view->timeLoad_Timer();
        model.rules.picker = view->dtPick()->date();
        model.rebuild();
    }
    ~Console()
    {
        view.reset();
        resetConsoleState();
    }
    void arrive(int he, const ModelEvent &m)
    {
        send181(he, m);
        model.store(he, m);
    }
    void leave(int he, const ModelEvent &m)
    {
        send182(he, m);
        model.remove(he, m.key);
    }
    // The main tick; it rebuilds when a head end is marked.
    void tick()
    {
        bool marked = false;
        for (int he = 1; he <= MaxHeadEnds; ++he)
            marked = marked || GridDirty(View, he);
        view->timeMain_Timer();
        if (marked)
            model.rebuild();
    }

    TestHome home;
    ManualClock clock;
    ScopedClock scoped;
    Model model;
    std::unique_ptr<frmView> view;
};

} // namespace

class TestRowsAsRead : public QObject
{
    Q_OBJECT
private slots:
    void commandsAndPaintingFollowTheLastRebuild()
    {
        Console c;
        std::vector<ModelEvent> events(200);
        for (int i = 0; i < 200; ++i) {
            events[size_t(i)].key = keyOf(i);
            events[size_t(i)].description = "Event " + QByteArray::number(i);
            events[size_t(i)].startKey = 2026120943200 + i;
            c.arrive(1, events[size_t(i)]);
        }
        c.tick();
        QCOMPARE(differences(*c.view, c.model), QString());
        paint(*c.view, ListUpcoming, 1, 20);
        // The server replaces the events of slots 2 and 150; the new ones take their slots.
        for (int i : {2, 150}) {
            c.leave(1, events[size_t(i)]);
            ModelEvent fresh;
            fresh.key = keyOf(1000 + i);
            fresh.description = "NEW " + QByteArray::number(i);
            fresh.startKey = events[size_t(i)].startKey;
            c.arrive(1, fresh);
        }
        QCOMPARE(Events().at(1, 150).EventKey, keyOf(1150));
        GridView &up = *c.view->grid(ListUpcoming);
        QCOMPARE(up.textMatrix(152, 0), QByteArray("1-150"));

        // Hold on the unpainted row and on the painted one: neither event was listed.
        for (int r : {152, 4}) {
            Dialogs d;
            select(*c.view, ListUpcoming, r, r);
            c.view->runCommand(frmView::BtnHold);
            QCOMPARE(d.texts(), QStringList{QString::fromLatin1(NotValid)});
            QVERIFY(winBodies(1).isEmpty());
        }
        // Copy Media Point ID copies what the row showed.
        select(*c.view, ListUpcoming, 152, 152);
        QCOMPARE(menuPECopyMediaPoint_Click(selectedRows(up)), keyOf(150).left(16));
        // Delete by an administrator over unpainted rows passes over the changed one.
        {
            Dialogs d;
            users().CurrentUser = Admin;
            select(*c.view, ListUpcoming, 151, 153);
            c.view->runCommand(frmView::BtnDelete);
            users().CurrentUser = Operator;
            QCOMPARE(d.texts().size(), 2);
            QCOMPARE(d.texts().at(1), QString::fromLatin1(NotValid));
            QCOMPARE(winBodies(1), (QList<QByteArray>{"\x0c" + keyOf(149), "\x0c" + keyOf(151)}));
        }
        // Hold over every row from the first event: two held, then the replaced one stops it.
        {
            Dialogs d;
            select(*c.view, ListUpcoming, 2, up.rows() - 1);
            c.view->runCommand(frmView::BtnHold);
            QCOMPARE(d.texts(), QStringList{QString::fromLatin1(NotValid)});
            const QList<QByteArray> held = winBodies(1);
            QCOMPARE(held.size(), 2);
            QVERIFY(held.at(0).contains(keyOf(0)) && held.at(1).contains(keyOf(1)));
        }
        // A row painted only now shows the event the rebuild read.
        paint(*c.view, ListUpcoming, 152, 152);
        QCOMPARE(up.gridModel()->index(151, 8).data().toString(), QStringLiteral("Event 150"));
        c.model.table[{1, 0}].status = StatusOnHold;
        c.model.table[{1, 1}].status = StatusOnHold;
        QCOMPARE(differences(*c.view, c.model), QString());
        c.tick();
        QCOMPARE(differences(*c.view, c.model), QString());
    }

    void sortFilterAndDateChangesReadTheTableAfresh()
    {
        Console c;
        std::vector<ModelEvent> events(5);
        for (int i = 0; i < 5; ++i) {
            events[size_t(i)].key = keyOf(i);
            events[size_t(i)].description = "Event " + QByteArray::number(i);
            c.arrive(2, events[size_t(i)]);
        }
        c.tick();
        events[3].status = StatusOnHold;
        c.arrive(2, events[3]);
        c.view->cmbView()->setCurrentIndex(FilterOnHold - 1);
        c.view->cmbView_Click();
        c.model.rules.filter = FilterOnHold;
        c.model.rebuild();
        QCOMPARE(c.view->grid(ListUpcoming)->rows(), 3);
        QCOMPARE(differences(*c.view, c.model), QString());

        c.view->cmbView()->setCurrentIndex(0);
        c.view->cmbView_Click();
        c.model.rules.filter = FilterAll;
        c.leave(2, events[2]);
        ModelEvent done;
        done.key = keyOf(77);
        done.status = StatusDone;
        done.description = "FINISHED ONE";
        c.arrive(2, done);
        c.view->headerDblClick(ListUpcoming, DescriptionColumn);
        c.model.rules.sortCol[ListUpcoming] = DescriptionColumn;
        c.model.rebuild();
        QCOMPARE(c.view->grid(ListAsRun)->textMatrix(1, 8), QByteArray("FINISHED ONE"));
        QCOMPARE(differences(*c.view, c.model), QString());

        // The date filter's date.
        c.view->cmbView()->setCurrentIndex(FilterDate - 1);
        c.view->cmbView_Click();
        c.model.rules.filter = FilterDate;
        events[4].date = today().addDays(1);
        c.arrive(2, events[4]);
        c.view->dtPick()->setDate(today().addDays(1));
        c.view->dtPick_Change();
        c.model.rules.picker = today().addDays(1);
        c.model.rebuild();
        QCOMPARE(c.view->grid(ListUpcoming)->rows(), 3);
        QCOMPARE(differences(*c.view, c.model), QString());
    }

    void theGroupCheckReadsTheRowsAsListed()
    {
        Console c;
        ModelEvent x, y;
        x.key = keyOf(1);
        x.description = "ALPHA news";
        y.key = keyOf(2);
        y.description = "BETA sports";
        y.startKey = x.startKey + 1;
        c.arrive(1, x);
        c.arrive(1, y);
        c.tick();
        // X joins group 1 at the server; the list still shows it without a group.
        x.group = 1;
        c.arrive(1, x);
        Dialogs d;
        select(*c.view, ListUpcoming, 3, 3);
        c.view->gridMouseDown(ListUpcoming, Qt::RightButton, 3, GroupColumn, QPoint());
        c.view->menuPOP()->close();
        c.view->menuPOP()->actions().at(1)->trigger();
        QCOMPARE(d.texts(), QStringList());
        const QList<QByteArray> sent = winBodies(1);
        QCOMPARE(sent.size(), 1);
        QVERIFY(sent.front().contains(keyOf(2)));
    }

    void aLongRowReadsTheSamePaintedOrNot()
    {
        Console c;
        ModelEvent big;
        big.key = keyOf(5);
        big.description = QByteArray(70000, 'x');
        c.arrive(1, big);
        c.tick();
        const GridView &up = *c.view->grid(ListUpcoming);
        QCOMPARE(up.textMatrix(2, 8).size(), 70000);
        QCOMPARE(up.textMatrix(2, 9), QByteArray("Active"));
        paint(*c.view, ListUpcoming, 2, 2);
        QCOMPARE(up.gridModel()->row(1).cell(8).size(), 70000);
        QCOMPARE(up.textMatrix(2, FullKeyCell), keyOf(5));
        Dialogs d;
        select(*c.view, ListUpcoming, 2, 2);
        c.view->runCommand(frmView::BtnHold);
        QCOMPARE(d.texts(), QStringList());
        QCOMPARE(winBodies(1).size(), 1);
    }

    void randomMessagesAndCommandsKeepToTheListRules()
    {
        for (const unsigned seed : {1u, 2u, 3u}) {
            Console c;
            std::mt19937 rng(seed);
            auto pick = [&rng](int n) { return int(rng() % unsigned(n)); };
            const QList<QByteArray> words = {"alpha", "Alpha", "beta", "BETA", "gamma"};
            const QList<QByteArray> dests = {"CNN", "cnn", "ESPN"};
            std::vector<std::pair<int, ModelEvent>> known;
            int nextKey = 0;
            auto randomise = [&](ModelEvent &e) {
                e.status = quint8(pick(9));
                e.group = quint8(pick(3));
                e.date = today().addDays(pick(3) - 1);
                e.description = words[pick(words.size())];
                e.dest = dests[pick(dests.size())];
                e.startKey = 2026120943200 + pick(4);
                e.backup = pick(6) == 0;
                e.interrupted = quint8(pick(4) == 0);
            };
            for (int step = 0; step < 300; ++step) {
                const int what = pick(14);
                QString doing = QString::number(what);
                if (what <= 2 || known.empty()) {
                    ModelEvent e;
                    e.key = keyOf(nextKey++);
                    randomise(e);
                    const int he = 1 + pick(4);
                    c.arrive(he, e);
                    known.push_back({he, e});
                } else if (what == 3) {
                    auto &[he, e] = known[size_t(pick(int(known.size())))];
                    randomise(e);
                    c.arrive(he, e);
                } else if (what == 4) {
                    const size_t i = size_t(pick(int(known.size())));
                    c.leave(known[i].first, known[i].second);
                    known.erase(known.begin() + qsizetype(i));
                } else if (what == 5) {
                    c.clock.set(c.clock.now().addSecs(1 + pick(2)));
                    refreshPendingHeadEnds();
                } else if (what == 6) {
                    c.tick();
                } else if (what == 7) {
                    const int filter = 1 + pick(9);
                    c.view->cmbView()->setCurrentIndex(filter - 1);
                    c.view->cmbView_Click();
                    c.model.rules.filter = filter;
                    c.model.rebuild();
                } else if (what == 8) {
                    const int list = 1 + pick(3);
                    const int cols[] = {3, 5, 8, 2};
                    const int col = cols[pick(4)];
                    c.view->headerDblClick(list, col);
                    c.model.rules.sortCol[size_t(list)] = col == 3   ? SortStart
                                                          : col == 5 ? SortEnd
                                                                     : col;
                    c.model.rebuild();
                } else if (what == 9) {
                    const QDate d = today().addDays(pick(3) - 1);
                    c.view->dtPick()->setDate(d);
                    c.view->dtPick_Change();
                    c.model.rules.picker = d;
                    if (c.model.rules.filter == FilterDate)
                        c.model.rebuild();
                } else if (what == 10) {
                    const int he = 1 + pick(4);
                    c.view->menuShHE_Click(he);
                    c.model.rules.shown[size_t(he)] = !c.model.rules.shown[size_t(he)];
                    c.model.rebuild();
                } else if (what == 11) {
                    const int list = 1 + pick(3);
                    const int first = 1 + pick(c.view->grid(list)->rows());
                    paint(*c.view, list, first, first + pick(5));
                } else {
                    // Hold, an administrator's Delete or Copy Media Point ID over a few
                    // Upcoming rows.
                    const GridView &up = *c.view->grid(ListUpcoming);
                    const int first = 1 + pick(up.rows() - 1);
                    const int last = std::min(up.rows() - 1, first + pick(3));
                    select(*c.view, ListUpcoming, first, last);
                    Dialogs d;
                    QStringList texts;
                    std::map<int, QList<QByteArray>> bodies;
                    if (what == 12) {
                        c.view->runCommand(frmView::BtnHold);
                        for (int r = first; r <= last; ++r) {
                            const ModelRow *row = c.model.row(ListUpcoming, r);
                            ModelEvent *live =
                                row ? const_cast<ModelEvent *>(c.model.live(*row)) : nullptr;
                            if (!live) {
                                texts << QString::fromLatin1(NotValid);
                                break;
                            }
                            if (live->status == StatusActive || live->status == StatusLessThan) {
                                live->status = StatusOnHold;
                                bodies[row->he] << live->key;
                            } else if (live->status != StatusOnHold) {
                                texts << QString::fromLatin1(
                                    "This selected event (" + row->e.description +
                                    ") could not be placed on hold because it has a problem.");
                            }
                        }
                    } else {
                        users().CurrentUser = Admin;
                        c.view->runCommand(frmView::BtnDelete);
                        users().CurrentUser = Operator;
                        texts << QStringLiteral(
                            "Do you really want to deleted the selected items?");
                        for (int r = first; r <= last; ++r) {
                            const ModelRow *row = c.model.row(ListUpcoming, r);
                            if (!row)
                                continue;
                            if (!c.model.live(*row))
                                texts << QString::fromLatin1(NotValid);
                            else
                                bodies[row->he] << row->e.key;
                        }
                        QByteArray ids;
                        for (int r = first; r <= last; ++r) {
                            const ModelRow *row = c.model.row(ListUpcoming, r);
                            if (r > first && !ids.isEmpty())
                                ids += "\r\n";
                            ids += row ? row->e.key.left(16) : QByteArray();
                        }
                        QCOMPARE(menuPECopyMediaPoint_Click(selectedRows(up)), ids);
                    }
                    QCOMPARE(d.texts(), texts);
                    for (int he = 1; he <= 4; ++he) {
                        const QList<QByteArray> sent = winBodies(he);
                        const QList<QByteArray> keys = bodies[he];
                        QCOMPARE(sent.size(), keys.size());
                        for (int i = 0; i < sent.size(); ++i)
                            QVERIFY(sent[i].contains(keys[i]));
                    }
                }
                const QString diff = differences(*c.view, c.model);
                if (!diff.isEmpty())
                    QFAIL(qPrintable(
                        QStringLiteral("seed %1 step %2 (%3): ").arg(seed).arg(step).arg(doing) +
                        diff));
            }
        }
    }
};

VEK_TEST(TestRowsAsRead)
#include "tst_rowsasread.moc"
