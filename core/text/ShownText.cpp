#include "ShownText.h"

#include "Cp1250.h"

namespace ShownText {

QString Of(const QString& Text)
{
    if (Text.size() <= kLimit)
        return Text;
    return Text.left(kLimit) + QChar(0x2026);
}

QString Of(std::string_view Cp1250Bytes)
{
    // One byte is one character, so the cut comes before the conversion.
    if (Cp1250Bytes.size() <= std::size_t(kLimit))
        return Cp1250::ToUnicode(Cp1250Bytes);
    return Cp1250::ToUnicode(Cp1250Bytes.substr(0, std::size_t(kLimit))) + QChar(0x2026);
}

} // namespace ShownText
