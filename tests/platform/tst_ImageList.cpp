// Image lists: pictures with overlays and blending, the links that follow their changes,
// and the list control's use of them for items, sub-items and header items.
#include "Canvas.h"
#include "ImageList.h"
#include "ListControl.h"
#include "support/MessageSpy.h"

#include <QPainter>
#include <QtTest>

using namespace Win;

namespace {

QImage Filled(QColor Colour, QSize Size = {16, 16})
{
    QImage image(Size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Colour);
    return image;
}

// A picture transparent but for a 4 by 4 patch in its top-left corner.
QImage Patch(QColor Colour)
{
    QImage image = Filled(Qt::transparent);
    QPainter(&image).fillRect(0, 0, 4, 4, Colour);
    return image;
}

} // namespace

class TestImageList : public QObject
{
    Q_OBJECT
private slots:
    void Pictures_takeTheListsSize()
    {
        TImageList images(8, 8);
        QCOMPARE(images.Add(Filled(Qt::red, {32, 20})), 0);
        QCOMPARE(images.Picture(0).size(), QSize(8, 8));
        QVERIFY(images.Picture(1).isNull());
        QVERIFY(images.Picture(-1).isNull());
    }

    void Overlay_isDrawnOnTopAndFollowsDeletions()
    {
        TImageList images;
        images.Add(Filled(Qt::blue));   // 0
        images.Add(Filled(Qt::green));  // 1
        images.Add(Patch(Qt::red));     // 2
        QVERIFY(images.Overlay(2, 0));
        QVERIFY(!images.Overlay(3, 0)); // no such picture
        QVERIFY(!images.Overlay(0, 4)); // no such slot
        const QImage marked = images.Picture(0, 0);
        QCOMPARE(marked.pixelColor(1, 1), QColor(Qt::red));
        QCOMPARE(marked.pixelColor(10, 10), QColor(Qt::blue));
        images.Delete(1); // the overlay picture moves to index 1; its slot follows it
        QCOMPARE(images.Picture(0, 0).pixelColor(1, 1), QColor(Qt::red));
        images.Delete(1); // the overlay picture itself: the slot empties
        QCOMPARE(images.Picture(0, 0).pixelColor(1, 1), QColor(Qt::blue));
    }

    void DrawingStyle_blendsOnlyThePicturesOwnPixels_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<double>("share"); // of the blend colour in the result
        QTest::newRow("normal") << int(dsNormal) << 0.0;
        QTest::newRow("transparent") << int(dsTransparent) << 0.0;
        QTest::newRow("focus") << int(dsFocus) << 0.25;
        QTest::newRow("selected") << int(dsSelected) << 0.5;
    }
    void DrawingStyle_blendsOnlyThePicturesOwnPixels()
    {
        QFETCH(int, style);
        QFETCH(double, share);
        TImageList images;
        images.Add(Patch(Qt::black));
        images.SetBlendColor(Qt::white);
        images.SetDrawingStyle(TDrawingStyle(style));
        const QImage picture = images.Picture(0);
        QVERIFY(qAbs(picture.pixelColor(1, 1).red() - 255 * share) <= 2);
        QCOMPARE(picture.pixelColor(10, 10).alpha(), 0);
    }

    void DisabledPicture_isDrawnGrey()
    {
        TImageList images;
        images.Add(Filled(Qt::red));
        QImage target = Filled(Qt::white, {20, 20});
        QPainter painter(&target);
        TCanvas canvas;
        canvas.Bind(&painter);
        images.Draw(canvas, 2, 2, 0, false);
        images.Draw(canvas, 2, 2, 7); // no such picture: nothing
        canvas.Unbind();
        painter.end();
        const QColor c = target.pixelColor(5, 5);
        QVERIFY(c.red() == c.green() && c.green() == c.blue());
        QCOMPARE(target.pixelColor(0, 0), QColor(Qt::white));
    }

    void ChangeLinks_hearEveryChangeAndOutliveEitherSide()
    {
        auto images = std::make_unique<TImageList>();
        int heard = 0;
        TChangeLink link;
        link.OnChange = [&] { ++heard; };
        images->RegisterChanges(link);
        images->Add(Filled(Qt::red));
        images->Replace(0, Filled(Qt::blue));
        images->SetBlendColor(Qt::green);
        images->SetBlendColor(Qt::green); // unchanged: not told
        images->Clear();
        QCOMPARE(heard, 4);
        {
            TChangeLink shortLived;
            images->RegisterChanges(shortLived);
        } // leaves the list on its way out
        images->Add(Filled(Qt::red));
        QCOMPARE(heard, 5);
        images.reset();
        QCOMPARE(link.Sender(), nullptr);
    }

    void FocusRect_isDottedAndUndoneByDrawingItAgain()
    {
        QImage target = Filled(Qt::white, {10, 6});
        target = target.convertToFormat(QImage::Format_RGB32);
        const QImage before = target;
        QPainter painter(&target);
        TCanvas canvas;
        canvas.Bind(&painter);
        canvas.DrawFocusRect({1, 1, 9, 5});
        painter.end();
        QCOMPARE(target.pixelColor(1, 1), QColor(Qt::black));
        QCOMPARE(target.pixelColor(2, 1), QColor(Qt::white));
        QCOMPARE(target.pixelColor(4, 3), QColor(Qt::white)); // inside stays
        QCOMPARE(target.pixelColor(0, 0), QColor(Qt::white)); // outside stays
        painter.begin(&target);
        canvas.Bind(&painter);
        canvas.DrawFocusRect({1, 1, 9, 5});
        painter.end();
        QCOMPARE(target, before);
    }

    void ControlImages_showForCaptionsAlwaysAndForSubItemsUnderTheirStyle_data()
    {
        QTest::addColumn<uint>("style");
        QTest::addColumn<bool>("subItemShown");
        QTest::newRow("plain") << 0u << false;
        QTest::newRow("sub-item images") << LVS_EX_SUBITEMIMAGES << true;
    }
    void ControlImages_showForCaptionsAlwaysAndForSubItemsUnderTheirStyle()
    {
        QFETCH(uint, style);
        QFETCH(bool, subItemShown);
        TImageList images;
        images.Add(Filled(Qt::red));
        images.Add(Filled(Qt::blue));
        TListControl list;
        for (const char* caption : {"A", "B"}) {
            LVCOLUMN column;
            column.mask = LVCF_TEXT;
            column.pszText = const_cast<char*>(caption);
            list.SendMessage(LVM_INSERTCOLUMNA, WPARAM(list.ColumnCount()),
                             reinterpret_cast<LPARAM>(&column));
        }
        LVITEM item;
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.pszText = const_cast<char*>("x");
        item.iImage = 0;
        list.SendMessage(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        LVITEM sub;
        sub.mask = LVIF_IMAGE;
        sub.iSubItem = 1;
        sub.iImage = 1;
        QVERIFY(list.SendMessage(LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&sub)));
        list.SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, style);
        QCOMPARE(list.SendMessage(LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(&images)),
                 LRESULT(0));
        QCOMPARE(list.SendMessage(LVM_GETIMAGELIST, LVSIL_SMALL, 0),
                 reinterpret_cast<LRESULT>(&images));

        const QAbstractItemModel* model = list.View()->model();
        const QVariant caption = model->index(0, 0).data(Qt::DecorationRole);
        QCOMPARE(caption.value<QImage>().pixelColor(0, 0), QColor(Qt::red));
        QCOMPARE(model->index(0, 1).data(Qt::DecorationRole).isValid(), subItemShown);
        LVITEM read;
        read.mask = LVIF_IMAGE;
        read.iSubItem = 1;
        list.SendMessage(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&read));
        QCOMPARE(read.iImage, 1);
    }

    void ColumnFormatChange_rebuildsTheHeaderItemAndTellsTheOwner()
    {
        TListControl list;
        TestSupport::TMessageSpy spy;
        list.SetOwner(std::ref(spy));
        LVCOLUMN column;
        list.SendMessage(LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
        HDITEM owner;
        owner.mask = HDI_FORMAT;
        owner.fmt = HDF_STRING | HDF_OWNERDRAW;
        list.SendMessage(HDM_SETITEMA, 0, reinterpret_cast<LPARAM>(&owner));
        spy.Codes.clear();
        LVCOLUMN format;
        format.mask = LVCF_FMT | LVCF_IMAGE;
        format.fmt = LVCFMT_RIGHT | LVCFMT_IMAGE | LVCFMT_BITMAP_ON_RIGHT;
        format.iImage = 5;
        list.SendMessage(LVM_SETCOLUMNA, 0, reinterpret_cast<LPARAM>(&format));
        QCOMPARE(spy.Count(HDN_ITEMCHANGEDA), 1);
        HDITEM item;
        item.mask = HDI_FORMAT | HDI_IMAGE;
        list.SendMessage(HDM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        QCOMPARE(item.fmt, HDF_STRING | HDF_RIGHT | HDF_IMAGE | HDF_BITMAP_ON_RIGHT);
        QCOMPARE(item.iImage, 5);
        // Setting a header item to the format it has changes nothing and tells nobody.
        spy.Codes.clear();
        list.SendMessage(HDM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        QCOMPARE(spy.Count(HDN_ITEMCHANGEDA), 0);
    }
};

QTEST_MAIN(TestImageList)
#include "tst_ImageList.moc"
