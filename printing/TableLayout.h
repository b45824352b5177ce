#pragma once

#include "ListView.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Which of the printer's fonts a piece of the table is set in.
enum TTableFont : unsigned char
{
    tfFrame,   // separators and rules
    tfCaption, // the column captions in the head
    tfColumn   // a cell, in its column's font
};

// One piece of a printed line, drawn where the piece before ended.
struct TTablePiece
{
    std::string Text;
    TTableFont Font = tfFrame;
    int Column = -1;  // for tfColumn
    int SubItem = -1; // a sub-item cell that has a text: its handler may choose its font
};
using TTableLine = std::vector<TTablePiece>;

// The printed table of a list as text, computed before anything is drawn: the columns' widths
// in characters (one byte of Windows-1250 text is one character), the three head lines, a
// row's line, and the closing rule. Texts are never cut: a column is as wide as its longest
// caption or cell.
class TTableLayout
{
public:
    static constexpr std::string_view kSeparator = " | ";

    TTableLayout(const TListColumns& Columns, const TListItems& Items);

    const std::vector<std::size_t>& Widths() const { return m_Widths; }
    // The rule (one piece a dash), the captions left-justified, the rule again.
    const std::array<TTableLine, 3>& Head() const { return m_Head; }
    // The line of one row, into Line (its room is used again from row to row).
    void Row(const TListItem& Item, TTableLine& Line) const;
    // The closing rule as one text, exactly as long as a row.
    const std::string& Closing() const { return m_Closing; }

    // Text filled with spaces to Width by the alignment; centred text takes the odd space in
    // front.
    static std::string Justify(std::string_view Text, std::size_t Width, TAlignment Alignment);

private:
    void MeasureWidths(const TListColumns& Columns, const TListItems& Items);
    void LayOutHead(const TListColumns& Columns);
    void LayOutClosing();

    std::vector<std::size_t> m_Widths;
    std::vector<TAlignment> m_Alignments;
    std::array<TTableLine, 3> m_Head;
    std::string m_Closing;
};
