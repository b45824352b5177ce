#include "TableLayout.h"

#include <algorithm>

TTableLayout::TTableLayout(const TListColumns& Columns, const TListItems& Items)
{
    MeasureWidths(Columns, Items);
    LayOutHead(Columns);
    LayOutClosing();
}

void TTableLayout::MeasureWidths(const TListColumns& Columns, const TListItems& Items)
{
    const int count = Columns.Count();
    for (int k = 0; k < count; ++k) {
        m_Widths.push_back(Columns.Items(k)->Caption().size());
        // Column 0 is always left-justified, whatever its alignment.
        m_Alignments.push_back(k == 0 ? taLeftJustify : Columns.Items(k)->Alignment());
    }
    if (count == 0)
        return;
    Items.ForEach([&](const TListItem& Item) {
        m_Widths[0] = std::max(m_Widths[0], Item.Caption().size());
        for (int j = 0; j < Item.SubItemCount() && j + 1 < count; ++j)
            m_Widths[std::size_t(j + 1)] =
                std::max(m_Widths[std::size_t(j + 1)], Item.SubItem(j).size());
    });
}

void TTableLayout::LayOutHead(const TListColumns& Columns)
{
    TTableLine& rule = m_Head[0];
    TTableLine& captions = m_Head[1];
    const std::string separator(kSeparator);
    rule.push_back({separator, tfFrame});
    captions.push_back({separator, tfFrame});
    for (std::size_t k = 0; k < m_Widths.size(); ++k) {
        rule.insert(rule.end(), m_Widths[k], TTablePiece{"-", tfFrame});
        rule.push_back({separator, tfFrame});
        captions.push_back(
            {Justify(Columns.Items(int(k))->Caption(), m_Widths[k], taLeftJustify), tfCaption});
        captions.push_back({separator, tfFrame});
    }
    m_Head[2] = rule;
}

void TTableLayout::LayOutClosing()
{
    // Dashes where the inner separators stand in the rows.
    m_Closing = kSeparator;
    for (std::size_t k = 0; k < m_Widths.size(); ++k)
        m_Closing.append(k + 1 < m_Widths.size() ? m_Widths[k] + kSeparator.size() : m_Widths[k],
                         '-');
    if (!m_Widths.empty())
        m_Closing += kSeparator;
}

void TTableLayout::Row(const TListItem& Item, TTableLine& Line) const
{
    Line.clear();
    const std::string separator(kSeparator);
    Line.push_back({separator, tfFrame});
    for (std::size_t k = 0; k < m_Widths.size(); ++k) {
        const int j = int(k) - 1; // the sub-item column k shows
        std::string_view text = k == 0 ? Item.Caption() : std::string_view();
        if (k > 0 && j < Item.SubItemCount())
            text = Item.SubItem(j);
        const bool hasText = k > 0 && j < Item.SubItemCount();
        Line.push_back(
            {Justify(text, m_Widths[k], m_Alignments[k]), tfColumn, int(k), hasText ? j : -1});
        Line.push_back({separator, tfFrame});
    }
}

std::string TTableLayout::Justify(std::string_view Text, std::size_t Width, TAlignment Alignment)
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
