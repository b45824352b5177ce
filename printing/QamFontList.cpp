#include "QamFontList.h"

#include <stdexcept>
#include <string>

TFont* TQamFontList::Add()
{
    m_Fonts.push_back(std::make_unique<TFont>());
    return m_Fonts.back().get();
}

TFont* TQamFontList::Fonts(int Index)
{
    if (Index < 0 || Index >= Count())
        throw std::out_of_range("List index out of bounds (" + std::to_string(Index) + ")");
    return m_Fonts[static_cast<std::size_t>(Index)].get();
}

void TQamFontList::Truncate(int NewCount)
{
    if (NewCount >= 0 && NewCount < Count())
        m_Fonts.resize(static_cast<std::size_t>(NewCount));
}
