#pragma once

#include "Printing.h"

#include <memory>
#include <vector>

// The per-column fonts of the list printer, index = column index.
class TQamFontList
{
public:
    TFont* Add();
    TFont* Fonts(int Index); // throws std::out_of_range "List index out of bounds (%d)"
    int Count() const { return static_cast<int>(m_Fonts.size()); }
    void Clear() { m_Fonts.clear(); }
    void Truncate(int Count);

private:
    std::vector<std::unique_ptr<TFont>> m_Fonts;
};
