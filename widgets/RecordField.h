#pragma once

#include <QLineEdit>

#include <optional>
#include <string>
#include <string_view>

class TFieldValidator;

// A single-line field that holds one Windows-1250 field of a record: text of any length, what
// it was filled with given back byte for byte while the user leaves it alone, and nothing that
// the data file cannot hold let in.
class TRecordField final : public QLineEdit
{
    Q_OBJECT
public:
    explicit TRecordField(QWidget* Parent = nullptr);

    // Fills the field from a record's bytes.
    void SetBytes(std::string_view Bytes);
    // The field as bytes; empty only if the field holds text the file cannot store, which
    // the validator does not let in.
    std::optional<std::string> Bytes() const;

private:
    TFieldValidator* m_Validator;
    std::string m_FilledBytes;
    QString m_FilledText;
};
