#pragma once

#include "ExtListView.h"
#include "Printing.h"
#include "QamFontList.h"

#include <functional>
#include <memory>
#include <string>

// Prints the columns and rows of one list as a text table under a title.
class TQamLVPrinter
{
public:
    using TPrintItemEvent = std::function<void(TQamLVPrinter*, int ItemNr)>;
    using TPrintSubItemEvent =
        std::function<void(TQamLVPrinter*, int ItemNr, int SubItemNr, TFont*& Font)>;

    TQamLVPrinter();

    TdfsExtListView* Dfs() const { return m_Dfs; }
    void SetDfs(TdfsExtListView* List);
    const std::string& Header() const { return m_Header; }
    void SetHeader(std::string Header) { m_Header = std::move(Header); }
    int ItemsPerPage() const { return m_ItemsPerPage; }
    void SetItemsPerPage(int Value) { m_ItemsPerPage = Value; }
    TFontStyles HeaderStyle() const { return m_HeaderStyle; }
    void SetHeaderStyle(TFontStyles Style) { m_HeaderStyle = Style; }
    TQamFontList& ColumnFonts() { return *m_ColumnFonts; }
    const TFont& CaptionFont() const { return m_CaptionFont; }

    // Prints on the process-wide printing service.
    void Print();
    void Print(TPrinterCanvas& Canvas);

    TPrintItemEvent OnPrintItem;
    TPrintSubItemEvent OnPrintSubItem;

private:
    static TFont TableFont();
    void MatchColumnFonts(int Columns);

    TFont m_CaptionFont = TableFont();
    TFont m_FrameFont = TableFont();
    TdfsExtListView* m_Dfs = nullptr;
    std::string m_Header;
    int m_ItemsPerPage = 0;
    TFontStyles m_HeaderStyle = 0;
    std::unique_ptr<TQamFontList> m_ColumnFonts = std::make_unique<TQamFontList>();
};
