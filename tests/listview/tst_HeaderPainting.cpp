// The header painted by the list: where the caption, image and sort arrow of an item go, the
// arrow pictures pixel by pixel, and the owner drawing switched on for every header item.
#include "Canvas.h"
#include "ExtListView.h"
#include "HeaderItemLayout.h"
#include "ListControl.h"
#include "SortArrows.h"

#include <QtTest>

using namespace Win;

Q_DECLARE_METATYPE(Win::TRect)

namespace {

// Captions measure 6 pixels per character and 10 high; DT_END_ELLIPSIS keeps them inside.
THeaderItemInput Input(int CaptionLength, TAlignment Alignment)
{
    THeaderItemInput in;
    in.Rect = {100, 0, 200, 20};
    in.Alignment = Alignment;
    in.Measure = [CaptionLength](const TRect& R, unsigned Flags) {
        TRect t = R;
        int width = CaptionLength * 6;
        if (Flags & DT_END_ELLIPSIS)
            width = std::min(width, R.Width());
        t.Right = t.Left + width;
        t.Bottom = t.Top + 10;
        return t;
    };
    return in;
}

std::unique_ptr<TdfsExtListView> ShownList(TAutoColumnSort Sort)
{
    auto list = std::make_unique<TdfsExtListView>();
    list->BeginLoading();
    for (const char* caption : {"Nazwa", "Rodzaj", "Ilosc"})
        list->Columns().Add()->SetCaption(caption);
    list->SetShowSortArrows(true);
    list->SetAutoColumnSort(Sort);
    list->Loaded();
    list->resize(400, 200);
    list->show();
    return list;
}

} // namespace

class TestHeaderPainting : public QObject
{
    Q_OBJECT
private slots:
    void Layout_placesCaptionImageAndArrow_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("alignment");
        QTest::addColumn<bool>("pressed");
        QTest::addColumn<bool>("extended");
        QTest::addColumn<int>("image"); // 0 none, 1 left, 2 right
        QTest::addColumn<TRect>("caption");
        QTest::addColumn<QPoint>("arrow");   // (-1,-1) for none
        QTest::addColumn<QPoint>("picture"); // (-1,-1) for none
        const QPoint none(-1, -1);
        // Rect 100..200 shrinks to 102..198; a left caption starts 4 further in.
        QTest::newRow("left, arrow 8 right of the caption")
            << 5 << int(taLeftJustify) << false << true << 0 << TRect{106, 2, 136, 12}
            << QPoint(144, 6) << none;
        QTest::newRow("long caption cut before the arrow goes")
            << 40 << int(taLeftJustify) << false << true << 0 << TRect{106, 2, 182, 12}
            << QPoint(190, 6) << none;
        QTest::newRow("pressed: one pixel right and down")
            << 5 << int(taLeftJustify) << true << true << 0 << TRect{108, 4, 138, 14}
            << QPoint(146, 7) << none;
        QTest::newRow("right-justified, arrow still right")
            << 5 << int(taRightJustify) << false << true << 0 << TRect{148, 2, 178, 18}
            << QPoint(186, 6) << none;
        QTest::newRow("centred") << 5 << int(taCenter) << false << true << 0
                                 << TRect{127, 2, 157, 18} << QPoint(165, 6) << none;
        QTest::newRow("image left of the caption")
            << 5 << int(taLeftJustify) << false << true << 1 << TRect{126, 2, 156, 12}
            << QPoint(164, 6) << QPoint(106, 4);
        QTest::newRow("image right of the caption, arrow after it")
            << 5 << int(taLeftJustify) << false << true << 2 << TRect{106, 2, 136, 12}
            << QPoint(160, 6) << QPoint(140, 4);
        QTest::newRow("sorting level: right-justified, arrow left")
            << 5 << int(taRightJustify) << false << false << 0 << TRect{164, 2, 194, 18}
            << QPoint(148, 6) << none;
    }
    void Layout_placesCaptionImageAndArrow()
    {
        QFETCH(int, length);
        QFETCH(int, alignment);
        QFETCH(bool, pressed);
        QFETCH(bool, extended);
        QFETCH(int, image);
        QFETCH(TRect, caption);
        QFETCH(QPoint, arrow);
        QFETCH(QPoint, picture);
        THeaderItemInput in = Input(length, TAlignment(alignment));
        in.Pressed = pressed;
        in.Extended = extended;
        in.Arrow = true;
        in.ArrowSize = QSize(8, 8);
        if (image) {
            in.ImageSize = QSize(16, 12);
            in.ImageRight = image == 2;
        }
        const THeaderItemLayout out = LayOutHeaderItem(in);
        QVERIFY(out.Caption);
        QCOMPARE(*out.Caption, caption);
        QCOMPARE(out.Arrow.value_or(QPoint(-1, -1)), arrow);
        QCOMPARE(out.Image.value_or(QPoint(-1, -1)), picture);
        QVERIFY(out.CaptionFlags & DT_END_ELLIPSIS);
    }

    void Layout_dropsTheArrowOnlyWhenNoRoomIsLeft()
    {
        THeaderItemInput in = Input(5, taLeftJustify);
        in.Rect = {0, 0, 20, 20};
        in.Arrow = true;
        in.ArrowSize = QSize(8, 8);
        QVERIFY(!LayOutHeaderItem(in).Arrow);
        in.ValidColumn = false;
        const THeaderItemLayout out = LayOutHeaderItem(in);
        QVERIFY(!out.Caption);
        QCOMPARE(out.Fill, (TRect{2, 2, 18, 18}));
    }

    void Arrows_arePaintedPixelByPixel_data()
    {
        QTest::addColumn<bool>("reverse");
        QTest::newRow("as they are") << false;
        QTest::newRow("reversed") << true;
    }
    void Arrows_arePaintedPixelByPixel()
    {
        QFETCH(bool, reverse);
        QFont font;
        font.setPixelSize(12);
        const int h = QFontMetrics(font).height();
        const int s = (h - 6) % 2 ? h - 5 : h - 6;
        QVERIFY(s > 2);
        const int half = s / 2;
        QPalette palette;
        palette.setColor(QPalette::Button, Qt::gray);
        palette.setColor(QPalette::Dark, Qt::black);
        palette.setColor(QPalette::Light, Qt::white);
        TBitmap ascending;
        TBitmap descending;
        SortArrows::Paint(ascending, descending, font, palette, reverse);
        const TBitmap& up = reverse ? descending : ascending;
        const TBitmap& down = reverse ? ascending : descending;
        QCOMPARE(up.Width(), s);
        QCOMPARE(down.Height(), s);
        auto at = [](const TBitmap& B, int X, int Y) { return B.Image().pixelColor(X, Y); };
        // Down: a highlight top edge, the shadowed right edge ending in (s-1, 0).
        QCOMPARE(at(down, s - 1, 0), QColor(Qt::black));
        QCOMPARE(at(down, 0, 0), QColor(Qt::white));
        QCOMPARE(at(down, s - 2, 0), QColor(Qt::white));
        QCOMPARE(at(down, half - 1, s - 2), QColor(Qt::white));
        QCOMPARE(at(down, half, s - 2), QColor(Qt::black));
        QCOMPARE(at(down, 0, s - 1), QColor(Qt::gray));
        // Up: shadowed bottom edge, the apex left in the face colour.
        for (int x = 0; x < s; ++x)
            QCOMPARE(at(up, x, s - 1), QColor(Qt::black));
        QCOMPARE(at(up, half, 0), QColor(Qt::gray));
        QCOMPARE(at(up, half - 1, 0), QColor(Qt::gray)); // a line leaves out its end
        QCOMPARE(at(up, 0, 0), QColor(Qt::gray));
    }

    void Arrows_needATallEnoughFont()
    {
        QFont font;
        font.setPixelSize(3);
        if (QFontMetrics(font).height() > 6)
            QSKIP("this system has no font that small");
        TBitmap up;
        TBitmap down;
        SortArrows::Paint(up, down, font, QPalette(), false);
        QCOMPARE(up.Width(), 0);
        QCOMPARE(down.Width(), 0);
    }

    void SortArrows_makeEveryHeaderItemOwnerDrawn()
    {
        auto list = ShownList(acsSort);
        QVERIFY(QTest::qWaitForWindowExposed(list.get()));
        QTRY_VERIFY(list->HeaderCanvas());
        for (int i = 0; i < 3; ++i) {
            HDITEM item;
            item.mask = HDI_FORMAT;
            QVERIFY(list->Control().SendMessage(HDM_GETITEMA, WPARAM(i),
                                                reinterpret_cast<LPARAM>(&item)));
            QVERIFY(item.fmt & HDF_OWNERDRAW);
        }
        QVERIFY(list->AscendingArrow() && list->AscendingArrow()->Width() > 0);
        list->SetShowSortArrows(false);
        QVERIFY(!list->AscendingArrow());
        QVERIFY(!list->HeaderCanvas());
        // Without arrows (and without a header painter) the platform paints its items again.
        for (int i = 0; i < 3; ++i) {
            HDITEM item;
            item.mask = HDI_FORMAT;
            QVERIFY(list->Control().SendMessage(HDM_GETITEMA, WPARAM(i),
                                                reinterpret_cast<LPARAM>(&item)));
            QVERIFY(!(item.fmt & HDF_OWNERDRAW));
        }
    }

    void Arrow_isShownWhereTheLevelsRulesSay_data()
    {
        QTest::addColumn<bool>("extended");
        QTest::addColumn<int>("sort");
        QTest::addColumn<bool>("handler"); // OnSortItems assigned
        QTest::addColumn<bool>("arrow");
        QTest::newRow("sorting level, no sort") << false << int(acsNoSort) << false << false;
        QTest::newRow("sorting level, no sort, a handler")
            << false << int(acsNoSort) << true << false;
        QTest::newRow("sorting level, sort") << false << int(acsSort) << false << true;
        QTest::newRow("sorting level, sort, a handler") << false << int(acsSort) << true << true;
        QTest::newRow("extended level, no sort") << true << int(acsNoSort) << false << false;
        QTest::newRow("extended level, no sort, a handler")
            << true << int(acsNoSort) << true << true;
        QTest::newRow("extended level, sort toggles")
            << true << int(acsSortToggle) << false << true;
    }
    void Arrow_isShownWhereTheLevelsRulesSay()
    {
        QFETCH(bool, extended);
        QFETCH(int, sort);
        QFETCH(bool, handler);
        QFETCH(bool, arrow);
        std::unique_ptr<TCustomEnhListView> list;
        if (extended)
            list = std::make_unique<TdfsExtListView>();
        else
            list = std::make_unique<TCustomEnhListView>();
        QPalette colours = list->palette();
        colours.setColor(QPalette::Dark, Qt::red); // the arrows' shadowed edges
        list->setPalette(colours);
        list->BeginLoading();
        for (const char* caption : {"Nazwa", "Rodzaj"})
            list->Columns().Add()->SetCaption(caption);
        list->Columns().Items(0)->SetWidth(150);
        list->SetShowSortArrows(true);
        list->SetAutoColumnSort(TAutoColumnSort(sort));
        if (handler)
            list->OnSortItems = [](QObject*, TListItem*, TListItem*, int, int& Result) {
                Result = 0;
            };
        list->Loaded();
        list->SetCurrentSortColumn(0);
        list->resize(400, 200);
        list->show();
        QVERIFY(QTest::qWaitForWindowExposed(list.get()));
        QTRY_VERIFY(list->HeaderCanvas());
        QHeaderView* header = list->Control().Header();
        const QImage shot = header->viewport()->grab().toImage();
        bool red = false;
        for (int x = 0; x < 150 && !red; ++x)
            for (int y = 0; y < shot.height() && !red; ++y)
                red = shot.pixelColor(x, y) == QColor(Qt::red);
        QCOMPARE(red, arrow);
    }

    void Arrows_areEightByEightAtATextHeightOfThirteen_data()
    {
        QTest::addColumn<bool>("reverse");
        QTest::newRow("as they are") << false;
        QTest::newRow("reversed through the list") << true;
    }
    void Arrows_areEightByEightAtATextHeightOfThirteen()
    {
        QFETCH(bool, reverse);
        QFont font;
        for (int pixels = 8; pixels < 16 && QFontMetrics(font).height() != 13; ++pixels)
            font.setPixelSize(pixels);
        if (QFontMetrics(font).height() != 13)
            QSKIP("no font of this system is 13 pixels high");
        auto list = ShownList(acsSort);
        QPalette colours = list->palette();
        colours.setColor(QPalette::Dark, Qt::red);
        colours.setColor(QPalette::Light, Qt::white);
        list->setPalette(colours);
        list->setFont(font);
        list->SetReverseSortArrows(reverse);
        list->SetShowSortArrows(false);
        list->SetShowSortArrows(true);
        QCOMPARE(list->AscendingArrow()->Width(), 8);
        QCOMPARE(list->AscendingArrow()->Height(), 8);
        QCOMPARE(list->DescendingArrow()->Width(), 8);
        // The ascending arrow points up (its bottom edge shadowed) unless reversed.
        const QImage up = list->AscendingArrow()->Image();
        QCOMPARE(up.pixelColor(0, 7) == QColor(Qt::red), !reverse);
        QCOMPARE(up.pixelColor(7, 0) == QColor(Qt::red), reverse);
    }

    void HeaderFormatsReapplied_doNotReapplyThemselves()
    {
        // Someone clears one item's owner drawing: the list gives every item its format back,
        // once, though each format it sets raises a header notice of its own.
        auto list = ShownList(acsSort);
        QVERIFY(QTest::qWaitForWindowExposed(list.get()));
        QTRY_VERIFY(list->HeaderCanvas());
        int setItems = 0;
        list->Control().SetMessageTap([&](UINT Msg, WPARAM, LPARAM) {
            if (Msg == HDM_SETITEMA)
                ++setItems;
        });
        HDITEM item;
        item.mask = HDI_FORMAT;
        item.fmt = HDF_STRING | HDF_LEFT;
        list->Control().SendMessage(HDM_SETITEMA, 1, reinterpret_cast<LPARAM>(&item));
        QCOMPARE(setItems, 1 + 3);
        HDITEM back;
        back.mask = HDI_FORMAT;
        QVERIFY(list->Control().SendMessage(HDM_GETITEMA, 1, reinterpret_cast<LPARAM>(&back)));
        QVERIFY(back.fmt & HDF_OWNERDRAW);
    }

    void RecreatedWindow_paintsItsHeaderItemsAgain()
    {
        auto list = ShownList(acsSort);
        QVERIFY(QTest::qWaitForWindowExposed(list.get()));
        QTRY_VERIFY(list->HeaderCanvas());
        list->RecreateWnd();
        HDITEM item;
        item.mask = HDI_FORMAT;
        QVERIFY(list->Control().SendMessage(HDM_GETITEMA, 1, reinterpret_cast<LPARAM>(&item)));
        QVERIFY(item.fmt & HDF_OWNERDRAW);
    }

    void OwnerDrawnItem_paintsTheColumnImageOnItsSide_data()
    {
        QTest::addColumn<int>("imageIndex");
        QTest::addColumn<int>("side");
        QTest::addColumn<bool>("shown");
        QTest::newRow("left") << 0 << int(ciaLeftOfText) << true;
        QTest::newRow("right") << 0 << int(ciaRightOfText) << true;
        QTest::newRow("index past the pictures") << 1 << int(ciaLeftOfText) << false;
    }
    void OwnerDrawnItem_paintsTheColumnImageOnItsSide()
    {
        QFETCH(int, imageIndex);
        QFETCH(int, side);
        QFETCH(bool, shown);
        TImageList images;
        QImage red(16, 16, QImage::Format_ARGB32_Premultiplied);
        red.fill(Qt::red);
        images.Add(red);
        auto list = ShownList(acsSort);
        list->Columns().Items(0)->SetWidth(200);
        list->SetSmallImages(&images);
        TdfsExtListColumn* entry = list->ColumnsFormat().Add();
        entry->SetImageAlignment(TColumnImageAlign(side));
        entry->SetImageIndex(imageIndex);
        QVERIFY(QTest::qWaitForWindowExposed(list.get()));
        QHeaderView* header = list->Control().Header();
        const QImage shot = header->viewport()->grab().toImage();
        int redFrom = -1;
        for (int x = 0; x < 200 && redFrom < 0; ++x)
            if (shot.pixelColor(x, header->height() / 2) == QColor(Qt::red))
                redFrom = x;
        QCOMPARE(redFrom >= 0, shown);
        if (!shown)
            return;
        // Inside the item's 2-pixel edge and the caption's 4-pixel margin: a left image at 6,
        // its caption 4 pixels after it; a right image 4 pixels after the caption.
        const int caption = QFontMetrics(list->font()).horizontalAdvance("Nazwa");
        QCOMPARE(redFrom, side == ciaLeftOfText ? 2 + 4 : 2 + 4 + caption + 4);
    }

    void TinyFont_keepsTheArrowsRoomThoughNoArrowIsDrawn()
    {
        // The image right of a caption too long for its column marks where the caption ends.
        TImageList images;
        QImage red(6, 6, QImage::Format_ARGB32_Premultiplied);
        red.fill(Qt::red);
        images.Add(red);
        auto redFrom = [&](int SortColumn) {
            auto list = ShownList(acsSort);
            QFont tiny = list->font();
            tiny.setPixelSize(4);
            list->setFont(tiny);
            list->SetShowSortArrows(false);
            list->SetShowSortArrows(true); // the arrows made again, at the tiny font
            list->Columns().Items(0)->SetCaption("Nazwa bardzo, bardzo, bardzo dluga");
            list->Columns().Items(0)->SetWidth(90);
            list->SetSmallImages(&images);
            TdfsExtListColumn* entry = list->ColumnsFormat().Add();
            entry->SetImageAlignment(ciaRightOfText);
            entry->SetImageIndex(0);
            list->SortByColumn(SortColumn, true);
            if (!QTest::qWaitForWindowExposed(list.get()) || list->AscendingArrow()->Width() > 0)
                return -1; // the font is not tiny enough to leave the arrow undrawn
            QHeaderView* header = list->Control().Header();
            const QImage shot = header->viewport()->grab().toImage();
            for (int x = 0; x < 90; ++x)
                if (shot.pixelColor(x, header->height() / 2) == QColor(Qt::red))
                    return x;
            return -1;
        };
        const int withoutArrow = redFrom(1);
        const int withArrow = redFrom(0);
        QVERIFY(withoutArrow > 0);
        QVERIFY(withArrow > 0);
        QVERIFY2(withArrow <= withoutArrow - 8,
                 qPrintable(QStringLiteral("%1 against %2").arg(withArrow).arg(withoutArrow)));
    }

    void NewSystemColours_rebuildTheArrows()
    {
        auto list = ShownList(acsSort);
        QPalette colours = list->palette();
        colours.setColor(QPalette::Button, QColor(10, 200, 30));
        list->setPalette(colours);
        QCOMPARE(list->AscendingArrow()->Image().pixelColor(0, 0), QColor(10, 200, 30));
        QCOMPARE(
            list->DescendingArrow()->Image().pixelColor(0, list->DescendingArrow()->Height() - 1),
            QColor(10, 200, 30));
    }

    void OnDrawHeader_paintsInsteadOfTheList()
    {
        auto list = ShownList(acsSort);
        QVERIFY(QTest::qWaitForWindowExposed(list.get()));
        QList<int> painted;
        list->SetOnDrawHeader([&](QWidget* Control, TCanvas& Canvas, int Index, const TRect&,
                                  bool Selected, bool& DefaultDrawing) {
            QCOMPARE(Control, list.get());
            QVERIFY(Canvas.Bound());
            QVERIFY(!Selected);
            QVERIFY(!DefaultDrawing);
            painted << Index;
        });
        list->Control().Header()->viewport()->repaint();
        std::sort(painted.begin(), painted.end());
        painted.erase(std::unique(painted.begin(), painted.end()), painted.end());
        QCOMPARE(painted, (QList<int>{0, 1, 2}));
    }
};

QTEST_MAIN(TestHeaderPainting)
#include "tst_HeaderPainting.moc"
