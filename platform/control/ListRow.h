#pragma once

#include "ListMessages.h"
#include "RowText.h"

#include <cstdint>
#include <new>

// One row of the list control: its texts, images and the item object (Param) it carries. A
// million rows may stand in two lists at once, so a row holds only what each row needs: the
// images of sub-items, which few lists have, are kept by the control.
class TListRow
{
public:
    TListRow() = default;
    TListRow(const TListRow&) = delete;
    TListRow& operator=(const TListRow&) = delete;
    virtual ~TListRow() = default;

    // A row made in a pool's room goes back to the pool; any other to the heap.
    static void operator delete(TListRow* Row, std::destroying_delete_t);
    // For a row whose making failed before it stood.
    static void operator delete(void* Room) noexcept { ::operator delete(Room); }

    TRowText Text;
    Win::LPARAM Param = 0;
    // The caption's image in the small image list; -1 for none.
    int Image = -1;
    // The state image index (check boxes: 1 unchecked, 2 checked); 0 for none.
    std::uint8_t StateImage = 1;
    // The overlay slot (0 to 3) drawn on the row's image; -1 for none.
    std::int8_t Overlay = -1;
    // Whether the control keeps images of this row's sub-items.
    bool HasSubItemImages = false;

    bool Pooled() const { return m_Pooled; }
    // A pooled row that has left its texts (TRowText::Leave) goes back to its pool without
    // being read: a list dropping a million of them visits none.
    static void GiveBackLeft(TListRow* Row) noexcept;

protected:
    // For a row made in a pool's room (TChunkArena). Such a row may be given back without its
    // destructor (GiveBackLeft): a kind of row made in a pool keeps nothing but its texts that a
    // destructor would let go of.
    struct TPooled
    {
    };
    explicit TListRow(TPooled) : m_Pooled(true) {}

private:
    bool m_Pooled = false;
};
