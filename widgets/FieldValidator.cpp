#include "FieldValidator.h"

#include "Cp1250.h"

#include <algorithm>

namespace {

// The index of a character that splits a record or ends the file, or -1.
int SplitterIndex(char16_t Character)
{
    switch (Character) {
    case u'\t':
        return 0;
    case u'\n':
        return 1;
    case u'\r':
        return 2;
    case 0x1A:
        return 3;
    case 0:
        return 4;
    default:
        return -1;
    }
}

} // namespace

bool TFieldValidator::Count(const QString& Text, TCounts& Counts)
{
    Counts.fill(0);
    for (const QChar c : Text) {
        const int splitter = SplitterIndex(c.unicode());
        if (splitter >= 0)
            ++Counts[static_cast<std::size_t>(splitter)];
        else if (!Cp1250::CanEncode(c))
            return false;
    }
    return true;
}

bool TFieldValidator::IsStorable(const QString& Text)
{
    TCounts counts;
    return Count(Text, counts) &&
           std::all_of(counts.begin(), counts.end(), [](qsizetype n) { return n == 0; });
}

void TFieldValidator::AllowWhatIsIn(const QString& Text)
{
    // Text that came from the file always converts; anything else allows nothing.
    if (!Count(Text, m_Allowed))
        m_Allowed.fill(0);
}

void TFieldValidator::AllowWhatIsIn(const QStringList& Texts)
{
    m_Allowed.fill(0);
    for (const QString& text : Texts)
        AllowAlsoWhatIsIn(text);
}

void TFieldValidator::AllowAlsoWhatIsIn(const QString& Text)
{
    TCounts counts;
    if (Count(Text, counts))
        for (std::size_t i = 0; i < counts.size(); ++i)
            m_Allowed[i] = std::max(m_Allowed[i], counts[i]);
}

QValidator::State TFieldValidator::validate(QString& Input, int&) const
{
    TCounts counts;
    if (!Count(Input, counts))
        return Invalid;
    for (std::size_t i = 0; i < counts.size(); ++i)
        if (counts[i] > m_Allowed[i])
            return Invalid;
    return Acceptable;
}
