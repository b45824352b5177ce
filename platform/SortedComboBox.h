#pragma once

#include <QComboBox>
#include <QValidator>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class QStringListModel;

// Refuses text that a Windows-1250 data file cannot hold, or that would split its fields
// and lines (TAB, CR, LF, Ctrl-Z).
class TCp1250Validator final : public QValidator
{
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString& Input, int& Position) const override;
    static bool IsStorable(const QString& Text);
};

// A pick list that keeps its entries in ascending order, ignoring case, by the locale's
// collation. Entries are Windows-1250 texts. Setting the selection from code raises no
// OnChange; only the user's choice does.
class TSortedComboBox final : public QComboBox
{
    Q_OBJECT
public:
    enum TStyle
    {
        csDropDownList,
        csDropDown
    };

    explicit TSortedComboBox(TStyle Style, QWidget* Parent = nullptr);

    // Inserts at the sorted place, after entries that compare equal; returns the index.
    int Add(std::string_view Entry);
    // Adds many at once: the entries are sorted once at EndUpdate.
    void BeginUpdate();
    void EndUpdate();
    void Clear();
    int Count() const { return count(); }
    std::string Item(int Index) const;
    int FindIgnoreCase(std::string_view Text) const;
    void Delete(int Index);
    void AssignEntries(const TSortedComboBox& Source);

    int ItemIndex() const { return currentIndex(); }
    void SetItemIndex(int Index);
    // The selected entry, or the typed text of an editable pick list.
    std::string Text() const;
    void SetText(std::string_view Text);

    std::function<void(QObject*)> OnChange;

private:
    QStringListModel* m_Model;
    std::vector<QString> m_Pending;
    int m_UpdateCount = 0;
};
