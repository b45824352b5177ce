#pragma once

#include "CollationCut.h"
#include "PrimaryRanks.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

struct UCollator;

// Collation keys and comparisons as Locale::TextSortKey and CompareText make them, from a copy
// of the collation of its own: a thread with one makes keys while another makes its own.
class TTextKeyMaker
{
public:
    // A copy of the collation in use now; made on the thread that uses Locale. Throws
    // std::bad_alloc when no copy can be had.
    TTextKeyMaker();
    ~TTextKeyMaker();
    TTextKeyMaker(const TTextKeyMaker&) = delete;
    TTextKeyMaker& operator=(const TTextKeyMaker&) = delete;

    void Make(std::string_view Text, std::string& Key);
    int Compare(std::string_view Left, std::string_view Right);

private:
    struct TCloser
    {
        void operator()(UCollator* Collator) const;
    };
    std::unique_ptr<UCollator, TCloser> m_Collator;
    // Copies of Locale's, where made (long lists): they serve this maker's thread.
    std::optional<TCollationCut> m_Cut;
    std::optional<TPrimaryRanks> m_Ranks;
    std::u16string m_Room;
    std::u16string m_OtherRoom;
};
