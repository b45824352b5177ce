// The report list control, driven through its messages; notifications recorded by the owner.
#include "Canvas.h"
#include "ListControl.h"
#include "ListView.h"
#include "PageMap.h"
#include "support/MessageSpy.h"
#include "support/PaintedView.h"

#include <QAbstractItemModelTester>
#include <QtTest>

#include <random>
#include <set>
#include <stdexcept>

using namespace Win;
using namespace TestSupport;

namespace {

// A row made in a pool's room, as a list view's items are.
class TPoolRow final : public TListRow
{
public:
    static std::unique_ptr<TListRow> Make(TChunkArena& Pool, const TRowText& Text, int Image)
    {
        auto row = std::unique_ptr<TListRow>(::new (Pool.Allocate(sizeof(TPoolRow))) TPoolRow());
        row->Text = Text;
        row->Image = Image;
        return row;
    }

private:
    TPoolRow() : TListRow(TPooled()) {}
};

// A row on the heap that counts its destruction.
class THeapRow final : public TListRow
{
public:
    explicit THeapRow(int& Destroyed) : m_Destroyed(Destroyed) {}
    ~THeapRow() override { ++m_Destroyed; }

private:
    int& m_Destroyed;
};

std::set<std::uintptr_t> ChunksOf(const TListControl& List)
{
    std::set<std::uintptr_t> chunks;
    for (int i = 0; i < List.RowCount(); ++i)
        chunks.insert(reinterpret_cast<std::uintptr_t>(List.Row(i)) & ~(TChunkArena::kAlign - 1));
    return chunks;
}

std::string Joined(const TRowText& Text)
{
    std::string line(Text.JoinedSize(Text.FieldCount()), '\0');
    const char* end = Text.CopyJoined(line.data(), '\t', Text.FieldCount());
    line.resize(std::size_t(end - line.data()));
    return line;
}

int AddRow(TListControl& List, const char* Caption, LPARAM Param)
{
    LVITEM item;
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = List.RowCount();
    item.pszText = const_cast<char*>(Caption);
    item.lParam = Param;
    return int(List.SendMessage(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

void AddColumn(TListControl& List, const char* Caption, int Width)
{
    LVCOLUMN col;
    col.mask = LVCF_TEXT | LVCF_WIDTH;
    col.pszText = const_cast<char*>(Caption);
    col.cx = Width;
    List.SendMessage(LVM_INSERTCOLUMNA, WPARAM(List.ColumnCount()), reinterpret_cast<LPARAM>(&col));
}

std::string Text(TListControl& List, int Row, int SubItem = 0, int Size = 256)
{
    std::vector<char> buffer(std::size_t(std::max(Size, 1)), 'x');
    LVITEM item;
    item.iSubItem = SubItem;
    item.pszText = buffer.data();
    item.cchTextMax = Size;
    List.SendMessage(LVM_GETITEMTEXTA, WPARAM(Row), reinterpret_cast<LPARAM>(&item));
    return buffer.data();
}

// Two columns and one empty row, shown under the extended style.
void ShowOneRow(TListControl& List, UINT Style)
{
    AddColumn(List, "A", 80);
    AddColumn(List, "B", 80);
    AddRow(List, "", 1);
    List.SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, Style);
    List.resize(300, 100);
    List.show();
}

// Compares rows that carry themselves by their images.
int ByImage(LPARAM A, LPARAM B, LPARAM)
{
    return reinterpret_cast<const TListRow*>(A)->Image -
           reinterpret_cast<const TListRow*>(B)->Image;
}

// Compares rows by their Param: a number, with tens counting as equal.
int ByTens(LPARAM A, LPARAM B, LPARAM)
{
    return int(A / 10 - B / 10);
}
int Throwing(LPARAM A, LPARAM B, LPARAM)
{
    if (A == 3 || B == 3)
        throw std::runtime_error("cannot compare");
    return int(A - B);
}
TListControl* g_Inner = nullptr;
bool g_InnerResult = true;
int Reentering(LPARAM A, LPARAM B, LPARAM)
{
    if (g_Inner)
        g_InnerResult =
            g_Inner->SendMessage(LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(&ByTens)) != 0;
    return int(A - B);
}

std::vector<LPARAM> Params(const TListControl& List)
{
    std::vector<LPARAM> params;
    for (int i = 0; i < List.RowCount(); ++i)
        params.push_back(List.Row(i)->Param());
    return params;
}

} // namespace

class TestListControl : public QObject
{
    Q_OBJECT
private slots:
    void InsertedRows_areNotifiedAndReadBack()
    {
        TListControl list;
        TMessageSpy spy;
        list.SetOwner(std::ref(spy));
        AddColumn(list, "Nazwa", 100);
        AddColumn(list, "Rodzaj", 80);
        AddRow(list, "Abc", 1);
        AddRow(list, "Def", 2);
        LVITEM sub;
        sub.iSubItem = 1;
        sub.pszText = const_cast<char*>("Rock");
        list.SendMessage(LVM_SETITEMTEXTA, 1, reinterpret_cast<LPARAM>(&sub));
        QCOMPARE(list.SendMessage(LVM_GETITEMCOUNT, 0, 0), LRESULT(2));
        QCOMPARE(spy.Count(LVN_INSERTITEM), 2);
        QCOMPARE(spy.Items, (std::vector<int>{0, 1}));
        QCOMPARE(Text(list, 1, 1), std::string("Rock"));
        QCOMPARE(Text(list, 0, 1), std::string());        // a missing sub-item reads empty
        QCOMPARE(Text(list, 1, 0, 3), std::string("De")); // cut to the buffer, zero-ended
    }

    // Rows appended at once stand after those there, in the order made, and the owner hears of
    // each, with its place and Param, as of an insertion; in or out of an update bracket, the
    // view sees them all.
    void AppendedRows_standAtTheEndAndAreEachNotified_data()
    {
        QTest::addColumn<bool>("inUpdate");
        QTest::newRow("outside an update") << false;
        QTest::newRow("inside an update") << true;
    }
    void AppendedRows_standAtTheEndAndAreEachNotified()
    {
        QFETCH(bool, inUpdate);
        TListControl list;
        QAbstractItemModelTester tester(list.View()->model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        TMessageSpy spy;
        list.SetOwner(std::ref(spy));
        AddColumn(list, "A", 60);
        AddRow(list, "first", 1);
        spy = {};
        const std::uint64_t changes = list.Changes();
        if (inUpdate)
            list.BeginUpdate();
        int made = 0;
        list.AppendRows(3, [&] {
            auto row = std::make_unique<TListRow>();
            row->Text = TRowText::FromFields({"added " + std::to_string(made)});
            row->SetParam(10 + made++);
            return row;
        });
        if (inUpdate)
            list.EndUpdate();
        QCOMPARE(list.View()->model()->rowCount(), 4);
        QCOMPARE(Text(list, 0, 0), std::string("first"));
        QCOMPARE(Text(list, 3, 0), std::string("added 2"));
        QCOMPARE(spy.Count(LVN_INSERTITEM), 3);
        QCOMPARE(spy.Items, (std::vector<int>{1, 2, 3}));
        QCOMPARE(list.Row(2)->Param(), LPARAM(11));
        QVERIFY(list.Changes() != changes);
        // Rows made until the maker has none: the list holds those made.
        made = 0;
        list.AppendRows(5, [&]() -> std::unique_ptr<TListRow> {
            if (made++ == 2)
                return nullptr;
            return std::make_unique<TListRow>();
        });
        QCOMPARE(list.View()->model()->rowCount(), 6);
        // An owner that sorts the list on hearing of each row (a list kept sorted): the view
        // hears of it all as one change, and the rows end in order.
        list.SetOwner([&list](UINT Msg, WPARAM, LPARAM LParam) -> LRESULT {
            if (Msg == WM_NOTIFY && reinterpret_cast<const NMHDR*>(LParam)->code == LVN_INSERTITEM)
                list.SendMessage(LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(&ByTens));
            return 0;
        });
        list.SendMessage(LVM_DELETEALLITEMS, 0, 0);
        made = 0;
        list.AppendRows(4, [&] {
            auto row = std::make_unique<TListRow>();
            row->SetParam(40 - 10 * made++);
            return row;
        });
        QCOMPARE(list.View()->model()->rowCount(), 4);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(list.Row(i)->Param(), LPARAM(10 + 10 * i));
    }

    // Rows deleted leaving their texts keep the holds they had on them, for the rows made next
    // with the same texts to take over; a sort is counted as a reordering, not as a change.
    void RowsDeletedLeavingTexts_keepTheirHolds()
    {
        TListControl list;
        const TRowText text = TRowText::FromFields({"shared"});
        list.AppendRows(2, [&] {
            auto row = std::make_unique<TListRow>();
            row->Text = text;
            return row;
        });
        QCOMPARE(text.Holders(), 3u);
        const std::uint64_t changes = list.Changes();
        const std::uint64_t reorders = list.Reorders();
        list.SendMessage(LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(&ByTens));
        QCOMPARE(list.Changes(), changes);
        QCOMPARE(list.Reorders(), reorders + 1);
        list.DeleteAllRowsLeavingTexts();
        QCOMPARE(list.RowCount(), 0);
        QCOMPARE(text.Holders(), 3u);
        {
            const TRowText first = TRowText::TakeOver(text);
            const TRowText second = TRowText::TakeOver(text);
            QVERIFY(second.SharesWith(text));
        }
        QCOMPARE(text.Holders(), 1u);
    }

    void RowsDeleted_goBackToTheirPoolAndLetGoOfWhatTheyHold_data()
    {
        QTest::addColumn<bool>("leaving");
        QTest::addColumn<int>("heapRows");
        QTest::addColumn<bool>("oneDeletedFirst");
        QTest::newRow("pooled, leaving texts") << true << 0 << false;
        QTest::newRow("pooled, one deleted first, leaving texts") << true << 0 << true;
        QTest::newRow("pooled and on the heap, leaving texts") << true << 3 << false;
        QTest::newRow("pooled and on the heap, one deleted first") << true << 1 << true;
        QTest::newRow("pooled, texts let go of") << false << 0 << false;
        QTest::newRow("pooled and on the heap, texts let go of") << false << 2 << false;
    }

    // A long list emptied and filled again stands in the room it had, whichever way its rows
    // went; rows on the heap are destroyed; holds are kept only by rows leaving their texts.
    void RowsDeleted_goBackToTheirPoolAndLetGoOfWhatTheyHold()
    {
        QFETCH(bool, leaving);
        QFETCH(int, heapRows);
        QFETCH(bool, oneDeletedFirst);
        // Two full-size chunks of rows; fewer under the address sanitizer, which uses no room
        // again and makes the sort slow.
        const int kRows = PageMap::kWatched ? 20000 : 100000;
        TChunkArena pool;
        pool.Expect(kRows * sizeof(TListRow));
        TListControl list;
        const TRowText text = TRowText::FromFields({"shared"});
        int destroyed = 0;
        const auto fill = [&] {
            int next = 0;
            list.AppendRows(kRows,
                            [&] { return TPoolRow::Make(pool, text, next++ * 7919 % kRows); });
        };
        fill();
        for (int i = 0; i < heapRows; ++i) {
            std::unique_ptr<TListRow> row = std::make_unique<THeapRow>(destroyed);
            row->Text = text;
            row->SetParam(reinterpret_cast<LPARAM>(row.get()));
            list.InsertRow(i * 7, std::move(row));
        }
        if (oneDeletedFirst)
            list.DeleteRow(1);
        list.SendMessage(LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(&ByImage));
        int descents = 0; // sorted, the rows stand in no order in memory
        for (int i = 1; i < list.RowCount(); ++i)
            descents += list.Row(i) < list.Row(i - 1);
        QVERIFY(descents > kRows / 16);
        const std::set<std::uintptr_t> before = ChunksOf(list);
        const std::uint32_t held = text.Holders();
        if (leaving)
            list.DeleteAllRowsLeavingTexts();
        else
            list.DeleteAllRows();
        QCOMPARE(destroyed, heapRows);
        QCOMPARE(text.Holders(), leaving ? held : 1u);
        for (std::uint32_t left = leaving ? held - 1 : 0; left > 0; --left)
            const TRowText taken = TRowText::TakeOver(text);
        fill();
        const std::set<std::uintptr_t> after = ChunksOf(list);
        if (!PageMap::kWatched)
            QVERIFY(std::includes(before.begin(), before.end(), after.begin(), after.end()));
        list.DeleteAllRows();
        QCOMPARE(text.Holders(), 1u);
    }

    void SetItemParam_isRefusedByARowThatCarriesItself_data()
    {
        QTest::addColumn<bool>("pooled");
        QTest::addColumn<bool>("sameParam");
        QTest::addColumn<bool>("taken");
        QTest::newRow("plain row, another object") << false << false << true;
        QTest::newRow("pooled row, another object") << true << false << false;
        QTest::newRow("pooled row, itself") << true << true << true;
    }

    // A pooled row (a list view's item) carries itself: asked to carry another object, the
    // list answers that it did not, and changes nothing else the same message asked for.
    void SetItemParam_isRefusedByARowThatCarriesItself()
    {
        QFETCH(bool, pooled);
        QFETCH(bool, sameParam);
        QFETCH(bool, taken);
        TChunkArena pool;
        TListControl list;
        AddColumn(list, "A", 60);
        if (pooled)
            list.InsertRow(0, TPoolRow::Make(pool, TRowText::FromFields({"before"}), 0));
        else
            AddRow(list, "before", 7);
        const LPARAM own = list.Row(0)->Param();
        QCOMPARE(own, pooled ? reinterpret_cast<LPARAM>(list.Row(0)) : LPARAM(7));
        LVITEM item;
        item.mask = LVIF_PARAM | LVIF_TEXT;
        item.iItem = 0;
        item.iSubItem = 0;
        item.lParam = sameParam ? own : LPARAM(42);
        item.pszText = const_cast<char*>("after");
        QCOMPARE(list.SendMessage(LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item)),
                 LRESULT(taken));
        QCOMPARE(list.Row(0)->Param(), taken ? item.lParam : own);
        QCOMPARE(Text(list, 0), std::string(taken ? "after" : "before"));
    }

    void Model_staysConsistentThroughEveryKindOfChange()
    {
        TListControl list;
        QAbstractItemModelTester tester(list.View()->model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        AddColumn(list, "A", 60);
        AddColumn(list, "B", 60);
        for (int i = 0; i < 20; ++i)
            AddRow(list, std::to_string(i % 7).c_str(), i);
        list.SetSelectedRow(3);
        LVITEM sub;
        sub.iSubItem = 1;
        sub.pszText = const_cast<char*>("x");
        list.SendMessage(LVM_SETITEMTEXTA, 4, reinterpret_cast<LPARAM>(&sub));
        list.SendMessage(LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(&ByTens));
        list.SendMessage(LVM_DELETEITEM, 0, 0);
        list.BeginUpdate();
        for (int i = 0; i < 5; ++i)
            AddRow(list, "bulk", 100 + i);
        list.SendMessage(LVM_DELETEITEM, 2, 0);
        list.SendMessage(LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(&ByTens));
        list.EndUpdate();
        LVCOLUMN format;
        format.mask = LVCF_FMT;
        format.fmt = LVCFMT_RIGHT;
        list.SendMessage(LVM_SETCOLUMNA, 1, reinterpret_cast<LPARAM>(&format));
        list.SendMessage(LVM_DELETECOLUMN, 0, 0);
        list.SendMessage(LVM_DELETEALLITEMS, 0, 0);
        QCOMPARE(list.View()->model()->rowCount(), 0);
    }

    void GridLines_arePaintedByTheCellsOnlyWhenAskedFor_data()
    {
        QTest::addColumn<bool>("grid");
        QTest::newRow("with grid lines") << true;
        QTest::newRow("without") << false;
    }
    void GridLines_arePaintedByTheCellsOnlyWhenAskedFor()
    {
        QFETCH(bool, grid);
        TListControl list;
        ShowOneRow(list, grid ? LVS_EX_GRIDLINES : 0);
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        QAbstractItemView* view = list.View();
        view->selectionModel()->clear(); // no focus frame over the row
        const QImage shot = TestSupport::PaintedView(list);
        QVERIFY(!shot.isNull());
        const QRect cell = view->visualRect(view->model()->index(0, 0));
        const QRgb line = view->palette().color(QPalette::Mid).rgb();
        // A line along the cell's right half of its middle row, and down its lower half.
        bool across = false;
        for (int x = cell.center().x(); x <= cell.right(); ++x)
            across = across || shot.pixel(x, cell.center().y()) == line;
        bool down = false;
        for (int y = cell.center().y(); y <= cell.bottom(); ++y)
            down = down || shot.pixel(cell.center().x(), y) == line;
        QCOMPARE(across, grid);
        QCOMPARE(down, grid);
    }

    void HoverSelection_followsTheRestingPointerOnlyUnderTrackSelect_data()
    {
        QTest::addColumn<UINT>("style");
        QTest::addColumn<int>("selected");
        QTest::newRow("track select") << UINT(LVS_EX_TRACKSELECT) << 2;
        QTest::newRow("one-click activation only") << UINT(LVS_EX_ONECLICKACTIVATE) << -1;
    }
    void HoverSelection_followsTheRestingPointerOnlyUnderTrackSelect()
    {
        QFETCH(UINT, style);
        QFETCH(int, selected);
        TListControl list;
        AddColumn(list, "A", 100);
        for (int i = 0; i < 4; ++i)
            AddRow(list, "row", i);
        list.SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, style);
        list.SendMessage(LVM_SETHOVERTIME, 0, 30);
        list.resize(300, 200);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        QAbstractItemView* view = list.View();
        const QRect row = view->visualRect(view->model()->index(2, 0));
        QTest::mouseMove(view->viewport(), QPoint(1, 1)); // from elsewhere, so that it moves
        QTest::mouseMove(view->viewport(), row.center());
        QTRY_COMPARE(list.View()->HotRow(), 2);
        QTest::qWait(120);
        QCOMPARE(list.SelectedRow(), selected);
    }

    void HotAndColdRows_areUnderlinedAndColouredAsTheStylesSay_data()
    {
        QTest::addColumn<uint>("style");
        QTest::addColumn<bool>("hotUnderlined");
        QTest::addColumn<bool>("coldUnderlined");
        QTest::addColumn<bool>("hotColoured"); // in the highlight colour
        QTest::newRow("underline hot")
            << uint(LVS_EX_UNDERLINEHOT | LVS_EX_TRACKSELECT) << true << false << false;
        QTest::newRow("underline cold")
            << uint(LVS_EX_UNDERLINECOLD | LVS_EX_TRACKSELECT) << false << true << false;
        QTest::newRow("one-click activation: the hot row coloured")
            << uint(LVS_EX_ONECLICKACTIVATE) << false << false << true;
        QTest::newRow("hot tracking alone") << uint(LVS_EX_TRACKSELECT) << false << false << false;
    }
    void HotAndColdRows_areUnderlinedAndColouredAsTheStylesSay()
    {
        QFETCH(uint, style);
        QFETCH(bool, hotUnderlined);
        QFETCH(bool, coldUnderlined);
        QFETCH(bool, hotColoured);
        TListControl list;
        AddColumn(list, "A", 120);
        AddRow(list, "WWWWWW", 0);
        AddRow(list, "WWWWWW", 1);
        list.SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, style);
        list.SendMessage(LVM_SETHOVERTIME, 0, 100000); // hot, never hover-selected
        list.resize(300, 200);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        QAbstractItemView* view = list.View();
        view->selectionModel()->clear();
        QTest::mouseMove(view->viewport(), QPoint(250, 150));
        QTest::mouseMove(view->viewport(), view->visualRect(view->model()->index(0, 0)).center());
        QTRY_COMPARE(list.View()->HotRow(), 0);
        const QImage shot = TestSupport::PaintedView(list);
        const QColor text = view->palette().color(QPalette::Text);
        const QColor highlight = SystemColor(clHighlight, view->palette());
        // An underline is a run of text-coloured pixels across the text, under its letters.
        auto underlined = [&](int Row) {
            const QRect cell = view->visualRect(view->model()->index(Row, 0));
            const int textWidth = QFontMetrics(view->font()).horizontalAdvance("WWWWWW");
            for (int y = cell.center().y() + 2; y < cell.bottom(); ++y) {
                int run = 0;
                for (int x = cell.left(); x < cell.left() + textWidth + 8; ++x) {
                    const QColor c = shot.pixelColor(x, y);
                    run = (c == text || c == highlight) ? run + 1 : 0;
                    if (run > textWidth / 2)
                        return true;
                }
            }
            return false;
        };
        auto coloured = [&](int Row) {
            const QRect cell = view->visualRect(view->model()->index(Row, 0));
            for (int y = cell.top(); y <= cell.bottom(); ++y)
                for (int x = cell.left(); x < cell.right(); ++x)
                    if (shot.pixelColor(x, y) == highlight)
                        return true;
            return false;
        };
        QCOMPARE(underlined(0), hotUnderlined);
        QCOMPARE(underlined(1), coldUnderlined);
        QCOMPARE(coloured(0), hotColoured);
        QVERIFY(!coloured(1));
    }

    void HotTrackAnsweredNonZero_keepsTheRowFromHoverSelection()
    {
        TListControl list;
        AddColumn(list, "A", 100);
        for (int i = 0; i < 4; ++i)
            AddRow(list, "row", i);
        int tracked = 0;
        // The owner names row 3 as hot and refuses the hover selection.
        list.SetOwner([&](UINT Msg, WPARAM, LPARAM L) -> LRESULT {
            auto* nm = reinterpret_cast<NMLISTVIEW*>(L);
            if (Msg != WM_NOTIFY || nm->hdr.code != LVN_HOTTRACK)
                return 0;
            ++tracked;
            nm->iItem = 3;
            return 1;
        });
        list.SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_TRACKSELECT);
        list.SendMessage(LVM_SETHOVERTIME, 0, 30);
        list.resize(300, 200);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        QAbstractItemView* view = list.View();
        QTest::mouseMove(view->viewport(), QPoint(1, 1));
        QTest::mouseMove(view->viewport(), view->visualRect(view->model()->index(1, 0)).center());
        QTRY_COMPARE(list.View()->HotRow(), 3);
        QTest::qWait(120);
        QVERIFY(tracked > 0);
        QCOMPARE(list.SelectedRow(), -1);
    }

    void Activation_followsTheActivationStyles_data()
    {
        QTest::addColumn<UINT>("style");
        QTest::addColumn<QString>("gesture");
        QTest::addColumn<int>("activations");
        QTest::newRow("plain: a click") << 0u << "click" << 0;
        QTest::newRow("plain: a double-click") << 0u << "double" << 1;
        QTest::newRow("plain: Enter") << 0u << "enter" << 1;
        QTest::newRow("one-click: a click") << LVS_EX_ONECLICKACTIVATE << "click" << 1;
        QTest::newRow("two-click: a click on a row not selected")
            << LVS_EX_TWOCLICKACTIVATE << "click" << 0;
        QTest::newRow("two-click: a click on the selected row")
            << LVS_EX_TWOCLICKACTIVATE << "click selected" << 1;
        QTest::newRow("the catalogue's: a click")
            << (LVS_EX_ONECLICKACTIVATE | LVS_EX_TWOCLICKACTIVATE) << "click" << 1;
    }
    void Activation_followsTheActivationStyles()
    {
        QFETCH(UINT, style);
        QFETCH(QString, gesture);
        QFETCH(int, activations);
        TListControl list;
        AddColumn(list, "A", 100);
        for (int i = 0; i < 3; ++i)
            AddRow(list, "row", 10 + i);
        std::vector<NMITEMACTIVATE> heard;
        list.SetOwner([&](UINT Msg, WPARAM, LPARAM L) -> LRESULT {
            const auto* nm = reinterpret_cast<const NMITEMACTIVATE*>(L);
            if (Msg == WM_NOTIFY && nm->hdr.code == LVN_ITEMACTIVATE)
                heard.push_back(*nm);
            return 0;
        });
        list.SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, style);
        list.resize(300, 200);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        QApplication::setActiveWindow(&list);
        QAbstractItemView* view = list.View();
        const QPoint at = view->visualRect(view->model()->index(1, 0)).center();
        if (gesture == "click selected")
            list.SetSelectedRow(1);
        if (gesture == "double")
            QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
        else if (gesture == "enter") {
            list.SetSelectedRow(1);
            view->setFocus();
            QTest::keyClick(view, Qt::Key_Return);
        } else
            QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ShiftModifier, at);
        QCOMPARE(int(heard.size()), activations);
        if (activations == 0)
            return;
        QCOMPARE(heard[0].iItem, 1);
        QCOMPARE(heard[0].lParam, LPARAM(11));
        if (gesture.startsWith("click"))
            QCOMPARE(heard[0].uKeyFlags, LVKF_SHIFT);
    }

    void Selection_coversTheRowOnlyUnderFullRowSelect_data()
    {
        QTest::addColumn<bool>("fullRow");
        QTest::newRow("full row") << true;
        QTest::newRow("caption cell only") << false;
    }
    void Selection_coversTheRowOnlyUnderFullRowSelect()
    {
        QFETCH(bool, fullRow);
        TListControl list;
        ShowOneRow(list, fullRow ? LVS_EX_FULLROWSELECT : 0);
        list.SetSelectedRow(0);
        QAbstractItemView* view = list.View();
        const QImage shot = TestSupport::PaintedView(list);
        QVERIFY(!shot.isNull());
        const QRect caption = view->visualRect(view->model()->index(0, 0));
        const QRect second = view->visualRect(view->model()->index(0, 1));
        const QColor selectedColour = shot.pixelColor(caption.center());
        QVERIFY(selectedColour != view->palette().color(QPalette::Base));
        QCOMPARE(shot.pixelColor(second.center()) == selectedColour, fullRow);
    }

    void LongField_showsOnlyItsBeginning_butReadsBackWhole_data()
    {
        QTest::addColumn<int>("length");
        QTest::newRow("as long as a cell shows") << 4096;
        QTest::newRow("one more") << 4097;
        QTest::newRow("two megabytes") << 2'000'000;
    }
    void LongField_showsOnlyItsBeginning_butReadsBackWhole()
    {
        QFETCH(int, length);
        TListControl list;
        AddColumn(list, "Nazwa", 100);
        std::string name(std::size_t(length), 'a');
        name[0] = '\xa3'; // "Ł"
        name.back() = 'z';
        AddRow(list, name.c_str(), 1);
        const QString shown = list.View()->model()->index(0, 0).data().toString();
        if (length <= 4096) {
            QCOMPARE(shown.size(), length);
        } else {
            QCOMPARE(shown.size(), 4097);
            QVERIFY(shown.endsWith(QChar(0x2026)));
        }
        QVERIFY(shown.startsWith(QString::fromUtf8("Łaaa")));
        QCOMPARE(Text(list, 0, 0, length + 1), name);
    }

    void Sort_movesRowsByTheCallbackAndKeepsEqualRowsInOrder()
    {
        TListControl list;
        AddColumn(list, "N", 50);
        const LPARAM params[] = {31, 12, 35, 10, 33, 17};
        for (LPARAM p : params)
            AddRow(list, "x", p);
        const TListRow* first = list.Row(0);
        QVERIFY(list.SendMessage(LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(&ByTens)));
        QCOMPARE(Params(list), (std::vector<LPARAM>{12, 10, 17, 31, 35, 33}));
        QCOMPARE(list.Row(3), first); // moved, not copied
    }

    void Sort_keepsTheSelectedRowSelected()
    {
        TListControl list;
        AddColumn(list, "N", 50);
        for (LPARAM p : {30, 20, 10})
            AddRow(list, "x", p);
        list.SetSelectedRow(0);
        const TListRow* selected = list.Row(0);
        list.SendMessage(LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(&ByTens));
        QCOMPARE(list.SelectedRow(), 2);
        QCOMPARE(list.Row(list.SelectedRow()), selected);
    }

    void Sort_withAThrowingComparison_losesNoRow()
    {
        TListControl list;
        AddColumn(list, "N", 50);
        for (LPARAM p : {5, 3, 4, 1, 2})
            AddRow(list, "x", p);
        QVERIFY(list.SendMessage(LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(&Throwing)));
        auto params = Params(list);
        std::sort(params.begin(), params.end());
        QCOMPARE(params, (std::vector<LPARAM>{1, 2, 3, 4, 5}));
    }

    void Sort_startedFromInsideASort_isRefused()
    {
        TListControl list;
        AddColumn(list, "N", 50);
        for (LPARAM p : {3, 1, 2})
            AddRow(list, "x", p);
        g_Inner = &list;
        QVERIFY(list.SendMessage(LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(&Reentering)));
        g_Inner = nullptr;
        QVERIFY(!g_InnerResult);
        QCOMPARE(Params(list), (std::vector<LPARAM>{1, 2, 3}));
    }

    void HeaderClick_isNotifiedAsColumnClick()
    {
        TListControl list;
        TMessageSpy spy;
        list.SetOwner(std::ref(spy));
        ShowOneRow(list, 0);
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        QHeaderView* header = list.Header();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionPosition(1) + 20, header->height() / 2));
        QCOMPARE(spy.Count(LVN_COLUMNCLICK), 1);
        QCOMPARE(spy.SubItems.back(), 1);
    }

    void DividerDrag_startsTrackingThenChangesTheItem()
    {
        TListControl list;
        TMessageSpy spy;
        list.SetOwner(std::ref(spy));
        ShowOneRow(list, 0);
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        QHeaderView* header = list.Header();
        const QPoint divider(header->sectionPosition(0) + 80 - 1, header->height() / 2);
        QTest::mousePress(header->viewport(), Qt::LeftButton, {}, divider);
        QTest::mouseMove(header->viewport(), divider + QPoint(25, 0));
        QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, divider + QPoint(25, 0));
        QCOMPARE(spy.Count(HDN_BEGINTRACKA), 1);
        const auto begin = std::find(spy.Codes.begin(), spy.Codes.end(), HDN_BEGINTRACKA);
        QVERIFY(std::find(begin, spy.Codes.end(), HDN_ITEMCHANGEDA) != spy.Codes.end());
        QCOMPARE(spy.Count(LVN_COLUMNCLICK), 0); // a divider is no click on the item
        QVERIFY(list.ColumnWidth(0) > 80);
    }

    void DoubleClick_isNotified()
    {
        TListControl list;
        TMessageSpy spy;
        list.SetOwner(std::ref(spy));
        AddColumn(list, "A", 100);
        AddRow(list, "Abc", 1);
        list.resize(300, 200);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        const QRect r = list.View()->visualRect(list.View()->model()->index(0, 0));
        QTest::mouseDClick(list.View()->viewport(), Qt::LeftButton, {}, r.center());
        QCOMPARE(spy.Count(NM_DBLCLK), 1);
        QCOMPARE(list.SelectedRow(), 0);
    }

    void ColumnOrder_isSetAndReadBack()
    {
        TListControl list;
        for (const char* c : {"A", "B", "C"})
            AddColumn(list, c, 40);
        int order[] = {2, 0, 1};
        QVERIFY(list.SendMessage(LVM_SETCOLUMNORDERARRAY, 3, reinterpret_cast<LPARAM>(order)));
        int back[3] = {-1, -1, -1};
        QVERIFY(list.SendMessage(LVM_GETCOLUMNORDERARRAY, 3, reinterpret_cast<LPARAM>(back)));
        QCOMPARE(std::vector<int>(back, back + 3), (std::vector<int>{2, 0, 1}));
        int bad[] = {0, 0, 1};
        QVERIFY(!list.SendMessage(LVM_SETCOLUMNORDERARRAY, 3, reinterpret_cast<LPARAM>(bad)));
    }

    void SortInsideTheUpdateBracket_reachesTheViewAtItsClose()
    {
        TListControl list;
        AddColumn(list, "A", 100);
        AddRow(list, "b", 20);
        AddRow(list, "a", 10);
        QAbstractItemModel* model = list.View()->model();
        QCOMPARE(model->index(0, 0).data().toString(), QStringLiteral("b"));
        QSignalSpy reset(model, &QAbstractItemModel::modelReset);
        list.BeginUpdate();
        list.SendMessage(LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(&ByTens));
        QCOMPARE(reset.count(), 0);
        list.EndUpdate();
        QCOMPARE(reset.count(), 1); // the view hears of the new order
        QCOMPARE(model->index(0, 0).data().toString(), QStringLiteral("a"));
        QCOMPARE(model->rowCount(), 2);
    }

    void BulkInsertInsideTheUpdateBracket_showsEveryRow()
    {
        TListControl list;
        AddColumn(list, "A", 100);
        list.BeginUpdate();
        for (int i = 0; i < 1000; ++i)
            AddRow(list, "r", i);
        list.EndUpdate();
        QCOMPARE(list.View()->model()->rowCount(), 1000);
    }
    void RowsOfTwoListsMadeTogether_keepTheirListTextsAndImages()
    {
        // Rows of two lists made turn about share no room: each knows its own list, keeps its
        // texts while the other list's rows go, and its sub-item images stay with it, not
        // with its place.
        TCustomListView lists[2];
        std::vector<TListItem*> rows[2];
        constexpr int kRows = 40000; // enough rows for chunks of every size
        for (int i = 0; i < kRows; ++i)
            for (int l = 0; l < 2; ++l) {
                TListItem* row = lists[l].Items().Add();
                row->SetCaption(std::to_string(l) + ":" + std::to_string(i));
                rows[l].push_back(row);
            }
        lists[0].Items().Item(5)->SetSubItemImage(1, 3);
        lists[0].Items().Item(5)->SetSubItemImage(0, 2);
        std::mt19937 rng(3);
        std::vector<int> gone(kRows);
        for (int i = 0; i < kRows; ++i)
            gone[std::size_t(i)] = i;
        std::shuffle(gone.begin(), gone.end(), rng);
        // Rows of list 1 go in no order of their making, but for every hundredth.
        std::vector<TListItem*> kept;
        for (const int i : gone)
            if (i % 100 != 0)
                rows[1][std::size_t(i)]->Delete();
            else
                kept.push_back(rows[1][std::size_t(i)]);
        QCOMPARE(lists[1].Items().Count(), kRows / 100);
        for (TListItem* row : kept) {
            QCOMPARE(&row->Owner(), &lists[1]);
            QVERIFY(row->Caption().starts_with("1:"));
            QCOMPARE(lists[1].Items().Item(row->Index()), row);
        }
        for (int i = 0; i < kRows; i += 997) {
            TListItem* row = rows[0][std::size_t(i)];
            QCOMPARE(&row->Owner(), &lists[0]);
            QCOMPARE(row->Caption(), std::string_view("0:" + std::to_string(i)));
        }
        // Turned round, the rows change places; the images go with row 5.
        lists[0].Control().SendMessage(LVM_SORTITEMS, 0,
                                       reinterpret_cast<LPARAM>(+[](LPARAM A, LPARAM B, LPARAM) {
                                           const auto* a = reinterpret_cast<TListItem*>(A);
                                           const auto* b = reinterpret_cast<TListItem*>(B);
                                           return b->Caption().compare(a->Caption());
                                       }));
        QVERIFY(lists[0].Items().Item(5) != rows[0][5]);
        QCOMPARE(lists[0].Items().Item(5)->SubItemImage(1), -1);
        TListItem* moved = rows[0][5];
        QCOMPARE(moved->SubItemImage(1), 3);
        QCOMPARE(moved->SubItemImage(0), 2);
        moved->Delete();
        TListItem* fresh = lists[0].Items().Insert(0);
        QCOMPARE(fresh->SubItemImage(1), -1);
    }

    void Journal_accountsForEveryTextThatCameOrWent()
    {
        // Whatever happens to the rows, the texts before plus those that came, less those
        // that went, are the texts after; and a sort is told.
        TCustomListView list;
        TListItems& items = list.Items();
        for (int i = 0; i < 10; ++i)
            items.Add()->SetCaption(std::to_string(i));
        TRowTextJournal& journal = list.Control().TextJournal();
        std::mt19937 random(11);
        const auto pick = [&](int Count) { return int(random() % unsigned(Count)); };
        const auto texts = [&] {
            std::multiset<std::string> all;
            for (int i = 0; i < items.Count(); ++i)
                all.insert(Joined(items.Item(i)->Texts()));
            return all;
        };
        for (int round = 0; round < 60; ++round) {
            std::multiset<std::string> expected = texts();
            const std::uint64_t mark = journal.Start();
            bool sorted = false;
            for (int step = 0; step < 12; ++step) {
                const std::string word = std::string("w").append(std::to_string(random() % 50));
                const int count = items.Count();
                switch (pick(round % 10 == 9 ? 10 : 9)) {
                case 0:
                    if (step % 2)
                        items.Add()->SetCaption(word);
                    else
                        items.Add(TRowText::FromFields({word, "t"}));
                    break;
                case 1:
                    items.Insert(pick(count + 1))->SetSubItem(1, word);
                    break;
                case 2:
                    if (count > 0)
                        items.Delete(pick(count));
                    break;
                case 3:
                    if (count > 0)
                        items.Item(pick(count))->SetCaption(word);
                    break;
                case 4:
                    if (count > 0)
                        items.Item(pick(count))->AddSubItem(word);
                    break;
                case 5:
                    if (count > 0)
                        items.Item(pick(count))->ClearSubItems();
                    break;
                case 6:
                    if (count > 0) {
                        LVITEM item;
                        item.iSubItem = 2;
                        item.pszText = const_cast<char*>(word.c_str());
                        list.Control().SendMessage(LVM_SETITEMTEXTA, WPARAM(pick(count)),
                                                   reinterpret_cast<LPARAM>(&item));
                    }
                    break;
                case 7:
                    if (count > 0)
                        items.Item(pick(count))->SetTexts(TRowText::FromFields({word, word}));
                    break;
                case 8:
                    sorted |= list.Control().SortItems(
                        +[](LPARAM A, LPARAM B, LPARAM) {
                            return reinterpret_cast<TListItem*>(A)->Caption().compare(
                                reinterpret_cast<TListItem*>(B)->Caption());
                        },
                        0);
                    break;
                default:
                    items.Clear();
                    break;
                }
            }
            const auto changes = journal.Since(mark);
            QVERIFY(changes);
            bool reordered = false;
            for (const TRowTextJournal::TEntry& entry : *changes) {
                if (entry.Kind == TRowTextJournal::jkReordered) {
                    reordered = true;
                } else if (entry.Kind == TRowTextJournal::jkCame) {
                    expected.insert(Joined(entry.Text));
                } else {
                    const auto gone = expected.find(Joined(entry.Text));
                    QVERIFY2(gone != expected.end(), Joined(entry.Text).c_str());
                    expected.erase(gone);
                }
            }
            QCOMPARE(reordered, sorted);
            QCOMPARE(expected, texts());
        }
    }

    void Journal_tellsNothingItDoesNotKnow_data()
    {
        QTest::addColumn<int>("Case");
        QTest::newRow("never started") << 0;
        QTest::newRow("out of room") << 1;
        QTest::newRow("started again since") << 2;
    }
    void Journal_tellsNothingItDoesNotKnow()
    {
        QFETCH(int, Case);
        TCustomListView list;
        TRowTextJournal& journal = list.Control().TextJournal();
        std::uint64_t mark = 0;
        if (Case != 0)
            mark = journal.Start();
        const int changes = Case == 1 ? int(TRowTextJournal::kRoom) + 1 : 3;
        for (int i = 0; i < changes; ++i)
            list.Items().Add(); // one entry each
        if (Case == 2)
            journal.Start();
        QVERIFY(!journal.Since(mark));
        // Started again, it follows the rows once more.
        mark = journal.Start();
        list.Items().Add()->SetCaption("a");
        const auto since = journal.Since(mark);
        QVERIFY(since);
        QCOMPARE(since->size(), std::size_t(3)); // an empty row came; its texts went, then came
        QCOMPARE(since->back().Text.Caption(), std::string_view("a"));
    }
};

QTEST_MAIN(TestListControl)
#include "tst_ListControl.moc"
