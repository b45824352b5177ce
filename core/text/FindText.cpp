#include "FindText.h"

#include "Cp1250.h"

#include <QChar>
#include <QString>

#include <array>

namespace FindText {

namespace {

// Each byte's bare small letter: the Unicode decomposition's first character, folded; the
// letters without one ("ł", "đ") by hand; anything that does not come back to one byte of the
// code page stays as it is, folded for case only.
std::array<unsigned char, 256> MakeTable()
{
    std::array<unsigned char, 256> table{};
    for (int b = 0; b < 256; ++b) {
        const QChar c = Cp1250::ToUnicode(static_cast<unsigned char>(b));
        QChar bare = c.decomposition().isEmpty() ? c : c.decomposition().at(0);
        if (c == QChar(0x0141) || c == QChar(0x0142)) // Ł ł
            bare = QLatin1Char('l');
        else if (c == QChar(0x0110) || c == QChar(0x0111)) // Đ đ
            bare = QLatin1Char('d');
        const std::optional<std::string> back = Cp1250::FromUnicode(QString(bare.toLower()));
        table[std::size_t(b)] = back && back->size() == 1
                                    ? static_cast<unsigned char>((*back)[0])
                                    : Cp1250::FoldCase(static_cast<unsigned char>(b));
    }
    return table;
}

const std::array<unsigned char, 256>& Table()
{
    static const std::array<unsigned char, 256> table = MakeTable();
    return table;
}

} // namespace

unsigned char Fold(unsigned char Byte)
{
    return Table()[Byte];
}

std::string Folded(std::string_view Text)
{
    std::string folded(Text.size(), '\0');
    const auto& table = Table();
    for (std::size_t i = 0; i < Text.size(); ++i)
        folded[i] = static_cast<char>(table[static_cast<unsigned char>(Text[i])]);
    return folded;
}

bool Contains(std::string_view Haystack, std::string_view Needle)
{
    if (Needle.empty())
        return true;
    if (Needle.size() > Haystack.size())
        return false;
    const auto& table = Table();
    const auto first = static_cast<unsigned char>(Needle[0]);
    const std::size_t last = Haystack.size() - Needle.size();
    for (std::size_t i = 0; i <= last; ++i) {
        if (table[static_cast<unsigned char>(Haystack[i])] != first)
            continue;
        std::size_t k = 1;
        while (k < Needle.size() && table[static_cast<unsigned char>(Haystack[i + k])] ==
                                        static_cast<unsigned char>(Needle[k]))
            ++k;
        if (k == Needle.size())
            return true;
    }
    return false;
}

} // namespace FindText
