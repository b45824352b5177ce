#include "QamLVPrinter.h"

#include <algorithm>
#include <vector>

namespace {

const std::string kSeparator = " | ";

std::string Justify(std::string_view Text, std::size_t Width, TAlignment Alignment)
{
    std::string s(Text);
    if (s.size() >= Width)
        return s; // never cut
    const std::size_t pad = Width - s.size();
    switch (Alignment) {
    case taRightJustify:
        return std::string(pad, ' ') + s;
    case taCenter: {
        // Spaces go alternately in front and behind, the first in front.
        const std::size_t front = (pad + 1) / 2;
        return std::string(front, ' ') + s + std::string(pad - front, ' ');
    }
    default:
        return s + std::string(pad, ' ');
    }
}

// The pen: every piece is drawn at the pen and moves it right; a line end moves it down.
class TPen
{
public:
    explicit TPen(TPrinterCanvas& Canvas) : m_Canvas(Canvas) {}

    void Put(const std::string& Text)
    {
        m_Canvas.TextOut(X, Y, Text);
        X += m_Canvas.TextWidth(Text);
    }
    void EndLine(const std::string& Text = {})
    {
        m_Canvas.TextOut(X, Y, Text);
        Y += m_Canvas.TextHeight(Text.empty() ? std::string("QAM") : Text);
        X = kLeft;
    }
    // Would a line of this height still fit below the pen?
    bool Fits(int Height) const { return Y + Height <= m_Canvas.PageHeight(); }

    static constexpr int kLeft = 20;
    static constexpr int kTop = 30;
    int X = kLeft;
    int Y = kTop;

private:
    TPrinterCanvas& m_Canvas;
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
    const TListColumns& columns = m_Dfs->Columns();
    const TListItems& items = m_Dfs->Items();
    const int columnCount = columns.Count();
    const int rowCount = items.Count();
    MatchColumnFonts(columnCount);
    m_CaptionFont.Style = m_HeaderStyle;

    // Widths in characters: one byte of Windows-1250 text is one character.
    std::vector<std::size_t> width(static_cast<std::size_t>(columnCount));
    for (int k = 0; k < columnCount; ++k)
        width[static_cast<std::size_t>(k)] = columns.Items(k)->Caption().size();
    for (int r = 0; r < rowCount; ++r) {
        const TListItem* item = items.Item(r);
        if (columnCount > 0)
            width[0] = std::max(width[0], item->Caption().size());
        for (int j = 0; j < item->SubItemCount() && j + 1 < columnCount; ++j)
            width[static_cast<std::size_t>(j + 1)] =
                std::max(width[static_cast<std::size_t>(j + 1)], item->SubItem(j).size());
    }

    Canvas.SetTitle(m_Header);
    Canvas.BeginDoc();
    try {
        TPen pen(Canvas);
        Canvas.SetFontSize(20);
        pen.EndLine(m_Header);
        pen.EndLine();

        auto rule = [&] {
            Canvas.SetFont(m_FrameFont);
            pen.Put(kSeparator);
            for (int k = 0; k < columnCount; ++k) {
                for (std::size_t d = 0; d < width[static_cast<std::size_t>(k)]; ++d)
                    pen.Put("-");
                pen.Put(kSeparator);
            }
            pen.EndLine();
        };
        auto head = [&] {
            rule();
            Canvas.SetFont(m_FrameFont);
            pen.Put(kSeparator);
            for (int k = 0; k < columnCount; ++k) {
                Canvas.SetFont(m_CaptionFont);
                pen.Put(Justify(columns.Items(k)->Caption(), width[static_cast<std::size_t>(k)],
                                taLeftJustify));
                Canvas.SetFont(m_FrameFont);
                pen.Put(kSeparator);
            }
            pen.EndLine();
            rule();
        };
        head();

        if (columnCount > 0)
            m_ColumnFonts->Fonts(0)->Style = fsBold;
        Canvas.SetFont(m_FrameFont);
        const int lineHeight = Canvas.TextHeight("QAM");
        int rowsOnPage = 0;
        // A line that would fall below the printable area starts a new page under the head;
        // a page always takes at least one row, however small it is.
        auto breakIfFull = [&] {
            Canvas.SetFont(m_FrameFont);
            if (rowsOnPage > 0 && !pen.Fits(lineHeight)) {
                Canvas.NewPage();
                pen.X = TPen::kLeft;
                pen.Y = TPen::kTop;
                head();
                rowsOnPage = 0;
            }
        };
        for (int r = 0; r < rowCount; ++r) {
            breakIfFull();
            ++rowsOnPage;
            if (OnPrintItem)
                OnPrintItem(this, r);
            const TListItem* item = items.Item(r);
            Canvas.SetFont(m_FrameFont);
            pen.Put(kSeparator);
            if (columnCount > 0) {
                Canvas.SetFont(*m_ColumnFonts->Fonts(0));
                pen.Put(Justify(item->Caption(), width[0], taLeftJustify));
                Canvas.SetFont(m_FrameFont);
                pen.Put(kSeparator);
            }
            for (int k = 1; k < columnCount; ++k) {
                const int j = k - 1;
                Canvas.SetFont(*m_ColumnFonts->Fonts(k));
                std::string_view text;
                if (j < item->SubItemCount()) {
                    text = item->SubItem(j);
                    if (OnPrintSubItem) {
                        TFont* font = &Canvas.Font();
                        OnPrintSubItem(this, r, j, font);
                        if (font)
                            Canvas.SetFont(TFont(*font));
                    }
                }
                pen.Put(Justify(text, width[static_cast<std::size_t>(k)],
                                columns.Items(k)->Alignment()));
                Canvas.SetFont(m_FrameFont);
                pen.Put(kSeparator);
            }
            pen.EndLine();
        }

        breakIfFull();
        Canvas.SetFont(m_FrameFont);
        std::string closing = kSeparator;
        for (int k = 0; k < columnCount; ++k) {
            const std::size_t w = width[static_cast<std::size_t>(k)];
            closing.append(k + 1 < columnCount ? w + kSeparator.size() : w, '-');
        }
        if (columnCount > 0)
            closing += kSeparator;
        pen.EndLine(closing);
    } catch (...) {
        Canvas.Abort();
        throw;
    }
    Canvas.EndDoc();
}
