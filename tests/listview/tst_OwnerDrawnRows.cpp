// Rows painted by the list itself: their height, the handlers that take part, the selection
// with and without the focus, and the cells by column position.
#include "ExtListView.h"
#include "ListControl.h"

#include <QtTest>

#include <map>
#include <set>

using namespace Win;

namespace {

// A shown owner-drawn list with five columns of 60 pixels and rows of the given sub-item
// counts; the window is active and the list has the focus when Focused.
struct TOwnerDrawn
{
    TdfsExtListView List;
    explicit TOwnerDrawn(std::initializer_list<int> SubItems, TLVExtendedStyles Styles = {},
                         TImageList* Images = nullptr)
    {
        List.BeginLoading();
        List.SetStyle(lvOwnerDrawFixed);
        List.SetExtendedStyles(Styles);
        List.SetSmallImages(Images);
        for (int c = 0; c < 5; ++c) {
            TListColumn* column = List.Columns().Add();
            column->SetCaption("K");
            column->SetWidth(60);
        }
        List.Loaded();
        for (const int count : SubItems) {
            TListItem* item = List.Items().Add();
            item->SetCaption("x");
            for (int s = 0; s < count; ++s)
                item->AddSubItem("y");
        }
        List.resize(400, 200);
        List.show();
    }
    QAbstractItemView* View() { return List.Control().View(); }
    void Focus()
    {
        QApplication::setActiveWindow(&List);
        View()->setFocus();
        QTRY_VERIFY(View()->hasFocus());
    }
    QColor PixelOf(int Row, int X)
    {
        const QImage shot = View()->viewport()->grab().toImage();
        const QRect row = View()->visualRect(View()->model()->index(Row, 0));
        return shot.pixelColor(X, row.top() + row.height() / 2);
    }
    QColor System(TSystemColor Colour) { return SystemColor(Colour, List.palette()); }
    // Just right of a caption's text, inside the caption's highlight.
    int InHighlight() { return 4 + QFontMetrics(List.font()).horizontalAdvance("x") + 2; }
};

} // namespace

class TestOwnerDrawnRows : public QObject
{
    Q_OBJECT
private slots:
    void RowHeight_isTheTextOrTheImage_data()
    {
        QTest::addColumn<int>("imageHeight");
        QTest::addColumn<int>("measured"); // what the handler sets; 0 for no handler
        QTest::addColumn<int>("height");   // -1: a line of the list's font and one pixel
        QTest::newRow("text") << 0 << 0 << -1;
        QTest::newRow("16-pixel images") << 16 << 0 << 16;
        QTest::newRow("the handler's") << 0 << 31 << 31;
    }
    void RowHeight_isTheTextOrTheImage()
    {
        QFETCH(int, imageHeight);
        QFETCH(int, measured);
        QFETCH(int, height);
        TImageList images(16, imageHeight > 0 ? imageHeight : 16);
        TdfsExtListView list;
        QFont font = list.font();
        font.setPixelSize(11); // a line shorter than the images
        list.setFont(font);
        list.BeginLoading();
        list.SetStyle(lvOwnerDrawFixed);
        if (imageHeight > 0)
            list.SetSmallImages(&images);
        if (measured > 0)
            list.OnMeasureItem = [measured](QWidget*, int& Height) { Height = measured; };
        list.Columns().Add();
        list.Loaded();
        const int expected = height < 0 ? QFontMetrics(font).height() + 1 : height;
        QVERIFY(QFontMetrics(font).height() < 16);
        QCOMPARE(list.Control().OwnerDrawnRowHeight(), expected);
        QCOMPARE(list.Control().View()->RowHeight(), expected);
    }

    void NewFont_measuresTheRowsAgain()
    {
        TOwnerDrawn o({0});
        QFont font = o.List.font();
        font.setPixelSize(30);
        o.List.setFont(font);
        QCOMPARE(o.List.Control().View()->RowHeight(), QFontMetrics(font).height() + 1);
    }

    void DrawItemHandler_withoutDefaultDrawing_paintsAlone()
    {
        TOwnerDrawn o({1, 1});
        int rows = 0, cells = 0, after = 0;
        o.List.OnDrawItem = [&](QWidget*, TCanvas& Canvas, int, const TRect& Rect, TOwnerDrawState,
                                bool& DefaultDrawing, bool&) {
            ++rows;
            QVERIFY(!DefaultDrawing);
            Canvas.BrushColor = QColor(10, 20, 30);
            Canvas.FillRect(Rect);
        };
        o.List.OnDrawSubItem = [&](QWidget*, TCanvas&, int, int, const TRect&, TOwnerDrawState,
                                   bool&) { ++cells; };
        o.List.OnAfterDefaultDrawItem = [&](QWidget*, TCanvas&, int, const TRect&,
                                            TOwnerDrawState) { ++after; };
        QVERIFY(QTest::qWaitForWindowExposed(&o.List));
        QCOMPARE(o.PixelOf(1, 30), QColor(10, 20, 30));
        QVERIFY(rows >= 2);
        QCOMPARE(cells, 0);
        QCOMPARE(after, 0);
    }

    void SelectedRowWithoutFocus_showsOrHidesItsSelection_data()
    {
        QTest::addColumn<bool>("hide");
        QTest::newRow("hidden") << true;
        QTest::newRow("grey") << false;
    }
    void SelectedRowWithoutFocus_showsOrHidesItsSelection()
    {
        QFETCH(bool, hide);
        TOwnerDrawn o({1, 1});
        o.List.SetHideSelection(hide);
        o.List.Control().SetSelectedRow(0);
        QVERIFY(QTest::qWaitForWindowExposed(&o.List));
        o.View()->clearFocus();
        QVERIFY(!o.View()->hasFocus());
        const QColor selected = o.PixelOf(0, o.InHighlight());
        QCOMPARE(selected == o.PixelOf(1, o.InHighlight()), hide);
        if (!hide)
            QCOMPARE(selected, o.System(clBtnFace));
    }

    void FullRowSelect_decidesWhetherTheOtherCellsShowTheSelection_data()
    {
        QTest::addColumn<bool>("fullRow");
        QTest::newRow("caption cell only") << false;
        QTest::newRow("full row") << true;
    }
    void FullRowSelect_decidesWhetherTheOtherCellsShowTheSelection()
    {
        QFETCH(bool, fullRow);
        TOwnerDrawn o({3}, fullRow ? TLVExtendedStyles{lvxFullRowSelect} : TLVExtendedStyles{});
        QVERIFY(QTest::qWaitForWindowExposed(&o.List));
        o.Focus();
        o.List.Control().SetSelectedRow(0);
        QCOMPARE(o.PixelOf(0, o.InHighlight()), o.System(clHighlight));
        // Inside the second column, right of its text.
        QCOMPARE(o.PixelOf(0, 110), fullRow ? o.System(clHighlight) : o.System(clWindow));
    }

    void Hooks_receiveTheRowItsRectangleAndState_data()
    {
        QTest::addColumn<bool>("selected");
        QTest::addColumn<bool>("focused");
        QTest::addColumn<uint>("state"); // of row 1
        QTest::newRow("selected, the list focused") << true << true << uint(odSelected | odFocused);
        QTest::newRow("selected, not focused") << true << false << uint(odSelected);
        QTest::newRow("not selected, the focus on it") << false << true << uint(odFocused);
    }
    void Hooks_receiveTheRowItsRectangleAndState()
    {
        QFETCH(bool, selected);
        QFETCH(bool, focused);
        QFETCH(uint, state);
        TOwnerDrawn o({4, 4, 4});
        struct TCall
        {
            TRect Rect;
            TOwnerDrawState State;
        };
        std::map<int, TCall> rows, after;
        std::map<std::pair<int, int>, TRect> cells;
        o.List.OnDrawItem = [&](QWidget* Control, TCanvas&, int Index, const TRect& Rect,
                                TOwnerDrawState State, bool& DefaultDrawing, bool&) {
            QCOMPARE(Control, &o.List);
            rows[Index] = {Rect, State};
            DefaultDrawing = true;
        };
        o.List.OnDrawSubItem = [&](QWidget*, TCanvas&, int Index, int SubItem, const TRect& Rect,
                                   TOwnerDrawState, bool& DefaultDrawing) {
            cells[{Index, SubItem}] = Rect;
            DefaultDrawing = true;
        };
        o.List.OnAfterDefaultDrawItem = [&](QWidget*, TCanvas&, int Index, const TRect& Rect,
                                            TOwnerDrawState State) {
            after[Index] = {Rect, State};
        };
        QVERIFY(QTest::qWaitForWindowExposed(&o.List));
        o.Focus();
        if (selected)
            o.List.Control().SetSelectedRow(1);
        else
            o.View()->selectionModel()->setCurrentIndex(o.View()->model()->index(1, 0),
                                                        QItemSelectionModel::Clear);
        if (!focused)
            o.View()->clearFocus();
        rows.clear();
        o.View()->viewport()->repaint();
        const int height = o.List.Control().View()->RowHeight();
        QVERIFY(rows.count(1));
        const TRect row = rows[1].Rect;
        QCOMPARE(row.Top, height);
        QCOMPARE(row.Height(), height);
        QCOMPARE(row.Left, 0);
        QCOMPARE(uint(rows[1].State & (odSelected | odFocused)), state);
        QCOMPARE(uint(after[1].State), uint(rows[1].State));
        QCOMPARE(after[1].Rect.Top, row.Top);
        // Each cell in its column of 60 pixels: from 4 past the cell before, which ends 2 short
        // of its column's edge, to 2 short of its own column's edge; one row high.
        for (int sub = 0; sub < 4; ++sub) {
            const TRect cell = cells[{1, sub}];
            QCOMPARE(cell.Left, 62 + 60 * sub);
            QCOMPARE(cell.Right, 118 + 60 * sub);
            QCOMPARE(cell.Top, row.Top);
            QCOMPARE(cell.Height(), height);
        }
    }

    void VirtualOwnerDrawnList_asksForAndPaintsTheShownRowsOnly()
    {
        TdfsExtListView list;
        list.BeginLoading();
        list.SetStyle(lvOwnerDrawFixed);
        for (int c = 0; c < 2; ++c)
            list.Columns().Add()->SetWidth(80);
        list.SetVirtualMode(true);
        std::set<int> asked;
        list.OnVMGetItemInfo = [&](QObject*, int Item, int, TLVVMMaskItems&, int&, LPARAM&, int&,
                                   int&, int&, std::string& Text) {
            asked.insert(Item);
            Text = "r" + std::to_string(Item);
        };
        std::set<int> painted;
        list.OnDrawSubItem = [&](QWidget*, TCanvas&, int Index, int, const TRect&, TOwnerDrawState,
                                 bool& DefaultDrawing) {
            painted.insert(Index);
            DefaultDrawing = true;
        };
        list.SetVirtualItemCount(1'000'000);
        list.Loaded();
        list.resize(300, 200);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        list.Control().View()->viewport()->repaint();
        const int shown = list.Control().View()->RowsShown();
        QVERIFY(!painted.empty());
        QVERIFY(int(painted.size()) <= shown + 1);
        QVERIFY(int(asked.size()) <= shown + 2);
        QCOMPARE(*painted.begin(), 0);
    }

    void ShortRow_paintsItsCellsOnly()
    {
        TOwnerDrawn o({2});
        std::vector<int> cells;
        o.List.OnDrawSubItem = [&](QWidget*, TCanvas&, int Index, int SubItem, const TRect&,
                                   TOwnerDrawState, bool& DefaultDrawing) {
            if (Index == 0)
                cells.push_back(SubItem);
            DefaultDrawing = true;
        };
        QVERIFY(QTest::qWaitForWindowExposed(&o.List));
        o.View()->viewport()->repaint();
        QVERIFY(cells.size() >= 3);
        QCOMPARE(std::vector<int>(cells.begin(), cells.begin() + 3), (std::vector<int>{-1, 0, 1}));
        // The last two columns keep the row's fill.
        QCOMPARE(o.PixelOf(0, 270), o.List.Color());
    }
};

QTEST_MAIN(TestOwnerDrawnRows)
#include "tst_OwnerDrawnRows.moc"
