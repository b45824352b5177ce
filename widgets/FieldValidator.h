#pragma once

#include <QValidator>

#include <array>

// Keeps out of a text field what the data file cannot hold (characters outside Windows-1250,
// and TAB, CR, LF, Ctrl-Z and NUL, which would split a record or end the file), on every path
// into the field: typing, pasting, dropping and input methods. A field filled from a record
// that already holds such bytes keeps them and stays editable: only more of them are refused.
class TFieldValidator final : public QValidator
{
    Q_OBJECT
public:
    using QValidator::QValidator;

    // The text a field was filled with: the bytes it may keep.
    void AllowWhatIsIn(const QString& Text);
    // As above for a pick list: whatever any of its entries holds.
    void AllowWhatIsIn(const QStringList& Texts);
    // Adds to what is allowed whatever one more entry holds.
    void AllowAlsoWhatIsIn(const QString& Text);

    State validate(QString& Input, int& Position) const override;

    // True when the text can go into the file as it is.
    static bool IsStorable(const QString& Text);

private:
    // TAB, LF, CR, Ctrl-Z and NUL, counted in this order.
    using TCounts = std::array<qsizetype, 5>;
    static bool Count(const QString& Text, TCounts& Counts);

    TCounts m_Allowed{};
};
