// Virtual lists and the further notifications: rows asked of the user only as they are shown,
// the window made anew when the mode changes, the answers to marquee, find, hot track and
// activation, and cell texts by display position.
#include "ExtListView.h"
#include "ListControl.h"
#include "support/ControlTraffic.h"

#include <QAbstractItemModelTester>
#include <QtTest>

#include <set>

using namespace Win;
using TestSupport::TControlTraffic;

namespace {

// A shown virtual list of Count rows whose cells read "r<row>c<sub-item>"; remembers the
// rows it was asked for.
struct TVirtual
{
    TdfsExtListView List;
    std::set<int> Asked;
    std::vector<std::pair<int, int>> Hints;
    explicit TVirtual(int Count, bool Show = true)
    {
        List.BeginLoading();
        for (const char* caption : {"A", "B", "C"})
            List.Columns().Add()->SetCaption(caption);
        List.SetVirtualMode(true);
        List.OnVMGetItemInfo = [this](QObject*, int Item, int SubItem, TLVVMMaskItems& Mask, int&,
                                      LPARAM&, int&, int&, int&, std::string& Text) {
            Asked.insert(Item);
            if (Mask.Has(vmiText))
                Text = std::string("r")
                           .append(std::to_string(Item))
                           .append("c")
                           .append(std::to_string(SubItem));
        };
        List.OnVMCacheHint = [this](QObject*, NMLVCACHEHINT& Hint) {
            Hints.emplace_back(Hint.iFrom, Hint.iTo);
        };
        List.SetVirtualItemCount(Count);
        List.Loaded();
        if (Show) {
            List.resize(400, 300);
            List.show();
        }
    }
    QAbstractItemView* View() const { return List.Control().View(); }
};

} // namespace

class TestVirtualList : public QObject
{
    Q_OBJECT
private slots:
    void Model_staysConsistentOverVirtualRows()
    {
        TVirtual v(50, false);
        QAbstractItemModelTester tester(v.View()->model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        v.List.SetVirtualItemCount(500);
        v.List.SetVirtualItemCount(20);
        QCOMPARE(v.View()->model()->rowCount(), 20);
        QCOMPARE(v.View()->model()->index(7, 1).data().toString(), QStringLiteral("r7c1"));
    }

    void AddingOrInsertingAnItem_givesNoneAndLeavesTheListAsItWas_data()
    {
        QTest::addColumn<int>("Count");
        QTest::addColumn<bool>("Insert");
        QTest::newRow("add, 5 rows") << 5 << false;
        QTest::newRow("insert at 0, 5 rows") << 5 << true;
        QTest::newRow("add, no rows") << 0 << false;
    }
    void AddingOrInsertingAnItem_givesNoneAndLeavesTheListAsItWas()
    {
        QFETCH(int, Count);
        QFETCH(bool, Insert);
        TVirtual v(Count, false);
        TListItem* item = Insert ? v.List.Items().Insert(0) : v.List.Items().Add();
        QCOMPARE(item, nullptr);
        QCOMPARE(v.List.Items().Count(), Count);
        QCOMPARE(v.View()->model()->rowCount(), Count);
        QCOMPARE(v.List.Items().Item(0), nullptr); // a virtual list holds no items
        if (Count > 0)                             // the owner still answers for the last row
            QVERIFY(v.View()
                        ->model()
                        ->index(Count - 1, 1)
                        .data()
                        .toString()
                        .startsWith(QStringLiteral("r%1c").arg(Count - 1)));
    }

    void FittingAColumn_asksForTheShownRowsOnly_data()
    {
        QTest::addColumn<int>("Width");
        QTest::newRow("divider double-click (LVSCW_AUTOSIZE)") << int(LVSCW_AUTOSIZE);
        QTest::newRow("with the header (LVSCW_AUTOSIZE_USEHEADER)")
            << int(LVSCW_AUTOSIZE_USEHEADER);
    }
    void FittingAColumn_asksForTheShownRowsOnly()
    {
        QFETCH(int, Width);
        TVirtual v(200'000);
        QVERIFY(QTest::qWaitForWindowExposed(&v.List));
        v.Asked.clear();
        v.List.Control().SendMessage(LVM_SETCOLUMNWIDTH, 1, Width);
        const int shown = v.List.Control().View()->RowsShown();
        QVERIFY(!v.Asked.empty());
        QVERIFY2(int(v.Asked.size()) <= shown + 2, qPrintable(QString::number(v.Asked.size())));
        // Wide enough for the widest shown cell and for the header's caption.
        const QFontMetrics rows(v.View()->font());
        QVERIFY(v.List.Control().ColumnWidth(1) >= rows.horizontalAdvance("r99c0"));
    }

    void ManyRows_areAskedForOnlyAsTheyAreShown()
    {
        TVirtual v(10'000'000);
        QVERIFY(QTest::qWaitForWindowExposed(&v.List));
        QTRY_VERIFY(!v.Asked.empty());
        const int shown = v.List.Control().View()->RowsShown();
        QVERIFY(int(v.Asked.size()) <= shown + 1);
        QVERIFY(!v.Hints.empty());
        QCOMPARE(v.Hints.front().first, 0);
        // The end, and the rows there only.
        v.Asked.clear();
        v.View()->setFocus();
        QApplication::setActiveWindow(&v.List);
        QTest::keyClick(v.View(), Qt::Key_End);
        QCOMPARE(v.List.Control().SelectedRow(), 9'999'999);
        v.View()->viewport()->repaint();
        QVERIFY(v.Asked.count(9'999'999));
        QVERIFY(*v.Asked.begin() >= 9'999'999 - shown);
        QCOMPARE(v.Hints.back().second, 9'999'999);
    }

    void VirtualModeChange_makesTheWindowAnewWithoutItems_data()
    {
        QTest::addColumn<bool>("toVirtual");
        QTest::newRow("to virtual") << true;
        QTest::newRow("back to items") << false;
    }
    void VirtualModeChange_makesTheWindowAnewWithoutItems()
    {
        QFETCH(bool, toVirtual);
        TdfsExtListView list;
        list.Columns().Add();
        list.SetVirtualMode(!toVirtual);
        list.SetVirtualItemCount(30);
        list.Loaded();
        if (!toVirtual)
            QCOMPARE(list.Items().Count(), 30);
        else
            list.Items().Add()->SetCaption("held");
        TControlTraffic traffic(list);
        list.SetVirtualMode(toVirtual);
        QCOMPARE(bool(list.Control().WindowStyle() & LVS_OWNERDATA), toVirtual);
        // A virtual list's count is sent again by the new window.
        QCOMPARE(list.Items().Count(), toVirtual ? 30 : 0);
        QCOMPARE(traffic.Of(LVM_SETITEMCOUNT).size(), std::size_t(toVirtual ? 1 : 0));
        traffic.Sent.clear();
        list.SetVirtualMode(toVirtual); // the same value: nothing happens
        QVERIFY(traffic.Sent.empty());
    }

    void ItemInformation_isAnsweredByTheHandler_data()
    {
        QTest::addColumn<int>("item");
        QTest::addColumn<bool>("handler");
        QTest::addColumn<int>("room");
        QTest::addColumn<QString>("text");
        QTest::newRow("as asked") << 3 << true << 32 << "wiersz 3";
        QTest::newRow("cut to the room") << 3 << true << 5 << "wier";
        QTest::newRow("item -1") << -1 << true << 32 << "untouched";
        QTest::newRow("no handler") << 3 << false << 32 << "untouched";
    }
    void ItemInformation_isAnsweredByTheHandler()
    {
        QFETCH(int, item);
        QFETCH(bool, handler);
        QFETCH(int, room);
        QFETCH(QString, text);
        TdfsExtListView list;
        list.SetVirtualMode(true);
        list.Loaded();
        if (handler)
            list.OnVMGetItemInfo = [](QObject*, int Item, int, TLVVMMaskItems& Mask, int& Image,
                                      LPARAM&, int&, int&, int&, std::string& Text) {
                Text = "wiersz " + std::to_string(Item);
                Image = 7;
                Mask.Include(vmiParam);
            };
        char buffer[64] = "untouched";
        LVDISPINFO info;
        info.hdr.code = LVN_GETDISPINFOA;
        info.item.mask = LVIF_TEXT | LVIF_IMAGE | 0x100; // a bit without a member
        info.item.iItem = item;
        info.item.pszText = buffer;
        info.item.cchTextMax = room;
        QCOMPARE(list.Control().Notifier().Notify(info.hdr), LRESULT(0));
        QCOMPARE(QString::fromLatin1(buffer), text);
        const bool answered = handler && item != -1;
        QCOMPARE(info.item.iImage, answered ? 7 : 0);
        QCOMPARE(info.item.mask, answered ? (LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM)
                                          : (LVIF_TEXT | LVIF_IMAGE | 0x100u));
    }

    void Notifications_getTheirAnswers_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("handler");
        QTest::addColumn<qlonglong>("answer");
        QTest::newRow("marquee, no handler") << LVN_MARQUEEBEGIN << false << 0ll;
        QTest::newRow("marquee refused") << LVN_MARQUEEBEGIN << true << 1ll;
        QTest::newRow("find, no handler") << LVN_ODFINDITEMA << false << -1ll;
        QTest::newRow("find, found") << LVN_ODFINDITEMA << true << 42ll;
        QTest::newRow("hot track, no handler") << LVN_HOTTRACK << false << 0ll;
        QTest::newRow("hot track refused") << LVN_HOTTRACK << true << 1ll;
        QTest::newRow("activation (the catalogue's)") << LVN_ITEMACTIVATE << false << 0ll;
    }
    void Notifications_getTheirAnswers()
    {
        QFETCH(int, code);
        QFETCH(bool, handler);
        QFETCH(qlonglong, answer);
        TdfsExtListView list;
        list.Loaded();
        if (handler) {
            list.OnMarqueeBegin = [](QObject*, bool& CanBegin) { CanBegin = false; };
            list.OnVMFindItem = [](QObject*, NMLVFINDITEM&, int& Found) { Found = 42; };
            list.OnHotTrack = [](QObject*, int&, int, QPoint, bool& Allow) { Allow = false; };
        }
        NMITEMACTIVATE nm; // large enough for every record asked about here
        NMLVFINDITEM find;
        NMHDR& header = code == LVN_ODFINDITEMA ? find.hdr : nm.hdr;
        header.code = code;
        QCOMPARE(qlonglong(list.Control().Notifier().Notify(header)), answer);
    }

    void UserGestures_reachTheHandlers()
    {
        TdfsExtListView list;
        list.BeginLoading();
        list.Columns().Add()->SetCaption("A");
        list.SetMultiSelect(true);
        list.SetExtendedStyles({lvxOneClickActivate, lvxTrackSelect});
        list.Loaded();
        for (int i = 0; i < 3; ++i)
            list.Items().Add()->SetCaption("row");
        int activated = 0, marquees = 0;
        std::vector<int> hot;
        list.OnItemActivate = [&](QObject*) { ++activated; };
        list.OnMarqueeBegin = [&](QObject*, bool& CanBegin) {
            ++marquees;
            CanBegin = false;
        };
        list.OnHotTrack = [&](QObject*, int& Item, int, QPoint, bool&) { hot.push_back(Item); };
        list.resize(300, 300);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        QAbstractItemView* view = list.Control().View();
        const QPoint row1 = view->visualRect(view->model()->index(1, 0)).center();
        QTest::mouseMove(view->viewport(), QPoint(5, 250));
        QTest::mouseMove(view->viewport(), row1);
        QVERIFY(!hot.empty() && hot.back() == 1);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, row1);
        QCOMPARE(activated, 1);
        // A rubber band from empty space, refused: the selection stays.
        QTest::mousePress(view->viewport(), Qt::LeftButton, {}, QPoint(20, 250));
        QTest::mouseMove(view->viewport(), QPoint(20, 200));
        QTest::mouseMove(view->viewport(), QPoint(20, 2));
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, QPoint(20, 2));
        QCOMPARE(marquees, 1);
        QCOMPARE(list.Control().SelectedRow(), 1);
    }

    void TypingInAVirtualList_asksTheUserToFindTheRow()
    {
        TVirtual v(1000);
        QVERIFY(QTest::qWaitForWindowExposed(&v.List));
        std::string sought;
        v.List.OnVMFindItem = [&](QObject*, NMLVFINDITEM& Find, int& Found) {
            sought = Find.lvfi.psz;
            Found = 640;
        };
        QApplication::setActiveWindow(&v.List);
        v.View()->setFocus();
        QKeyEvent typed(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier,
                        QString::fromUtf8("\xc5\x82\xc4\x85")); // "łą", as the user types it
        QApplication::sendEvent(v.View(), &typed);
        QCOMPARE(sought, std::string("\xb3\xb9")); // the list's own bytes
        QCOMPARE(v.List.Control().SelectedRow(), 640);
    }

    void KeysTypedInQuickSuccession_makeOneTextToFind()
    {
        TVirtual v(100);
        QVERIFY(QTest::qWaitForWindowExposed(&v.List));
        QStringList sought;
        v.List.OnVMFindItem = [&](QObject*, NMLVFINDITEM& Find, int& Found) {
            sought << QString::fromLatin1(Find.lvfi.psz);
            Found = std::atoi(Find.lvfi.psz);
        };
        QApplication::setActiveWindow(&v.List);
        v.View()->setFocus();
        QTest::keyClicks(v.View(), "42");
        QCOMPARE(sought, (QStringList{"4", "42"}));
        QCOMPARE(v.List.Control().SelectedRow(), 42);
        // After a pause the typing starts afresh.
        QTest::qWait(QApplication::keyboardInputInterval() + 50);
        QTest::keyClicks(v.View(), "7");
        QCOMPARE(sought.last(), QStringLiteral("7"));
        QCOMPARE(v.List.Control().SelectedRow(), 7);
    }

    void RangeSelectedWithShift_isToldAsOneStateChange()
    {
        TdfsExtListView list;
        list.BeginLoading();
        list.Columns().Add()->SetCaption("A");
        list.SetVirtualMode(true);
        list.SetMultiSelect(true);
        list.SetVirtualItemCount(100);
        list.Loaded();
        std::vector<std::pair<int, int>> ranges;
        list.OnVMStateChanged = [&](QObject*, NMLVODSTATECHANGE& Change) {
            QCOMPARE(Change.uNewState & LVIS_SELECTED, LVIS_SELECTED);
            ranges.emplace_back(Change.iFrom, Change.iTo);
        };
        list.resize(300, 300);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        QAbstractItemView* view = list.Control().View();
        auto at = [&](int Row) { return view->visualRect(view->model()->index(Row, 0)).center(); };
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at(2));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ShiftModifier, at(6));
        // Row 2 was selected already: the rows that changed are 3 to 6.
        QCOMPARE(ranges, (std::vector<std::pair<int, int>>{{3, 6}}));
    }

    void CellText_followsTheDisplayOrder()
    {
        TdfsExtListView list;
        list.BeginLoading();
        for (const char* c : {"A", "B", "C"})
            list.Columns().Add()->SetCaption(c);
        list.Loaded();
        TListItem* item = list.Items().Add();
        item->SetCaption("caption");
        item->AddSubItem("first");
        item->AddSubItem("second");
        const int order[] = {2, 0, 1};
        list.SetColumnOrder(3, order);
        std::string text;
        list.GetCellText(0, -1, text);
        QCOMPARE(text, std::string("second"));
        list.GetCellText(0, 0, text);
        QCOMPARE(text, std::string("caption"));
        list.GetCellText(0, 5, text); // past the columns: the sub-item itself, if any
        QCOMPARE(text, std::string());
        list.GetCellText(0, 1, text);
        QCOMPARE(text, std::string("first"));
    }
};

QTEST_MAIN(TestVirtualList)
#include "tst_VirtualList.moc"
