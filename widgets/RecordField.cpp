#include "RecordField.h"

#include "Cp1250.h"
#include "FieldValidator.h"

#include <limits>

TRecordField::TRecordField(QWidget* Parent)
    : QLineEdit(Parent), m_Validator(new TFieldValidator(this))
{
    // Records have no length limit; the default of 32 767 would cut long ones.
    setMaxLength(std::numeric_limits<int>::max());
    setValidator(m_Validator);
}

void TRecordField::SetBytes(std::string_view Bytes)
{
    m_FilledBytes.assign(Bytes);
    m_FilledText = Cp1250::ToUnicode(Bytes);
    // The validator must accept the record's own bytes before the text goes in.
    m_Validator->AllowWhatIsIn(m_FilledText);
    setText(m_FilledText);
    setCursorPosition(0);
}

std::optional<std::string> TRecordField::Bytes() const
{
    const QString now = text();
    if (!m_FilledText.isEmpty() && now == m_FilledText)
        return m_FilledBytes;
    return Cp1250::FromUnicode(now);
}
