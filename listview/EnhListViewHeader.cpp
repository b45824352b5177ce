// The sorting level's header: items painted by the list, with the sort arrow on the sorted
// column, and the header notifications that keep them so.
#include "EnhListView.h"

#include "ListControl.h"
#include "SortArrows.h"

#include <QEvent>
#include <QPainter>

using namespace Win;

namespace {

// One guard for all lists: setting header formats raises header notifications of its own.
bool g_HeaderGuard = false;

} // namespace

void TCustomEnhListView::SetShowSortArrows(bool Value)
{
    m_ShowSortArrows = Value;
    m_AscendingArrow.reset();
    m_DescendingArrow.reset();
    if (Value) {
        m_AscendingArrow = std::make_unique<TBitmap>();
        m_DescendingArrow = std::make_unique<TBitmap>();
        BuildSortArrows(*m_AscendingArrow, *m_DescendingArrow);
    }
    if (!IsLoading())
        SetHeaderOwnerDraw(HeaderOwnerDrawWanted());
    if (HandleAllocated())
        Control().update();
}

void TCustomEnhListView::SetReverseSortArrows(bool Value)
{
    if (Value == m_ReverseSortArrows)
        return;
    m_ReverseSortArrows = Value;
    if (m_ShowSortArrows && m_AscendingArrow && m_DescendingArrow) {
        BuildSortArrows(*m_AscendingArrow, *m_DescendingArrow);
        InvalidateHeaderItem(m_CurrentSortColumn);
    }
}

void TCustomEnhListView::SetOnDrawHeader(TLVHDrawItemEvent Handler)
{
    m_OnDrawHeader = std::move(Handler);
    SetHeaderOwnerDraw(HeaderOwnerDrawWanted());
}

void TCustomEnhListView::BuildSortArrows(TBitmap& AscendingArrow, TBitmap& DescendingArrow)
{
    SortArrows::Paint(AscendingArrow, DescendingArrow, font(), palette(), m_ReverseSortArrows);
}

void TCustomEnhListView::SetHeaderOwnerDraw(bool OwnerDraw)
{
    if (!HandleAllocated())
        return;
    for (int i = 0; i < Columns().Count(); ++i) {
        HDITEM item;
        item.mask = HDI_FORMAT;
        if (!Control().SendMessage(HDM_GETITEMA, WPARAM(i), reinterpret_cast<LPARAM>(&item)))
            continue;
        item.fmt = OwnerDraw ? (item.fmt | HDF_OWNERDRAW) : (item.fmt & ~HDF_OWNERDRAW);
        Control().SendMessage(HDM_SETITEMA, WPARAM(i), reinterpret_cast<LPARAM>(&item));
    }
    if (OwnerDraw && !m_HeaderCanvas)
        m_HeaderCanvas = std::make_unique<TCanvas>();
    else if (!OwnerDraw && Style() == lvStandard)
        m_HeaderCanvas.reset();
}

void TCustomEnhListView::HeaderFormatsPosted()
{
    SetHeaderOwnerDraw(HeaderOwnerDrawWanted());
    if (HandleAllocated())
        Control().Header()->viewport()->repaint();
}

void TCustomEnhListView::InvalidateHeaderItem(int ColumnIndex)
{
    if (ColumnIndex < 0 || ColumnIndex >= Columns().Count() || !m_HeaderHandle)
        return;
    const int w = Control().ColumnWidth(ColumnIndex);
    const int p = PositionOfColumn(ColumnIndex);
    int left = 0;
    for (int c = 0; c < Columns().Count(); ++c)
        if (PositionOfColumn(c) < p)
            left += Control().ColumnWidth(c);
    QHeaderView* header = Control().Header();
    // Positions count from the header's own origin; a scrolled list moves them all.
    const int scrolled = header->offset();
    const QRect r(left - scrolled, 0, w, header->viewport()->height());
    header->viewport()->update(r.adjusted(2, 2, -2, -2));
}

LRESULT TCustomEnhListView::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    if (Msg == WM_DESTROY)
        AutoSaveListSettings();
    if (Msg == WM_MEASUREITEM && LParam &&
        reinterpret_cast<const MEASUREITEMSTRUCT*>(LParam)->CtlType == ODT_LISTVIEW)
        return MeasureRequest(*reinterpret_cast<MEASUREITEMSTRUCT*>(LParam));
    if (Msg != WM_DRAWITEM || !LParam)
        return TCustomListView::WndProc(Msg, WParam, LParam);
    const auto& draw = *reinterpret_cast<const DRAWITEMSTRUCT*>(LParam);
    if (draw.CtlType == ODT_LISTVIEW)
        return DrawRowRequest(draw);
    if (draw.CtlType != ODT_HEADER || !m_HeaderCanvas || !draw.hDC)
        return 0;
    draw.hDC->save();
    m_HeaderCanvas->Bind(draw.hDC);
    m_HeaderCanvas->Font = font();
    try {
        DrawHeaderItem(int(draw.itemID), TRect::Of(draw.rcItem),
                       (draw.itemState & ODS_SELECTED) != 0);
    } catch (...) {
        m_HeaderCanvas->Unbind();
        draw.hDC->restore();
        throw;
    }
    m_HeaderCanvas->Unbind();
    draw.hDC->restore();
    return 1;
}

void TCustomEnhListView::DrawHeaderItem(int Index, const TRect& ARect, bool Selected)
{
    TCanvas& canvas = *m_HeaderCanvas;
    canvas.Font = font();
    canvas.FontColor = SystemColor(clBtnText, palette());
    canvas.BrushColor = SystemColor(clBtnFace, palette());
    bool defaultDrawing = true;
    DrawHeaderHook(canvas, Index, ARect, Selected, defaultDrawing);
    if (defaultDrawing)
        DefaultDrawHeaderItem(canvas, Index, ARect, Selected);
}

void TCustomEnhListView::DrawHeaderHook(TCanvas& ACanvas, int Index, const TRect& ARect,
                                        bool Selected, bool& DefaultDrawing)
{
    DefaultDrawing = !m_OnDrawHeader;
    if (m_OnDrawHeader)
        m_OnDrawHeader(this, ACanvas, Index, ARect, Selected, DefaultDrawing);
}

const TBitmap* TCustomEnhListView::HeaderArrow(int Index, bool EventSortCounts) const
{
    if (!m_ShowSortArrows || Index != m_CurrentSortColumn || !m_AscendingArrow ||
        !m_DescendingArrow)
        return nullptr;
    if (m_AutoColumnSort == acsNoSort && !(EventSortCounts && OnSortItems))
        return nullptr;
    return m_CurrentSortAscending ? m_AscendingArrow.get() : m_DescendingArrow.get();
}

void TCustomEnhListView::DefaultDrawHeaderItem(TCanvas& ACanvas, int Index, const TRect& ARect,
                                               bool Selected)
{
    PaintHeaderItem(ACanvas, Index, ARect, Selected, false);
}

void TCustomEnhListView::PaintHeaderItem(TCanvas& ACanvas, int Index, const TRect& ARect,
                                         bool Selected, bool Extended)
{
    const bool valid = Index >= 0 && Index < Columns().Count();
    // At the extended level a sort by the user's comparison shows its arrow too.
    const TBitmap* arrow = HeaderArrow(Index, Extended);
    THeaderItemInput in;
    in.Rect = ARect;
    in.Pressed = Selected;
    in.ValidColumn = valid;
    in.Alignment = valid ? Columns().Items(Index)->Alignment() : taLeftJustify;
    in.Extended = Extended;
    if (arrow) {
        in.Arrow = true;
        in.ArrowSize = QSize(arrow->Width(), arrow->Height());
    }
    const THeaderImage image = Extended && valid ? ColumnHeaderImage(Index) : THeaderImage();
    if (image.Images) {
        in.ImageSize = image.Images->Size();
        in.ImageRight = image.Right;
    }
    const std::string caption = valid ? Columns().Items(Index)->Caption() : std::string();
    in.Measure = [&](const TRect& R, unsigned Flags) {
        TRect t = R;
        ACanvas.DrawText(caption, t, Flags);
        return t;
    };
    const THeaderItemLayout layout = LayOutHeaderItem(in);
    ACanvas.FillRect(layout.Fill);
    if (!layout.Caption)
        return;
    TRect r = *layout.Caption;
    ACanvas.DrawText(caption, r, layout.CaptionFlags);
    if (image.Images && layout.Image)
        image.Images->Draw(ACanvas, layout.Image->x(), layout.Image->y(), image.Index);
    if (arrow && layout.Arrow)
        ACanvas.DrawImage(layout.Arrow->x(), layout.Arrow->y(), arrow->Image());
}

void TCustomEnhListView::changeEvent(QEvent* Event)
{
    // Owner-drawn rows are measured when the window is made: a new font makes it again.
    if (Event->type() == QEvent::FontChange && m_Style == lvOwnerDrawFixed && HandleAllocated()) {
        RecreateWnd();
        QWidget::changeEvent(Event);
        return;
    }
    if (Event->type() == QEvent::PaletteChange && m_ShowSortArrows && m_AscendingArrow &&
        m_DescendingArrow) {
        BuildSortArrows(*m_AscendingArrow, *m_DescendingArrow);
        if (HandleAllocated())
            Control().Header()->viewport()->update();
    }
    TCustomListView::changeEvent(Event);
}

void TCustomEnhListView::HeaderNotify(const NMHDR& Header)
{
    const int code = int(Header.code);
    if (code <= HDN_ITEMCHANGEDA && code >= -398 && Header.hwndFrom != m_HeaderHandle)
        m_HeaderHandle = Header.hwndFrom;
    if (g_HeaderGuard)
        return;
    if (code == HDN_ITEMCHANGEDA || code == HDN_BEGINTRACKA) {
        g_HeaderGuard = true;
        try {
            SetHeaderOwnerDraw(HeaderOwnerDrawWanted());
        } catch (...) {
            g_HeaderGuard = false;
            throw;
        }
        g_HeaderGuard = false;
    } else if (code == HDN_DIVIDERDBLCLICKA) {
        const int item = reinterpret_cast<const NMHEADER&>(Header).iItem;
        if (item >= 0 && item < Columns().Count())
            Columns().Items(item)->SetWidth(Control().ColumnWidth(item));
    }
}
