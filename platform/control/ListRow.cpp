#include "ListRow.h"

#include "ChunkArena.h"

void TListRow::operator delete(TListRow* Row, std::destroying_delete_t)
{
    const bool pooled = Row->m_Pooled;
    void* room = dynamic_cast<void*>(Row); // the whole object, whichever kind of row it is
    Row->~TListRow();
    if (pooled)
        TChunkArena::Release(room);
    else
        ::operator delete(room);
}

void TListRow::GiveBackLeft(TListRow* Row) noexcept
{
    // Any address inside a block names its chunk; the row itself is not read.
    TChunkArena::Release(Row);
}

bool TListRow::SetParam(Win::LPARAM Param)
{
    if (m_Pooled)
        return Param == this->Param();
    m_Word = static_cast<std::uintptr_t>(Param);
    return true;
}
