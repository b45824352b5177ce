#include "QamLVPrinter.h"

#include "TableLayout.h"

#include <array>
#include <functional>

namespace {

// Draws the table's lines on the canvas: every piece at the pen, which moves right; a line end
// moves it down. A line that would fall below the printable area starts a new page under the
// head; a page always takes at least one row, however small it is.
class TTableDrawing
{
public:
    // Column fonts and the cells' handler as the printer holds them.
    struct TFonts
    {
        const TFont& Frame;
        const TFont& Caption;
        TQamFontList& Columns;
    };
    using TCellHook = std::function<void(int SubItem, TFont*& Font)>;

    TTableDrawing(TPrinterCanvas& Canvas, TFonts Fonts) : m_Canvas(Canvas), m_Fonts(Fonts) {}

    void Title(const std::string& Header)
    {
        m_Canvas.SetFontSize(20);
        EndLine(Header);
        EndLine();
    }
    void Head(const TTableLayout& Layout)
    {
        for (const TTableLine& line : Layout.Head())
            Line(line);
        m_Head = &Layout.Head();
    }
    // A row is next: on this page, or on a new one if this one is full.
    void NextRow()
    {
        BreakIfFull();
        ++m_RowsOnPage;
    }
    void Row(const TTableLine& Pieces, const TCellHook& OnCell) { Line(Pieces, OnCell); }
    void Closing(const std::string& Text)
    {
        BreakIfFull();
        m_Canvas.SetFont(m_Fonts.Frame);
        EndLine(Text);
    }

private:
    static constexpr int kLeft = 20;
    static constexpr int kTop = 30;

    void Line(const TTableLine& Pieces, const TCellHook& OnCell = {})
    {
        m_Canvas.SetFont(m_Fonts.Frame);
        TTableFont current = tfFrame;
        for (const TTablePiece& piece : Pieces) {
            if (piece.Font != current || piece.Font == tfColumn)
                m_Canvas.SetFont(FontOf(piece));
            current = piece.Font;
            if (piece.SubItem >= 0 && OnCell) {
                TFont* font = &m_Canvas.Font();
                OnCell(piece.SubItem, font);
                if (font)
                    m_Canvas.SetFont(TFont(*font));
            }
            Put(piece.Text);
        }
        EndLine();
    }
    const TFont& FontOf(const TTablePiece& Piece) const
    {
        switch (Piece.Font) {
        case tfCaption:
            return m_Fonts.Caption;
        case tfColumn:
            return *m_Fonts.Columns.Fonts(Piece.Column);
        default:
            return m_Fonts.Frame;
        }
    }
    void BreakIfFull()
    {
        m_Canvas.SetFont(m_Fonts.Frame);
        if (m_RowsOnPage == 0 || m_Y + m_Canvas.TextHeight("QAM") <= m_Canvas.PageHeight())
            return;
        m_Canvas.NewPage();
        m_X = kLeft;
        m_Y = kTop;
        for (const TTableLine& line : *m_Head)
            Line(line);
        m_RowsOnPage = 0;
    }
    void Put(const std::string& Text)
    {
        m_Canvas.TextOut(m_X, m_Y, Text);
        m_X += m_Canvas.TextWidth(Text);
    }
    void EndLine(const std::string& Text = {})
    {
        m_Canvas.TextOut(m_X, m_Y, Text);
        m_Y += m_Canvas.TextHeight(Text.empty() ? std::string("QAM") : Text);
        m_X = kLeft;
    }

    TPrinterCanvas& m_Canvas;
    TFonts m_Fonts;
    const std::array<TTableLine, 3>* m_Head = nullptr;
    int m_X = kLeft;
    int m_Y = kTop;
    int m_RowsOnPage = 0;
};

} // namespace

TFont TQamLVPrinter::TableFont()
{
    TFont f;
    f.Name = "Courier New";
    f.Size = 10;
    f.Style = 0;
    return f;
}

TQamLVPrinter::TQamLVPrinter() = default;

void TQamLVPrinter::SetDfs(TdfsExtListView* List)
{
    m_Dfs = List;
    m_ColumnFonts = std::make_unique<TQamFontList>();
    if (!List)
        return;
    for (int i = 0; i < List->Columns().Count(); ++i)
        *m_ColumnFonts->Add() = TableFont();
}

// Columns added or removed since the binding: fonts of columns that still exist are kept.
void TQamLVPrinter::MatchColumnFonts(int Columns)
{
    m_ColumnFonts->Truncate(Columns);
    while (m_ColumnFonts->Count() < Columns)
        *m_ColumnFonts->Add() = TableFont();
}

void TQamLVPrinter::Print()
{
    Print(Printer());
}

void TQamLVPrinter::Print(TPrinterCanvas& Canvas)
{
    if (!m_Dfs)
        return;
    MatchColumnFonts(m_Dfs->Columns().Count());
    m_CaptionFont.Style = m_HeaderStyle;
    const TListItems& items = m_Dfs->Items();
    const TTableLayout layout(m_Dfs->Columns(), items);

    Canvas.SetTitle(m_Header);
    Canvas.BeginDoc();
    try {
        TTableDrawing drawing(Canvas, {m_FrameFont, m_CaptionFont, *m_ColumnFonts});
        drawing.Title(m_Header);
        drawing.Head(layout);
        if (!layout.Widths().empty())
            m_ColumnFonts->Fonts(0)->Style = fsBold;
        TTableLine line;
        for (int r = 0; r < items.Count(); ++r) {
            drawing.NextRow();
            if (OnPrintItem)
                OnPrintItem(this, r);
            layout.Row(*items.Item(r), line);
            drawing.Row(line, [this, r](int SubItem, TFont*& Font) {
                if (OnPrintSubItem)
                    OnPrintSubItem(this, r, SubItem, Font);
            });
        }
        drawing.Closing(layout.Closing());
    } catch (...) {
        Canvas.Abort();
        throw;
    }
    Canvas.EndDoc();
}
