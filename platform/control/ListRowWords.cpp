#include "ListRowWords.h"

#include "SplitWork.h"

using namespace Win;

void TRowKeyWords::First(std::vector<KeyOrder::TWordEntry>& Entries)
{
    // How many rows' words make it worth a second thread to read half of them: a word costs
    // a memory access or two, a thread tens of microseconds.
    constexpr std::size_t kLeastPerThread = 16384;
    constexpr std::size_t ahead = ReadAhead::kRows;
    const std::size_t count = m_Rows.size();
    TSplitWork::Run(count, kLeastPerThread, [&](int, std::size_t Begin, std::size_t End) {
        for (std::size_t i = Begin; i < End; ++i) {
            if (i + 2 * ahead < End)
                ReadAhead::Ask(m_Rows[i + 2 * ahead].get());
            if (i + ahead < End)
                m_Rows[i + ahead]->Text.ReadAhead();
            KeyOrder::TWordEntry& entry = Entries[i];
            entry.Row = static_cast<std::uint32_t>(i);
            entry.State = 0;
            Read(entry, 0);
        }
    });
}

void TRowKeyWords::Read(KeyOrder::TWordEntry& Entry, std::size_t)
{
    try {
        if (m_Sort.KeyWords(m_Rows[Entry.Row]->Param(), m_Sort.SortParam, Entry.State, Entry.Word,
                            Entry.Word2))
            return;
    } catch (...) {
    }
    Entry.Word = Entry.Word2 = 0;
    m_Failed.store(true, std::memory_order_relaxed);
}
