// A list with small images beside its rows, check boxes, column formats with header images,
// sort arrows and hot tracking, whose rows the program paints itself: the list hands each row
// to OnDrawItem, which paints a coloured band and lets the list draw the rest.
#include "Canvas.h"
#include "ExtListView.h"

#include <QApplication>
#include <QPainter>

#include <cstdio>

namespace {

// A small picture: a disc of one colour.
QImage Disc(const QColor& Colour)
{
    QImage image(16, 16, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Colour);
    painter.setPen(Colour.darker());
    painter.drawEllipse(1, 1, 14, 14);
    return image;
}

// The row's check box, which an owner-drawn row paints itself: a frame, and a tick when
// checked.
void DrawCheck(TCanvas& Canvas, const Win::TRect& Rect, bool Checked)
{
    const int size = 11;
    const int left = Rect.Right - size - 4;
    const int top = Rect.Top + (Rect.Height() - size) / 2;
    Canvas.PenColor = Qt::darkGray;
    Canvas.MoveTo(left, top);
    Canvas.LineTo(left + size, top);
    Canvas.LineTo(left + size, top + size);
    Canvas.LineTo(left, top + size);
    Canvas.LineTo(left, top);
    if (!Checked)
        return;
    Canvas.PenColor = Qt::black;
    Canvas.MoveTo(left + 2, top + 5);
    Canvas.LineTo(left + 4, top + 8);
    Canvas.LineTo(left + 9, top + 2);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    TImageList images(16, 16);
    images.Add(Disc(QColor(200, 60, 60)));
    images.Add(Disc(QColor(60, 140, 60)));
    images.Add(Disc(QColor(60, 90, 200)));

    TdfsExtListView list;
    list.BeginLoading();
    // [styles]
    for (const char* caption : {"Nazwa", "Rodzaj", "Ilo\x9c\xe6 CD"})
        list.Columns().Add()->SetCaption(caption);
    list.Columns().Items(0)->SetWidth(150);
    list.Columns().Items(1)->SetWidth(110);
    list.Columns().Items(2)->SetWidth(90);
    list.Columns().Items(2)->SetAlignment(taRightJustify);
    list.SetExtendedStyles({lvxCheckboxes, lvxFullRowSelect, lvxTrackSelect, lvxGridLines,
                            lvxUnderlineHot, lvxOneClickActivate});
    list.SetHoverTime(400);
    list.SetSmallImages(&images);
    list.SetShowSortArrows(true);
    list.SetAutoColumnSort(acsSortToggle);
    // [styles]
    // [header-images]
    // Column 0's header shows the first picture left of its caption, column 1's the third on
    // its right.
    TdfsExtListColumn* name = list.ColumnsFormat().Add();
    name->SetImageIndex(0);
    name->SetImageAlignment(ciaLeftOfText);
    TdfsExtListColumn* kind = list.ColumnsFormat().Add();
    kind->SetImageIndex(2);
    kind->SetImageAlignment(ciaRightOfText);
    // [header-images]
    // [owner-drawn]
    list.SetStyle(lvOwnerDrawFixed);
    list.OnMeasureItem = [](QWidget*, int& Height) { Height += 4; };
    list.OnDrawItem = [&list](QWidget*, TCanvas& Canvas, int Index, const Win::TRect& Rect,
                              TOwnerDrawState State, bool& DefaultDrawing, bool&) {
        // Every second row on a band of its own; a selected row as the list paints it.
        if (!(State & odSelected) && Index % 2 == 1) {
            Canvas.BrushColor = list.palette().color(QPalette::AlternateBase);
            Canvas.FillRect(Rect);
        }
        DefaultDrawing = true;
    };
    list.OnAfterDefaultDrawItem = [&list](QWidget*, TCanvas& Canvas, int Index,
                                          const Win::TRect& Rect, TOwnerDrawState) {
        DrawCheck(Canvas, Rect, list.Items().Item(Index)->Checked());
    };
    // [owner-drawn]
    list.Loaded();

    const char* rows[][3] = {{"Kol\xea" "dy", "Muzyka", "2"}, {"Atlas", "Program", "12"},
                             {"Bach", "Klasyka", "3"},     {"Abba", "Pop", "1"},
                             {"Chopin", "Klasyka", "2"},   {"\xa3\xf3" "d\x9f", "Jazz", "4"}};
    int n = 0;
    for (const auto& row : rows) {
        TListItem* item = list.Items().Add();
        item->SetCaption(row[0]);
        item->AddSubItem(row[1]);
        item->AddSubItem(row[2]);
        item->SetImageIndex(n % 3);
        item->SetChecked(n % 2 == 0);
        ++n;
    }
    list.SortByColumn(0, true);
    list.setWindowTitle(QStringLiteral("Dyskar: owner-drawn list"));
    list.resize(420, 260);
    list.show();
    std::printf("Dyskar owner-drawn list example: %d rows\n", list.Items().Count());
    std::fflush(stdout);
    return QApplication::exec();
}
