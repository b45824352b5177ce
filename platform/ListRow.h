#pragma once

#include "ListMessages.h"
#include "RowText.h"

#include <cstdint>
#include <memory>
#include <vector>

// One row of the list control: its texts, images and the item object (Param) it carries.
class TListRow
{
public:
    virtual ~TListRow() = default;
    TRowText Text;
    Win::LPARAM Param = 0;
    // The state image index (check boxes: 1 unchecked, 2 checked); 0 for none.
    std::uint16_t StateImage = 1;
    // The overlay slot (0 to 3) drawn on the row's image; -1 for none.
    std::int16_t Overlay = -1;
    // The caption's image in the small image list; -1 for none.
    int Image = -1;

    // The image of field Field (0 the caption, 1.. the sub-items); -1 for none.
    int ImageOf(int Field) const
    {
        if (Field <= 0)
            return Field == 0 ? Image : -1;
        if (!m_SubItemImages || Field > int(m_SubItemImages->size()))
            return -1;
        return (*m_SubItemImages)[static_cast<std::size_t>(Field - 1)];
    }
    void SetImage(int Field, int Index)
    {
        if (Field <= 0) {
            if (Field == 0)
                Image = Index;
            return;
        }
        // Most rows have no sub-item images; they cost a pointer only.
        if (!m_SubItemImages)
            m_SubItemImages = std::make_unique<std::vector<int>>();
        if (Field > int(m_SubItemImages->size()))
            m_SubItemImages->resize(static_cast<std::size_t>(Field), -1);
        (*m_SubItemImages)[static_cast<std::size_t>(Field - 1)] = Index;
    }

private:
    std::unique_ptr<std::vector<int>> m_SubItemImages;
};
