#pragma once

#include "ListMessages.h"
#include "ListRow.h"
#include "ReportColumn.h"

#include <memory>
#include <string_view>

// The platform's item and column records converted to and from the list control's rows and
// columns, in this one place; each record's mask says which of its parts count.
namespace ListRecords {

// A row from an LVITEM being inserted: its text (the caption) and Param.
std::unique_ptr<TListRow> RowOf(const Win::LVITEM& Record);
// Fills the parts of the LVITEM that its mask asks for; State holds the row's state bits.
void FillItem(const TListRow& Row, Win::UINT State, int Image, Win::LVITEM& Record);

// A column from an LVCOLUMN being inserted at Index (its sub-item unless the mask gives one).
TReportColumn ColumnOf(const Win::LVCOLUMN& Record, int Index);
// Fills the parts of the LVCOLUMN that its mask asks for.
void FillColumn(const TReportColumn& Column, int Width, int Order, Win::LVCOLUMN& Record);
// The header item format that a column format gives: justification and image flags.
int HeaderFormatOf(int ColumnFormat);
// Fills the parts of the HDITEM that its mask asks for.
void FillHeaderItem(const TReportColumn& Column, int Width, Win::HDITEM& Record);

// Copies as much of the text as fits, always ending it with a zero.
void CopyText(std::string_view Text, char* Buffer, int Size);
// The text of a record, empty for none.
inline std::string_view TextOf(const char* Text)
{
    return Text ? std::string_view(Text) : std::string_view();
}

template <typename T> T* Record(Win::LPARAM LParam)
{
    return reinterpret_cast<T*>(LParam);
}

} // namespace ListRecords
