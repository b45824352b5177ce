// Header images per column: what is written into the header items and when, what is left
// alone, and the column display order that the header's repaint depends on.
#include "ExtListView.h"
#include "ListControl.h"
#include "support/ControlTraffic.h"

#include <QtTest>

using namespace Win;
using TestSupport::TControlTraffic;

namespace {

QImage Square(QColor Colour)
{
    QImage image(16, 16, QImage::Format_ARGB32_Premultiplied);
    image.fill(Colour);
    return image;
}

// A loaded list with columns of the given alignments, painted by the platform, with a small
// image list of four pictures.
struct TFormattedList
{
    TImageList Images;
    TdfsExtListView List;
    explicit TFormattedList(std::initializer_list<TAlignment> Alignments)
    {
        for (QColor c : {Qt::red, Qt::green, Qt::blue, Qt::yellow})
            Images.Add(Square(c));
        List.BeginLoading();
        for (TAlignment a : Alignments) {
            TListColumn* column = List.Columns().Add();
            column->SetCaption("Kolumna");
            column->SetAlignment(a);
        }
        List.SetSmallImages(&Images);
        List.Loaded();
    }
    int HeaderFormat(int Index) const
    {
        HDITEM item;
        item.mask = HDI_FORMAT;
        List.Control().SendMessage(HDM_GETITEMA, WPARAM(Index), reinterpret_cast<LPARAM>(&item));
        return item.fmt;
    }
};

} // namespace

class TestColumnFormats : public QObject
{
    Q_OBJECT
private slots:
    void Format_isBuiltFromImageAndAlignment_data()
    {
        QTest::addColumn<int>("alignment");
        QTest::addColumn<int>("imageIndex");
        QTest::addColumn<int>("side");
        QTest::addColumn<uint>("mask");
        QTest::addColumn<int>("format");
        QTest::newRow("image 3 left, right-aligned")
            << int(taRightJustify) << 3 << int(ciaLeftOfText) << (LVCF_FMT | LVCF_IMAGE) << 0x801;
        QTest::newRow("image 0 right, centred")
            << int(taCenter) << 0 << int(ciaRightOfText) << (LVCF_FMT | LVCF_IMAGE) << 0x1802;
        QTest::newRow("no image, left-aligned")
            << int(taLeftJustify) << -1 << int(ciaLeftOfText) << LVCF_FMT << 0;
        // An index past the pictures is written as it is; the header then shows none.
        QTest::newRow("image beyond the list")
            << int(taLeftJustify) << 9 << int(ciaRightOfText) << (LVCF_FMT | LVCF_IMAGE)
            << 0x1800;
    }
    void Format_isBuiltFromImageAndAlignment()
    {
        QFETCH(int, alignment);
        QFETCH(int, imageIndex);
        QFETCH(int, side);
        QFETCH(uint, mask);
        QFETCH(int, format);
        TFormattedList f{TAlignment(alignment)};
        TdfsExtListColumn* entry = f.List.ColumnsFormat().Add();
        entry->SetImageAlignment(TColumnImageAlign(side));
        TControlTraffic traffic(f.List);
        entry->SetImageIndex(imageIndex == -1 ? 0 : imageIndex); // a change, so it is applied
        entry->SetImageIndex(imageIndex);
        QVERIFY(!traffic.ColumnsSet.empty());
        const LVCOLUMN& sent = traffic.ColumnsSet.back().Column;
        QCOMPARE(traffic.ColumnsSet.back().Index, 0);
        QCOMPARE(sent.mask, mask);
        QCOMPARE(sent.fmt, format);
        if (mask & LVCF_IMAGE)
            QCOMPARE(sent.iImage, imageIndex);
        QCOMPARE(sent.pszText, nullptr); // caption and width are never touched
        QCOMPARE(sent.cx, 0);
        // The platform's header item follows the column format.
        QCOMPARE(bool(f.HeaderFormat(0) & HDF_IMAGE), bool(format & LVCFMT_IMAGE));
        QCOMPARE(f.List.Columns().Items(0)->Caption(), std::string("Kolumna"));
    }

    void Formats_areWrittenForColumnsWithAnEntryOnly()
    {
        TFormattedList f{taLeftJustify, taLeftJustify, taLeftJustify, taLeftJustify,
                         taLeftJustify};
        TdfsExtListColumns formats(nullptr);
        formats.Add()->SetImageIndex(1);
        formats.Add()->SetImageIndex(2);
        TControlTraffic traffic(f.List);
        f.List.SetColumnsFormat(formats);
        QVERIFY(&f.List.ColumnsFormat() != &formats); // the list keeps its own entries
        QCOMPARE(f.List.ColumnsFormat().Count(), 2);
        traffic.ColumnsSet.clear();
        f.List.ApplyColumnFormats();
        QCOMPARE(traffic.ColumnsWritten(), (std::vector<int>{0, 1}));
    }

    void Formats_areLeftAloneWhenNothingAsksForThem_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::newRow("no entries (the catalogue)") << "empty";
        QTest::newRow("sort arrows shown") << "arrows";
        QTest::newRow("header drawn by the user") << "hook";
        QTest::newRow("no image list") << "no images";
        QTest::newRow("value unchanged") << "same";
    }
    void Formats_areLeftAloneWhenNothingAsksForThem()
    {
        QFETCH(QString, situation);
        TFormattedList f{taLeftJustify, taCenter};
        if (situation != "empty")
            f.List.ColumnsFormat().Add()->SetImageIndex(2);
        if (situation == "arrows")
            f.List.SetShowSortArrows(true);
        if (situation == "hook")
            f.List.SetOnDrawHeader([](QWidget*, TCanvas&, int, const TRect&, bool, bool&) {});
        if (situation == "no images")
            f.List.SetSmallImages(nullptr);
        TControlTraffic traffic(f.List);
        if (situation == "same") {
            f.List.ColumnsFormat().Items(0)->SetImageIndex(2);
            QVERIFY(traffic.ColumnsSet.empty());
            return;
        }
        if (situation != "empty")
            f.List.ColumnsFormat().Items(0)->SetImageIndex(3);
        f.Images.Add(Square(Qt::black)); // the image list's content changes
        f.List.Columns().Items(1)->SetWidth(80);
        f.List.RecreateWnd();
        QVERIFY(traffic.ColumnsSet.empty());
    }

    void Formats_followEachTrigger_data()
    {
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<std::vector<int>>("written");
        QTest::newRow("image list content") << "images" << std::vector<int>{0, 1, 2};
        QTest::newRow("sort arrows switched off") << "arrows" << std::vector<int>{0, 1, 2};
        QTest::newRow("entry added") << "add" << std::vector<int>{0, 1, 2};
        QTest::newRow("batch of changes") << "batch" << std::vector<int>{0, 1, 2};
        QTest::newRow("divider of item 1 pressed") << "track" << std::vector<int>{1};
    }
    void Formats_followEachTrigger()
    {
        QFETCH(QString, trigger);
        QFETCH(std::vector<int>, written);
        TFormattedList f{taLeftJustify, taLeftJustify, taLeftJustify};
        for (int i = 0; i < 3; ++i)
            f.List.ColumnsFormat().Add()->SetImageIndex(i);
        TControlTraffic traffic(f.List);
        if (trigger == "images") {
            f.Images.Add(Square(Qt::black));
        } else if (trigger == "arrows") {
            f.List.SetShowSortArrows(false);
        } else if (trigger == "add") {
            f.List.ColumnsFormat().Add();
        } else if (trigger == "batch") {
            f.List.ColumnsFormat().BeginUpdate();
            f.List.ColumnsFormat().Items(0)->SetImageIndex(3);
            f.List.ColumnsFormat().Items(2)->SetImageAlignment(ciaLeftOfText);
            QVERIFY(traffic.ColumnsSet.empty()); // nothing while the batch is open
            f.List.ColumnsFormat().EndUpdate();
        } else {
            f.List.resize(400, 100);
            f.List.show();
            QVERIFY(QTest::qWaitForWindowExposed(&f.List));
            QHeaderView* header = f.List.Control().Header();
            const int divider = header->sectionViewportPosition(1) + header->sectionSize(1) - 1;
            QTest::mousePress(header->viewport(), Qt::LeftButton, {},
                              QPoint(divider, header->height() / 2));
            QTest::mouseRelease(header->viewport(), Qt::LeftButton, {},
                                QPoint(divider, header->height() / 2));
        }
        QCOMPARE(traffic.ColumnsWritten(), written);
    }

    void DeletingTheLastEntry_leavesItsHeaderImage()
    {
        TFormattedList f{taLeftJustify, taLeftJustify};
        f.List.ColumnsFormat().Add()->SetImageIndex(0);
        f.List.ColumnsFormat().Add()->SetImageIndex(1);
        QVERIFY(f.HeaderFormat(1) & HDF_IMAGE);
        f.List.ColumnsFormat().Delete(1);
        QVERIFY(f.HeaderFormat(1) & HDF_IMAGE);
        QVERIFY(f.HeaderFormat(0) & HDF_IMAGE);
    }

    void EntriesPastTheColumns_writeNothing()
    {
        TFormattedList f{taLeftJustify};
        for (int i = 0; i < 3; ++i)
            f.List.ColumnsFormat().Add()->SetImageIndex(i);
        TControlTraffic traffic(f.List);
        f.List.ApplyColumnFormat(2); // no such column: nothing to format, and no fault
        f.List.ApplyColumnFormat(-1);
        QVERIFY(traffic.ColumnsSet.empty());
    }

    void Assignment_copiesEntriesAndRefusesOtherItems()
    {
        TdfsExtListColumns source(nullptr);
        TdfsExtListColumn* s = source.Add();
        s->SetImageIndex(4);
        s->SetImageAlignment(ciaLeftOfText);
        TdfsExtListColumns target(nullptr);
        target.Add();
        target.Add();
        target.Assign(source);
        QCOMPARE(target.Count(), 1);
        QCOMPARE(target.Items(0)->ImageIndex(), 4);
        QCOMPARE(target.Items(0)->ImageAlignment(), ciaLeftOfText);

        struct TOther final : TCollectionItem
        {
        } other;
        QVERIFY_THROWS_EXCEPTION(EConvertError, target.Items(0)->Assign(other));
    }

    void ImageListGoingAway_leavesTheListUsable()
    {
        auto images = std::make_unique<TImageList>();
        images->Add(Square(Qt::red));
        TdfsExtListView list;
        list.Columns().Add()->SetCaption("A");
        list.SetSmallImages(images.get());
        list.ColumnsFormat().Add()->SetImageIndex(0);
        list.Loaded();
        images.reset();
        QCOMPARE(list.SmallImages(), nullptr);
        QCOMPARE(list.Control().SmallImages(), nullptr);
        list.ColumnsFormat().Items(0)->SetImageIndex(-1); // applies nothing, reaches nothing
        list.resize(200, 100);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
    }

    void PlatformHeader_drawsTheImageOnTheChosenSide_data()
    {
        QTest::addColumn<int>("side");
        QTest::newRow("left of the caption") << int(ciaLeftOfText);
        QTest::newRow("right of the caption") << int(ciaRightOfText);
    }
    void PlatformHeader_drawsTheImageOnTheChosenSide()
    {
        QFETCH(int, side);
        TFormattedList f{taLeftJustify};
        f.List.Columns().Items(0)->SetWidth(200);
        TdfsExtListColumn* entry = f.List.ColumnsFormat().Add();
        entry->SetImageAlignment(TColumnImageAlign(side));
        entry->SetImageIndex(2); // blue
        f.List.resize(300, 100);
        f.List.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.List));
        QHeaderView* header = f.List.Control().Header();
        const QImage shot = header->viewport()->grab().toImage();
        int blueFrom = -1;
        for (int x = 0; x < 200 && blueFrom < 0; ++x)
            if (shot.pixelColor(x, header->height() / 2) == QColor(Qt::blue))
                blueFrom = x;
        QVERIFY(blueFrom >= 0);
        const int captionWidth = header->fontMetrics().horizontalAdvance("Kolumna");
        if (side == ciaLeftOfText)
            QVERIFY(blueFrom < 16);
        else
            QVERIFY(blueFrom >= captionWidth);
    }

    void OrderAfterADrag_movesPositionsAndTheSortedItemsRepaint()
    {
        TdfsExtListView list;
        list.BeginLoading();
        for (const char* c : {"Nazwa", "Rodzaj", "Ilosc"})
            list.Columns().Add()->SetCaption(c);
        list.SetExtendedStyles({lvxHeaderDragDrop});
        list.Loaded();
        list.resize(400, 150);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        QHeaderView* header = list.Control().Header();
        const int y = header->height() / 2;
        // Drag column 2 by its middle to the very left.
        const QPoint from(header->sectionViewportPosition(2) + header->sectionSize(2) / 2, y);
        QTest::mousePress(header->viewport(), Qt::LeftButton, {}, from);
        for (int x = from.x(); x > 2; x -= 10)
            QTest::mouseMove(header->viewport(), QPoint(x, y));
        QTest::mouseMove(header->viewport(), QPoint(2, y));
        QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, QPoint(2, y));
        int order[3] = {-1, -1, -1};
        QVERIFY(list.GetColumnOrder(3, order));
        QCOMPARE(std::vector<int>(order, order + 3), (std::vector<int>{2, 0, 1}));
        QCOMPARE(list.PositionOfColumn(2), 0);
        QCOMPARE(list.PositionOfColumn(0), 1);
        QCOMPARE(list.ColumnAtPosition(0), list.Columns().Items(2));
        QCOMPARE(list.PositionOfColumn(3), 0);
        QCOMPARE(list.ColumnAtPosition(3), nullptr);

        // The repaint of column 0's item lands where column 0 now stands.
        struct TPaints : QObject
        {
            QRegion Painted;
            bool eventFilter(QObject*, QEvent* Event) override
            {
                if (Event->type() == QEvent::Paint)
                    Painted += static_cast<QPaintEvent*>(Event)->region();
                return false;
            }
        } paints;
        QCoreApplication::processEvents();
        header->viewport()->installEventFilter(&paints);
        list.InvalidateHeaderItem(0);
        QTRY_VERIFY(!paints.Painted.isEmpty());
        const QRect now(header->sectionViewportPosition(0), 0, header->sectionSize(0),
                        header->height());
        QVERIFY2(now.contains(paints.Painted.boundingRect()),
                 qPrintable(QStringLiteral("painted %1,%2 %3x%4")
                                .arg(paints.Painted.boundingRect().x())
                                .arg(paints.Painted.boundingRect().y())
                                .arg(paints.Painted.boundingRect().width())
                                .arg(paints.Painted.boundingRect().height())));
        header->viewport()->removeEventFilter(&paints);
    }

    void Order_survivesWindowRecreation()
    {
        TdfsExtListView list;
        for (const char* c : {"A", "B", "C"})
            list.Columns().Add()->SetCaption(c);
        TControlTraffic traffic(list);
        const int order[3] = {1, 2, 0};
        list.SetColumnOrder(3, order);
        QVERIFY(traffic.Of(LVM_SETCOLUMNORDERARRAY).empty()); // no window: only kept
        int read[3] = {9, 9, 9};
        QVERIFY(list.GetColumnOrder(3, read)); // from the cache
        QCOMPARE(std::vector<int>(read, read + 3), (std::vector<int>{1, 2, 0}));
        list.Loaded();
        const auto sent = traffic.Of(LVM_SETCOLUMNORDERARRAY);
        QCOMPARE(sent.size(), std::size_t(1));
        // Sent after the styles.
        std::size_t styles = 0, orderAt = 0;
        for (std::size_t i = 0; i < traffic.Sent.size(); ++i) {
            if (traffic.Sent[i].Msg == LVM_SETEXTENDEDLISTVIEWSTYLE)
                styles = i;
            if (traffic.Sent[i].Msg == LVM_SETCOLUMNORDERARRAY)
                orderAt = i;
        }
        QVERIFY(orderAt > styles);
        list.RecreateWnd();
        QCOMPARE(list.PositionOfColumn(0), 2);
        QCOMPARE(list.ColumnAtPosition(0), list.Columns().Items(1));
    }

    void ReadingTheOrderWithoutWindowOrCache_isRefused()
    {
        TdfsExtListView list;
        list.Columns().Add();
        int read[1] = {7};
        QVERIFY(!list.GetColumnOrder(1, read));
        QCOMPARE(read[0], 7);
    }
};

QTEST_MAIN(TestColumnFormats)
#include "tst_ColumnFormats.moc"
