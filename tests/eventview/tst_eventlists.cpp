#include <QTest>

#include <algorithm>

#include "core/consolestate.h"
#include "core/eventtable.h"
#include "core/eventtext.h"
#include "eventfixture.h"
#include "eventview/sharedlists.h"
#include "platform/clock.h"
#include "platform/failure.h"
#include "platform/text.h"
#include "platform/textrow.h"
#include "testregistry.h"

using namespace vek;
using namespace eventfixture;

class TestEventLists : public QObject
{
    Q_OBJECT
private slots:
    void init() { resetConsoleState(); }
    void cleanupTestCase() { resetConsoleState(); }

    void membershipFollowsStatusAndFilter()
    {
        // Filters at which each status is shown by its status alone (besides "All").
        struct Row
        {
            quint8 status;
            int list;
            QList<int> filters;
        };
        const QList<Row> table = {
            {0, ListUpcoming, {1, 6}},    {1, ListUpcoming, {1, 3}}, {2, ListOnAir, {1, 3}},
            {3, ListUpcoming, {1, 4, 5}}, {4, ListOnAir, {1, 4}},    {5, ListUpcoming, {1, 3, 5}},
        };
        const QDate day(2026, 12, 10);
        const QDate other(2026, 12, 11);
        for (const Row &r : table) {
            for (int f = 1; f <= 14; ++f) {
                // Group 0 and another day match neither the date nor a group filter.
                const int expected = r.filters.contains(f) ? r.list : 0;
                QCOMPARE(listOfEvent(r.status, 0, day, f, other), expected);
            }
            QCOMPARE(listOfEvent(r.status, 0, day, FilterDate, day), r.list);
            for (int g = 1; g <= 8; ++g)
                QCOMPARE(listOfEvent(r.status, quint8(g), day, FilterGroup1 + g - 1, other),
                         r.list);
            QCOMPARE(listOfEvent(r.status, 3, day, FilterGroup1 + 3, other),
                     r.filters.contains(FilterGroup1 + 3) ? r.list : 0);
        }
        // Finished (and unknown) statuses are logged whatever the filter.
        for (quint8 s : {quint8(6), quint8(7), quint8(8), quint8(9), quint8(255)}) {
            for (int f = 1; f <= 14; ++f)
                QCOMPARE(listOfEvent(s, 3, day, f, other), int(ListAsRun));
        }
        // Groups 9..24 are never a group filter's match.
        for (int g = 9; g <= 24; ++g) {
            for (int f = FilterGroup1; f <= FilterGroup8; ++f)
                QCOMPARE(listOfEvent(1, quint8(g), day, f, other), 0);
        }
    }

    void rowsCarryTheColumnsOfTheirList()
    {
        ManualClock clock(QDateTime(today(), QTime(12, 0)));
        ScopedClock scoped(clock);
        EventRec &up = addEvent(3, 42, StatusLessThan);
        up.GroupText = "Group 2";
        up.StartTime = "10:00:00";
        up.EndTime = "10:30:00";
        up.SrcText = "SAT 1";
        up.Description = "Evening news";
        up.Duration = "00:30:00";
        up.MonitorBeg = true;
        up.AddedBy = 2;
        up.ExtraCode1 = 0;
        up.ExtraCode2 = 17;
        up.OpComment = "late start";
        up.ActualStart = "10:00:05";
        up.ActualEnd = "10:30:00";
        up.ActualDur = "00:29:55";
        up.Comments = "check audio";
        up.Automation = 1;
        up.StartKey = 2026121036000;
        up.EndKey = 2026121037800;
        EventRec &oa = addEvent(4, 7, StatusOnAir);
        oa.MonitorEnd = true;
        oa.Automation = 3;
        oa.EventKey = "SHORTKEY";
        EventRec &ar = addEvent(5, 0, StatusDone);
        ar.ActualStart = "09:00:00";
        ar.ActualEnd = "09:30:00";
        ar.ActualDur = "00:30:00";
        ar.OpComment = "fine";
        ar.Automation = 2;
        LessThanMinutes() = 20;

        EventListEngine engine;
        ViewOptions o = allShown();
        o.heName[3] = "North Hub";
        const EventLists lists = engine.build(o);

        const EventListRows &u = lists.list[ListUpcoming];
        QCOMPARE(u.rowCount(), 3);
        const QList<QByteArray> expected = {"3-42",
                                            "North Hub",
                                            "Group 2",
                                            shortDate(today().addDays(1)),
                                            "10:00:00",
                                            "10:30:00",
                                            "SAT 1",
                                            "CNN",
                                            "Evening news",
                                            "< 20 Min.",
                                            "00:30:00",
                                            "YES",
                                            "",
                                            "2017late start",
                                            "10:00:05 10:30:00 00:29:55",
                                            "KEY-3-42-ABCDEFG",
                                            "check audio",
                                            "2026121036000CNN",
                                            "2026121037800CNN",
                                            "Notify",
                                            "",
                                            "",
                                            "",
                                            "",
                                            "KEY-3-42-ABCDEFGHIJKLMNOP"};
        for (int c = 0; c < expected.size(); ++c)
            QCOMPARE(cell(u, 2, c), expected[c]);

        // On-Air and As Run show the name stored in the record.
        const EventListRows &a = lists.list[ListOnAir];
        QCOMPARE(cell(a, 2, 1), QByteArray("Stored 4"));
        QCOMPARE(cell(a, 2, 11), QByteArray());
        QCOMPARE(cell(a, 2, 12), QByteArray("YES"));
        QCOMPARE(cell(a, 2, 15), QByteArray("SHORTKEY"));
        QCOMPARE(cell(a, 2, 19), QByteArray()); // automation 3 has no text
        QCOMPARE(cell(a, 2, 9), QByteArray("On-Air"));

        const EventListRows &r = lists.list[ListAsRun];
        QCOMPARE(cell(r, 1, 0), QByteArray("5-0"));
        QCOMPARE(cell(r, 1, 1), QByteArray("Stored 5"));
        QCOMPARE(cell(r, 1, 9), QByteArray("Done"));
        QCOMPARE(cell(r, 1, 19), QByteArray("Auto"));
        QCOMPARE(cell(r, 1, 20), QByteArray("09:00:00"));
        QCOMPARE(cell(r, 1, 21), QByteArray("09:30:00"));
        QCOMPARE(cell(r, 1, 22), QByteArray("00:30:00"));
        QCOMPARE(cell(r, 1, 23), QByteArray("fine"));
        QCOMPARE(cell(r, 1, 13), QByteArray("000fine"));
    }

    void aHeadEndOutsideTheTableHasNoNameAndAProblemShowsItsDetail()
    {
        EventRec &e = addEvent(2, 1, StatusProblem);
        e.HeadEnd = 200;
        e.StatusDetail = "No router";
        addEvent(2, 2, StatusProblem);
        EventListEngine engine;
        const EventLists lists = engine.build(allShown());
        const EventListRows &u = lists.list[ListUpcoming];
        QCOMPARE(cell(u, 2, 1), QByteArray());
        QCOMPARE(cell(u, 2, 9), QByteArray("No router"));
        QCOMPARE(cell(u, 3, 9), QByteArray("Prob."));
    }

    void exactlyOneBlankRowTopOfUpcomingBottomOfAsRun()
    {
        EventListEngine engine;
        ViewOptions o = allShown();
        // No events: header and the blank row in every list.
        EventLists lists = engine.build(o);
        for (int list = 1; list <= 3; ++list) {
            QCOMPARE(lists.list[list].rowCount(), 2);
            QCOMPARE(lists.list[list].events, 0);
            QCOMPARE(lists.list[list].rules.front(), ColourRule::Blank);
        }
        for (int slot = 0; slot < 3; ++slot) {
            addEvent(1, slot, StatusActive);
            addEvent(1, 10 + slot, StatusOnAir);
            addEvent(1, 20 + slot, StatusDone);
        }
        lists = engine.build(o);
        for (int list = 1; list <= 3; ++list) {
            const EventListRows &l = lists.list[list];
            QCOMPARE(l.rowCount(), 5);
            QCOMPARE(l.events, 3);
            const int blank = list == ListAsRun ? 4 : 1;
            for (int r = 1; r <= 4; ++r)
                QCOMPARE(cell(l, r, 0).isEmpty(), r == blank);
        }
        // Nothing shown: nothing listed.
        ViewOptions none;
        lists = engine.build(none);
        QCOMPARE(lists.list[ListUpcoming].rowCount(), 2);
    }

    void listsAreSortedByTheirColumnWithTheirHeaderAndText()
    {
        addEvent(2, 0, StatusActive, 2026121050000, "b");
        addEvent(1, 5, StatusActive, 2026121040000, "A");
        addEvent(1, 6, StatusActive, 2026121050000, "B");
        addEvent(1, 7, StatusActive, 2026121050000, "a");
        addEvent(1, 8, StatusDone, 2026121010000);
        addEvent(1, 9, StatusDone, 2026121020000);
        EventListEngine engine;
        ViewOptions o = allShown();
        EventLists lists = engine.build(o);
        const EventListRows &u = lists.list[ListUpcoming];
        // Case-insensitive: "B" and "b" tie and keep the table's order (head end, slot).
        QCOMPARE(cell(u, 2, 0), QByteArray("1-5"));
        QCOMPARE(cell(u, 3, 0), QByteArray("1-7"));
        QCOMPARE(cell(u, 4, 0), QByteArray("1-6"));
        QCOMPARE(cell(u, 5, 0), QByteArray("2-0"));
        QCOMPARE(u.sort.code, 5);
        QVERIFY(!u.sort.headerRed);
        QCOMPARE(u.sort.text, QByteArray("Sort: Start Date"));
        const EventListRows &r = lists.list[ListAsRun];
        QCOMPARE(cell(r, 1, 0), QByteArray("1-9"));
        QCOMPARE(cell(r, 2, 0), QByteArray("1-8"));
        QCOMPARE(r.sort.code, 6);
        QCOMPARE(lists.list[ListOnAir].sort.code, 5);
        QVERIFY(!lists.list[ListOnAir].sort.headerRed);
        QCOMPARE(lists.list[ListOnAir].sort.text, QByteArray("Sort: End Date"));

        // Another column sorts case-sensitively: upper case before lower case.
        o.sortCol[ListUpcoming] = 7;
        lists = engine.build(o);
        const EventListRows &u2 = lists.list[ListUpcoming];
        QCOMPARE(cell(u2, 1, 0), QByteArray());
        QCOMPARE(cell(u2, 2, 7), QByteArray("A"));
        QCOMPARE(cell(u2, 3, 7), QByteArray("B"));
        QCOMPARE(cell(u2, 4, 7), QByteArray("a"));
        QCOMPARE(cell(u2, 5, 7), QByteArray("b"));
        QCOMPARE(u2.sort.code, 7);
        QVERIFY(u2.sort.headerRed);
        QCOMPARE(u2.sort.text, QByteArray("Sort: Other"));
    }

    void sortTable()
    {
        struct Row
        {
            int list;
            int col;
            int code;
            bool red;
        };
        const QList<Row> table = {
            {1, 17, 5, false}, {1, 18, 5, true},  {1, 3, 7, true},
            {2, 17, 5, true},  {2, 18, 5, false}, {2, 9, 7, true},
            {3, 17, 6, false}, {3, 18, 6, true},  {3, 20, 8, true},
        };
        for (const Row &r : table) {
            const ListSort s = listSort(r.list, r.col);
            QCOMPARE(s.code, r.code);
            QCOMPARE(s.headerRed, r.red);
            QCOMPARE(s.text, sortText(r.col));
        }
        QCOMPARE(sortText(18), QByteArray("Sort: End Date"));
    }

    void coloursFollowTheFirstMatchingRule()
    {
        const QDate t = today();
        EventRec e;
        e.EventDate = t.addDays(-1);
        e.Status = StatusOnHold;
        e.BackupSrc = true;
        QCOMPARE(colourIndex(colourRule(ListUpcoming, e, t)), 5);
        e.EventDate = t;
        QCOMPARE(colourIndex(colourRule(ListUpcoming, e, t)), 4);
        e.BackupSrc = false;
        QCOMPARE(colourIndex(colourRule(ListUpcoming, e, t)), 2);
        e.Status = StatusLessThan;
        QCOMPARE(colourIndex(colourRule(ListUpcoming, e, t)), 3);
        e.Status = StatusProblem;
        QCOMPARE(colourIndex(colourRule(ListUpcoming, e, t)), 5);
        e.Status = StatusActive;
        QCOMPARE(colourIndex(colourRule(ListUpcoming, e, t)), 0);

        EventRec a;
        a.Interrupted = 1;
        a.BackupSrc = true;
        a.Status = StatusOnAir;
        QCOMPARE(colourIndex(colourRule(ListOnAir, a, t)), 6);
        a.Interrupted = 2;
        QCOMPARE(colourIndex(colourRule(ListOnAir, a, t)), 4);
        a.BackupSrc = false;
        QCOMPARE(colourIndex(colourRule(ListOnAir, a, t)), 1);
        a.Status = StatusOnHoldOnAir;
        QCOMPARE(colourIndex(colourRule(ListOnAir, a, t)), 2);

        EventRec r;
        r.BackupSrc = true;
        r.Status = StatusFailed;
        QCOMPARE(colourIndex(colourRule(ListAsRun, r, t)), 4);
        r.BackupSrc = false;
        QCOMPARE(colourIndex(colourRule(ListAsRun, r, t)), 5);
        r.Status = StatusAbort;
        QCOMPARE(colourIndex(colourRule(ListAsRun, r, t)), 6);
        r.Status = StatusDone;
        QCOMPARE(colourIndex(colourRule(ListAsRun, r, t)), 7);
        r.Status = 9;
        QCOMPARE(colourIndex(colourRule(ListAsRun, r, t)), 0);
    }

    void runsJoinLikeRowsAndOnlyUpcomingPastOrProblemRunsTakeTheBlankRow()
    {
        using R = ColourRule;
        const std::vector<R> rules = {R::Blank,  R::OnHold,   R::OnHold,  R::None,
                                      R::Backup, R::LessThan, R::LessThan};
        QCOMPARE(colourRuns(ListUpcoming, rules),
                 (std::vector<ColourRun>{{2, 3, 2}, {5, 5, 4}, {6, 7, 3}}));
        const std::vector<R> reaching = {R::Problem, R::Blank, R::Problem, R::BeforeToday,
                                         R::Blank};
        QCOMPARE(colourRuns(ListUpcoming, reaching),
                 (std::vector<ColourRun>{{1, 3, 5}, {4, 5, 5}}));
        const std::vector<R> onHold = {R::OnHold, R::Blank};
        QCOMPARE(colourRuns(ListUpcoming, onHold), (std::vector<ColourRun>{{1, 1, 2}}));
        const std::vector<R> asRun = {R::Failed, R::Blank};
        QCOMPARE(colourRuns(ListAsRun, asRun), (std::vector<ColourRun>{{1, 1, 5}}));
    }

    void builtListsCarryTheirColourRuns()
    {
        ManualClock clock(QDateTime(today(), QTime(12, 0)));
        ScopedClock scoped(clock);
        addEvent(1, 0, StatusOnHold, 2026121000001);
        addEvent(1, 1, StatusOnHold, 2026121000002);
        addEvent(1, 2, StatusActive, 2026121000003);
        EventRec &past = addEvent(1, 3, StatusActive, 2026120800000);
        past.EventDate = today().addDays(-1);
        EventListEngine engine;
        const EventLists lists = engine.build(allShown());
        const EventListRows &u = lists.list[ListUpcoming];
        // Row 1 blank, row 2 the past event, rows 3-4 on hold, row 5 active.
        QCOMPARE(u.runs, (std::vector<ColourRun>{{2, 2, 5}, {3, 4, 2}}));
    }

    void countTexts()
    {
        QCOMPARE(eventCountText(0), QByteArray("0 Events"));
        QCOMPARE(eventCountText(1), QByteArray("1 Event"));
        QCOMPARE(eventCountText(2), QByteArray("2 Events"));
        QCOMPARE(tabEventCountText(1), QByteArray(" 1 Event"));
        QCOMPARE(tabEventCountText(0), QByteArray(" 0 Events"));
    }

    void positionIsRestoredByRowNumber()
    {
        QCOMPARE(restoredRow(5, 7), 5);
        QCOMPARE(restoredRow(6, 7), 6);
        QCOMPARE(restoredRow(7, 7), 1);
        QCOMPARE(restoredRow(0, 7), 1);
        QCOMPARE(restoredTopRow(4, 7), 4);
        QCOMPARE(restoredTopRow(7, 7), 0);
        QCOMPARE(restoredTopRow(40000, 120002), 40000);
    }

    void onlyHeadEndsWithEditedEventsAreReadAgain()
    {
        addEvent(1, 0, StatusActive);
        addEvent(2, 0, StatusActive);
        addEvent(3, 0, StatusActive);
        EventListEngine engine;
        ViewOptions o = allShown();
        engine.build(o);
        QCOMPARE(engine.lastRead().size(), size_t(12));

        Events().edit(2, 0).Description = "changed";
        Events().edit(3, 0).Status = StatusDone;
        EventLists lists = engine.build(o);
        QCOMPARE(engine.lastRead(), (std::vector<int>{2, 3}));
        QCOMPARE(cell(lists.list[ListUpcoming], 3, 8), QByteArray("changed"));
        QCOMPARE(lists.list[ListUpcoming].events, 2);
        QCOMPARE(lists.list[ListAsRun].events, 1);

        // What the rows depend on besides the table makes them be read again.
        o.heName[7] = "Renamed";
        engine.build(o);
        QCOMPARE(engine.lastRead().size(), size_t(12));
        engine.build(o);
        QVERIFY(engine.lastRead().empty());
        LessThanMinutes() = 15;
        engine.build(o);
        QCOMPARE(engine.lastRead().size(), size_t(12));
        o.pickerDate = today(); // not the date filter: no effect
        engine.build(o);
        QVERIFY(engine.lastRead().empty());
        o.showHE[5] = false;
        lists = engine.build(o);
        QVERIFY(engine.lastRead().empty());
        o.showHE[5] = true;
        engine.build(o);
        QCOMPARE(engine.lastRead(), std::vector<int>{5});
    }

    void aNewSortColumnSortsTheKeptRowsAsAFreshBuildWould()
    {
        // Equal texts, case differences, bytes above 127 and keys alike in their first
        // 16 bytes, spread over head ends so the merge decides too.
        const QList<QByteArray> texts = {"abc",
                                         "ABC",
                                         "abc",
                                         "",
                                         "\xe9t\xe9",
                                         "\xc9T\xc9",
                                         "zz",
                                         "same prefix 16 b.. then a",
                                         "same prefix 16 b.. then B",
                                         "same prefix 16 b..",
                                         "Abc",
                                         "\x80"};
        for (int i = 0; i < texts.size(); ++i)
            addEvent(1 + i % 3, i, i % 4 == 3 ? StatusDone : StatusActive).Description = texts[i];
        EventListEngine engine;
        ViewOptions o = allShown();
        engine.build(o);
        for (int list = ListUpcoming; list <= ListAsRun; ++list)
            o.sortCol[size_t(list)] = 8;
        const EventLists resorted = engine.build(o);
        QVERIFY(engine.lastRead().empty());
        EventListEngine fresh;
        const EventLists built = fresh.build(o);
        for (int list = ListUpcoming; list <= ListAsRun; ++list) {
            const EventListRows &a = resorted.list[size_t(list)];
            const EventListRows &b = built.list[size_t(list)];
            QCOMPARE(a.rowCount(), b.rowCount());
            // The plain stable sort of (head end, slot) order by the texts, blank row kept
            // where it was.
            std::vector<QByteArray> keys;
            for (int r = 1; r < a.rowCount(); ++r) {
                QCOMPARE(cell(a, r, 0), cell(b, r, 0));
                if (!cell(b, r, 0).isEmpty())
                    keys.push_back(cell(b, r, 0));
            }
            std::vector<QByteArray> expected = keys;
            std::sort(expected.begin(), expected.end(),
                      [](const QByteArray &x, const QByteArray &y) {
                          const RowKey kx = parseRowKey(x), ky = parseRowKey(y);
                          return std::pair(kx.headEnd, kx.slot) < std::pair(ky.headEnd, ky.slot);
                      });
            const ListSort how = listSort(list, 8);
            std::stable_sort(
                expected.begin(), expected.end(), [&](const QByteArray &x, const QByteArray &y) {
                    const QByteArray tx =
                        Events().at(parseRowKey(x).headEnd, parseRowKey(x).slot).Description;
                    const QByteArray ty =
                        Events().at(parseRowKey(y).headEnd, parseRowKey(y).slot).Description;
                    const bool cs = how.code >= 7;
                    const bool desc = how.code % 2 == 0;
                    // Reference rules: bytes as unsigned codes, Latin-1 case
                    // folded to upper case when the order ignores case.
                    auto fold = [cs](QByteArray t) {
                        if (!cs) {
                            for (char &c : t)
                                c = char(foldCase(quint8(c)));
                        }
                        return std::string(t.constData(), size_t(t.size()));
                    };
                    return desc ? fold(ty) < fold(tx) : fold(tx) < fold(ty);
                });
            QCOMPARE(keys, expected);
        }
    }

    void aNewFilterShowsTheKeptRowsAsAFreshBuildWould()
    {
        const quint8 statuses[] = {StatusActive, StatusOnHold,      StatusLessThan, StatusProblem,
                                   StatusOnAir,  StatusOnHoldOnAir, StatusDone};
        for (int i = 0; i < 40; ++i) {
            EventRec &e = addEvent(1 + i % 4, i, statuses[i % 7]);
            e.GroupNo = quint8(i % 3);
            e.EventDate = today().addDays(i % 2);
            e.Description = QByteArray::number(i % 5);
        }
        EventListEngine engine;
        ViewOptions o = allShown();
        o.pickerDate = today();
        for (int list = ListUpcoming; list <= ListAsRun; ++list)
            o.sortCol[size_t(list)] = 8;
        engine.build(o);
        const int filters[] = {FilterActive, FilterOnHold, FilterLessThan,   FilterProblem,
                               FilterDate,   FilterGroup1, FilterGroup1 + 1, FilterAll};
        for (const int filter : filters) {
            o.filter = filter;
            const EventLists kept = engine.build(o);
            QVERIFY(engine.lastRead().empty());
            EventListEngine fresh;
            const EventLists built = fresh.build(o);
            for (int list = ListUpcoming; list <= ListAsRun; ++list) {
                const EventListRows &a = kept.list[size_t(list)];
                const EventListRows &b = built.list[size_t(list)];
                QCOMPARE(a.events, b.events);
                QCOMPARE(a.runs, b.runs);
                for (int r = 1; r < a.rowCount(); ++r)
                    QCOMPARE(cell(a, r, 0), cell(b, r, 0));
            }
        }
        // The date of the date filter picks again; a dirty head end is read again.
        o.filter = FilterDate;
        engine.build(o);
        o.pickerDate = today().addDays(1);
        const EventListRows tomorrow = engine.build(o).list[ListUpcoming];
        QVERIFY(engine.lastRead().empty());
        for (int r = 2; r < tomorrow.rowCount(); ++r)
            QCOMPARE(cell(tomorrow, r, 3), shortDate(today().addDays(1)));
        QVERIFY(tomorrow.events > 0);
        Events().edit(2, 1).Description = "seen";
        const EventListRows after = engine.build(o).list[ListUpcoming];
        QCOMPARE(engine.lastRead(), std::vector<int>{2});
        QCOMPARE(cell(after, after.rowCount() - 1, 8), QByteArray("seen"));
    }

    void rowsOfAnEarlierBuildStayReadableAfterTheHeadEndIsReadAgain()
    {
        addEvent(1, 0, StatusActive).Description = "first";
        EventListEngine engine;
        const EventLists before = engine.build(allShown());
        // A row keeps the texts it had when it was first read.
        QCOMPARE(cell(before.list[ListUpcoming], 2, 8), QByteArray("first"));
        Events().edit(1, 0).Description = "second";
        const EventLists after = engine.build(allShown());
        QCOMPARE(cell(before.list[ListUpcoming], 2, 8), QByteArray("first"));
        QCOMPARE(cell(after.list[ListUpcoming], 2, 8), QByteArray("second"));
    }

    void editedEventsReadAgainGiveTheListsOfAFreshBuild()
    {
        // Events move between lists, leave, arrive and change their sort texts; after
        // every round the kept engine, which reads only the edited events, must show
        // what a new engine reading everything shows.
        ManualClock clock(QDateTime(today(), QTime(12, 0)));
        ScopedClock scoped(clock);
        quint32 seed = 7;
        auto next = [&seed](int n) {
            seed = seed * 1103515245u + 12345u;
            return int((seed >> 16) % quint32(n));
        };
        const QList<QByteArray> dests = {"CNN", "cnn", "ESPN", "", "\xe9t\xe9"};
        for (int he = 1; he <= 3; ++he) {
            for (int slot = 0; slot < 60; slot += 2)
                addEvent(he, slot, quint8(next(9)), 2026121000000 + next(5), dests[next(5)]);
        }
        for (const int sortCol : {int(SortStart), 8, 1}) {
            ViewOptions o = allShown();
            o.sortCol = {0, sortCol, SortEnd, sortCol};
            EventListEngine kept;
            kept.build(o);
            for (int round = 0; round < 12; ++round) {
                for (int n = 0; n < 6; ++n) {
                    const int he = 1 + next(3);
                    const int slot = next(64);
                    switch (next(4)) {
                    case 0:
                        addEvent(he, slot, quint8(next(9)), 2026121000000 + next(5),
                                 dests[next(5)]);
                        break;
                    case 1:
                        Events().edit(he, slot) = EventRec();
                        break;
                    case 2:
                        Events().edit(he, slot).Status = quint8(next(9));
                        break;
                    default:
                        Events().edit(he, slot).Description = dests[next(5)];
                        break;
                    }
                }
                const EventLists a = kept.build(o);
                EventListEngine fresh;
                const EventLists b = fresh.build(o);
                for (int list = 1; list <= EventListCount; ++list) {
                    const EventListRows &x = a.list[size_t(list)];
                    const EventListRows &y = b.list[size_t(list)];
                    QCOMPARE(x.rowCount(), y.rowCount());
                    QCOMPARE(x.runs, y.runs);
                    for (int r = 1; r < x.rowCount(); ++r) {
                        QCOMPARE(cell(x, r, 0), cell(y, r, 0));
                        QCOMPARE(cell(x, r, 8), cell(y, r, 8));
                    }
                }
            }
        }
    }

    void rowNumbersBeyond32767()
    {
        // Twelve head ends of 10,000 events in one list.
        for (int he = 1; he <= 12; ++he) {
            for (int slot = 0; slot < 10000; ++slot) {
                EventRec &e = Events().edit(he, slot);
                e.InUse = true;
                e.Status = StatusActive;
                e.StartKey = 2026121000000 + qint64(slot) * 12 + he;
            }
        }
        EventListEngine engine;
        const EventLists lists = engine.build(allShown());
        const EventListRows &u = lists.list[ListUpcoming];
        QCOMPARE(u.events, 120000);
        QCOMPARE(u.rowCount(), 120002);
        QCOMPARE(cell(u, 2, 0), QByteArray("1-0"));
        QCOMPARE(cell(u, 120001, 0), QByteArray("12-9999"));
        QCOMPARE(cell(u, 40000, 17), QByteArray::number(2026121000000 + 39999));
        QCOMPARE(eventCountText(u.events), QByteArray("120000 Events"));
        QCOMPARE(restoredRow(100000, u.rowCount()), 100000);
    }

    void eachRowKeepsTheFullKeyOfItsEvent()
    {
        addEvent(4, 9, StatusActive);
        EventListEngine engine;
        const EventLists lists = engine.build(allShown());
        const ListRow row = lists.list[ListUpcoming].rows->at(1);
        const auto *source = dynamic_cast<const EventRowSource *>(row.source);
        QVERIFY(source);
        QCOMPARE(source->headEnd(), 4);
        QCOMPARE(source->slotOf(row.index), 9);
        const QByteArray fullKey = row.cell(FullKeyCell).toByteArray();
        QCOMPARE(fullKey, QByteArray("KEY-4-9-ABCDEFGHIJKLMNOP"));
        QVERIFY(slotHoldsEvent(4, 9, fullKey));
        // Another event in the same slot (keys alike in their first 16 characters).
        Events().edit(4, 9).EventKey = "KEY-4-9-ABCDEFGHXXXX";
        QVERIFY(!slotHoldsEvent(4, 9, fullKey));
        Events().edit(4, 9).EventKey = fullKey;
        Events().edit(4, 9).InUse = false;
        QVERIFY(!slotHoldsEvent(4, 9, fullKey));
        QVERIFY(!slotHoldsEvent(0, 0, QByteArray()));
        QVERIFY(!slotHoldsEvent(99, 1, fullKey));
    }

    void viewOptionsComeFromTheSettingsAndTheViewTables()
    {
        settings().ShowHE[3][5] = true;
        settings().ShowHE[3][4] = false;
        settings().HEName[5] = "East";
        settings().VCOGLock = true;
        ViewFilter(3) = FilterOnHold;
        setDefaultSorts(3);
        SortCol(3, ListAsRun) = 20;
        const ViewOptions o = viewOptionsOf(3, today());
        QVERIFY(o.showHE[5]);
        QVERIFY(!o.showHE[4]);
        QCOMPARE(o.heName[5], QByteArray("East"));
        QVERIFY(o.vcogLock);
        QCOMPARE(o.filter, int(FilterOnHold));
        QCOMPARE(o.sortCol[ListUpcoming], 17);
        QCOMPARE(o.sortCol[ListOnAir], 18);
        QCOMPARE(o.sortCol[ListAsRun], 20);
        QCOMPARE(o.pickerDate, today());
        QVERIFY_THROWS_EXCEPTION(Failure, SortCol(9, 1));
        QVERIFY_THROWS_EXCEPTION(Failure, ColWidths(1, 31));
    }

    // Views of the same lists share one build until the table changes; other options get
    // lists of their own, the same as an engine of their own builds.
    void viewsOfTheSameListsShareOneBuild()
    {
        for (int slot = 0; slot < 6; ++slot)
            addEvent(1 + slot % 2, slot, StatusActive, 0).Description =
                "D" + QByteArray::number(5 - slot);
        SharedLists a, b, c;
        const ViewOptions o = allShown();
        ViewOptions locked = o;
        locked.vcogLock = true;
        ViewOptions byText = o;
        byText.sortCol[ListUpcoming] = 8;
        const auto same = [](const EventLists &x, const EventLists &y) {
            for (int list = 1; list <= EventListCount; ++list) {
                const EventListRows &l = x.list[list];
                if (l.rowCount() != y.list[list].rowCount() || l.rules != y.list[list].rules)
                    return false;
                for (int r = 1; r < l.rowCount(); ++r) {
                    for (int col = 0; col < RowCells; ++col) {
                        if (cell(l, r, col) != cell(y.list[list], r, col))
                            return false;
                    }
                }
            }
            return true;
        };
        for (int round = 0; round < 2; ++round) {
            const EventLists la = a.build(o);
            const EventLists lb = b.build(locked);
            QCOMPARE(lb.list[ListUpcoming].rows, la.list[ListUpcoming].rows);
            const EventLists lc = c.build(byText);
            QVERIFY(lc.list[ListUpcoming].rows != la.list[ListUpcoming].rows);
            EventListEngine own;
            QVERIFY(same(la, own.build(o)));
            EventListEngine ownByText;
            QVERIFY(same(lc, ownByText.build(byText)));
            Events().edit(2, 1).Status = StatusOnHold;
            QVERIFY(a.build(o).list[ListUpcoming].rows != la.list[ListUpcoming].rows);
        }
        // A view alone with its lists that changes its options keeps its engine: what it
        // builds is still what a fresh engine builds.
        ViewOptions active = byText;
        active.filter = FilterActive;
        c.build(byText);
        QVERIFY(same(c.build(active), EventListEngine().build(active)));
        QVERIFY(same(c.build(o), EventListEngine().build(o)));
    }

    void titlesAndFilterEntries()
    {
        QCOMPARE(columnTitle(ListUpcoming, 12), QByteArray("End."));
        QCOMPARE(columnTitle(ListOnAir, 12), QByteArray("End"));
        QCOMPARE(columnTitle(ListAsRun, 13), QByteArray("Hidden 3"));
        QCOMPARE(columnTitle(ListOnAir, 13), QByteArray("Hidden 2"));
        QCOMPARE(columnTitle(ListOnAir, 20), QByteArray());
        QCOMPARE(columnTitle(ListAsRun, 23), QByteArray("Op Comments"));
        QCOMPARE(filterEntry(4), QByteArray("< 30 Min."));
        QCOMPARE(filterEntry(13), QByteArray("Group 8"));
        QCOMPARE(filterEntry(14), QByteArray());
    }
};

VEK_TEST(TestEventLists)
#include "tst_eventlists.moc"
