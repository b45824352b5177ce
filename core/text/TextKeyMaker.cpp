#include "TextKeyMaker.h"

#include "Locale.h"

#include <unicode/ucol.h>

#include <new>

TTextKeyMaker::TTextKeyMaker()
{
    if (const TCollationCut* cut = Locale::CaseSensitiveCut())
        m_Cut = *cut;
    if (const TPrimaryRanks* ranks = Locale::CaseSensitivePrimaryRanks())
        m_Ranks = *ranks;
    UErrorCode status = U_ZERO_ERROR;
    m_Collator.reset(ucol_clone(Locale::CaseSensitiveCollator(), &status));
    if (U_FAILURE(status) || !m_Collator)
        throw std::bad_alloc();
}

TTextKeyMaker::~TTextKeyMaker() = default;

void TTextKeyMaker::TCloser::operator()(UCollator* Collator) const
{
    ucol_close(Collator);
}

void TTextKeyMaker::Make(std::string_view Text, std::string& Key)
{
    Locale::TextSortKeyWith(m_Collator.get(), Text, m_Room, Key);
}

int TTextKeyMaker::Compare(std::string_view Left, std::string_view Right)
{
    return Locale::CompareTextWith(m_Collator.get(), m_Cut ? &*m_Cut : nullptr,
                                   m_Ranks ? &*m_Ranks : nullptr, Left, Right, m_Room, m_OtherRoom);
}
