#pragma once

#include "ListMessages.h"
#include "RowText.h"

#include <cstdint>
#include <new>

// One row of the list control: its texts, images and the item object (Param) it carries. A
// million rows may stand in two lists at once, so a row holds only what each row needs: the
// images of sub-items, which few lists have, are kept by the control, and a row made in a
// pool carries itself as its item object, keeping no word for it.
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

    // The item object the row carries (LVITEM::lParam). A pooled row carries itself (a list
    // view's item, which every notification and sort finds from it) and cannot be made to
    // carry another: SetParam then answers false.
    Win::LPARAM Param() const
    {
        return m_Pooled ? reinterpret_cast<Win::LPARAM>(this) : static_cast<Win::LPARAM>(m_Word);
    }
    bool SetParam(Win::LPARAM Param);

private:
    // A plain row's Param; a pooled row's is the kind of row's own (SpareWord). Placed here,
    // with the small fields after it, a row takes 32 bytes.
    std::uintptr_t m_Word = 0;

public:
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
    // For a row made in a pool's room (TChunkArena), which carries itself as its item object.
    // Such a row may be given back without its destructor (GiveBackLeft): a kind of row made in
    // a pool keeps nothing but its texts that a destructor would let go of.
    struct TPooled
    {
    };
    explicit TListRow(TPooled) : m_Pooled(true) {}
    // The word a pooled row has spare, for the kind of row to use.
    std::uintptr_t SpareWord() const { return m_Word; }
    void SetSpareWord(std::uintptr_t Word) { m_Word = Word; }

private:
    bool m_Pooled = false;
};
