// Owner-drawn rows: the list measures its rows and paints each of them itself, with the
// selection, the images, the cells by column position and the focus frame.
#include "EnhListView.h"

#include <QFontMetrics>
#include <QPainter>

using namespace Win;

namespace {

constexpr int kCellMargin = 4;
constexpr int kImageInset = 2;

// Saves the painter's state for the life of one call, whatever it raises.
class TSavedState
{
public:
    explicit TSavedState(TCanvas& Canvas) : m_Canvas(Canvas) { m_Canvas.Save(); }
    ~TSavedState() { m_Canvas.Restore(); }
    TSavedState(const TSavedState&) = delete;
    TSavedState& operator=(const TSavedState&) = delete;

private:
    TCanvas& m_Canvas;
};

} // namespace

void TCustomEnhListView::CreateParams(TCreateParams& Params)
{
    TCustomListView::CreateParams(Params);
    if (m_Style == lvOwnerDrawFixed)
        Params.Style |= LVS_OWNERDRAWFIXED;
}

void TCustomEnhListView::SetSmallImages(TImageList* Images)
{
    TCustomListView::SetSmallImages(Images);
    // Rows are measured when the window is made; new images may change their height.
    if (m_Style == lvOwnerDrawFixed && HandleAllocated())
        RecreateWnd();
}

bool TCustomEnhListView::ListFocused() const
{
    return HandleAllocated() && (Control().View()->hasFocus() || Control().hasFocus());
}

LRESULT TCustomEnhListView::MeasureRequest(MEASUREITEMSTRUCT& Measure)
{
    const int textHeight = QFontMetrics(font()).height(); // of "Wy", as any line
    int height = textHeight + 1;
    if (SmallImages() && textHeight < SmallImages()->Height())
        height = SmallImages()->Height();
    MeasureItem(height);
    Measure.itemHeight = static_cast<UINT>(std::max(0, height));
    return 1;
}

void TCustomEnhListView::MeasureItem(int& Height)
{
    if (OnMeasureItem)
        OnMeasureItem(this, Height);
}

LRESULT TCustomEnhListView::DrawRowRequest(const DRAWITEMSTRUCT& Draw)
{
    if (!m_HeaderCanvas || !Draw.hDC)
        return 1;
    TCanvas& canvas = *m_HeaderCanvas;
    Draw.hDC->save();
    canvas.Bind(Draw.hDC);
    canvas.Font = font();
    canvas.BrushColor = Color();
    canvas.FontColor = SystemColor(clWindowText, palette());
    bool fullRowSelect = false;
    bool defaultDrawing = false;
    try {
        DrawItem(int(Draw.itemID), TRect::Of(Draw.rcItem), fullRowSelect, defaultDrawing,
                 Draw.itemState);
    } catch (...) {
        canvas.Unbind();
        Draw.hDC->restore();
        throw;
    }
    canvas.Unbind();
    Draw.hDC->restore();
    return 1;
}

void TCustomEnhListView::DrawItem(int Index, const TRect& Rect, bool& FullRowSelect,
                                  bool& DefaultDrawing, TOwnerDrawState State)
{
    TCanvas& canvas = *m_HeaderCanvas;
    DrawItemHook(Index, Rect, State, DefaultDrawing, FullRowSelect);
    if (!DefaultDrawing)
        return;
    canvas.FillRect(Rect);
    const bool focused = ListFocused();
    if (Index < 0) {
        canvas.FillRect(Rect);
    } else {
        // The highlight: the caption's width without full-row selection, past the images.
        TRect highlight = Rect;
        highlight.Left += kCellMargin - 2;
        const int stateWidth = StateImages() ? StateImages()->Width() : 0;
        const int smallWidth = SmallImages() ? SmallImages()->Width() : 0;
        const TListItem* item = Items().Item(Index);
        if (FullRowSelect) {
            highlight.Left += stateWidth + smallWidth;
        } else if (item) {
            highlight.Right = highlight.Left + canvas.TextWidth(std::string(item->Caption())) + 8;
            highlight.Left += stateWidth + smallWidth;
            highlight.Right += stateWidth + smallWidth;
            if (Columns().Count() > 0) {
                const TListColumn* first = ColumnAtPosition(0);
                if (first && first->Width() < highlight.Right)
                    highlight.Right = first->Width();
            }
        }
        if ((State & odSelected) && (!HideSelection() || focused)) {
            canvas.BrushColor = SystemColor(focused ? clHighlight : clBtnFace, palette());
            canvas.FillRect(highlight);
        }
        DefaultDrawItem(Index, Rect, FullRowSelect, State);
        if ((State & odFocused) && focused)
            canvas.DrawFocusRect(highlight);
    }
    AfterDefaultDrawItemHook(Index, Rect, State);
}

void TCustomEnhListView::DefaultDrawItem(int Index, const TRect& Rect, bool FullRowSelect,
                                         TOwnerDrawState State)
{
    const TListItem* item = Items().Item(Index);
    if (!item || Columns().Count() == 0)
        return;
    TCanvas& canvas = *m_HeaderCanvas;
    const bool focused = ListFocused();
    SelectionColours(State);
    const TListColumn* first = ColumnAtPosition(0);
    TRect r = Rect;
    r.Right = Rect.Left + (first ? first->Width() : 0) - 2;
    if (const TImageList* states = StateImages()) {
        states->Draw(canvas, r.Left + kImageInset, r.Top, item->StateIndex());
        r.Left += states->Width();
    }
    const bool leftJustified = !first || first->Alignment() == taLeftJustify;
    if (const TImageList* images = SmallImages()) {
        // The image in the selection's blend while the list has the focus.
        const bool blended = focused && ((State & odSelected) || item->Focused());
        const int overlay =
            item->OverlayIndex() >= 0 && item->OverlayIndex() <= 3 ? item->OverlayIndex() : -1;
        canvas.DrawImage(r.Left + kImageInset, r.Top,
                         images->Picture(item->ImageIndex(), overlay,
                                         blended ? dsSelected : dsTransparent,
                                         SystemColor(clHighlight, palette())));
        if (leftJustified)
            r.Left += images->Width() + kCellMargin;
    } else if (leftJustified) {
        r.Left += kCellMargin;
    }
    DefaultDrawSubItem(Index, -1, State, r);
    for (int i = 1; i < Columns().Count(); ++i) {
        if (!FullRowSelect) {
            canvas.BrushColor = SystemColor(clWindow, palette());
            canvas.FontColor = SystemColor(clWindowText, palette());
        }
        if (item->SubItemCount() < i)
            break; // a row with fewer sub-items ends at its last one
        const TListColumn* column = ColumnAtPosition(i);
        const int right = r.Right;
        r.Left = right + kCellMargin;
        r.Right = right + (column ? column->Width() : 0);
        DefaultDrawSubItem(Index, i - 1, State, r);
    }
}

void TCustomEnhListView::SelectionColours(TOwnerDrawState State)
{
    if (!(State & odSelected))
        return;
    TCanvas& canvas = *m_HeaderCanvas;
    if (ListFocused()) {
        canvas.BrushColor = SystemColor(clHighlight, palette());
        canvas.FontColor = SystemColor(clHighlightText, palette());
    } else if (!HideSelection()) {
        canvas.BrushColor = SystemColor(clBtnFace, palette());
        canvas.FontColor = SystemColor(clBtnText, palette());
    }
}

void TCustomEnhListView::DefaultDrawSubItem(int Index, int SubItem, TOwnerDrawState State,
                                            const TRect& Rect)
{
    TCanvas& canvas = *m_HeaderCanvas;
    TSavedState saved(canvas);
    bool defaultDrawing = true;
    DrawSubItemHook(Index, SubItem, defaultDrawing, State, Rect);
    if (!defaultDrawing)
        return;
    TRect r = Rect;
    if (SubItem >= 0) {
        r.Left += kCellMargin;
        r.Right -= kCellMargin;
    }
    std::string text;
    GetCellText(Index, SubItem, text);
    const TListColumn* column = ColumnAtPosition(SubItem + 1);
    const unsigned align = AlignmentFlag(column ? column->Alignment() : taLeftJustify);
    canvas.DrawText(text, r, align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
}

void TCustomEnhListView::DrawItemHook(int Index, const TRect& Rect, TOwnerDrawState State,
                                      bool& DefaultDrawing, bool& FullRowSelect)
{
    DefaultDrawing = !OnDrawItem;
    if (OnDrawItem)
        OnDrawItem(this, *m_HeaderCanvas, Index, Rect, State, DefaultDrawing, FullRowSelect);
}

void TCustomEnhListView::DrawSubItemHook(int Index, int SubItem, bool& DefaultDrawing,
                                         TOwnerDrawState State, const TRect& Rect)
{
    DefaultDrawing = !OnDrawSubItem;
    if (OnDrawSubItem)
        OnDrawSubItem(this, *m_HeaderCanvas, Index, SubItem, Rect, State, DefaultDrawing);
}

void TCustomEnhListView::AfterDefaultDrawItemHook(int Index, const TRect& Rect,
                                                  TOwnerDrawState State)
{
    if (OnAfterDefaultDrawItem)
        OnAfterDefaultDrawItem(this, *m_HeaderCanvas, Index, Rect, State);
}
