#pragma once

#include "PickListSorter.h"

#include <QComboBox>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class TPickListModel;
class TFieldValidator;

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
    // Deletes the entry spelt exactly so; false when there is none.
    bool Remove(std::string_view Entry);
    void AssignEntries(const TSortedComboBox& Source);

    int ItemIndex() const { return currentIndex(); }
    void SetItemIndex(int Index);
    // The selected entry, or the typed text of an editable pick list.
    std::string Text() const;
    void SetText(std::string_view Text);

    std::function<void(QObject*)> OnChange;

private:
    // An editable pick list takes what its entries hold, and no more of what the file
    // cannot store.
    void EntriesChanged();

    // The whole entry at Index; the model shows a long one cut.
    QString Entry(int Index) const;

    TPickListModel* m_Model;
    TFieldValidator* m_Validator = nullptr;
    // Entries added inside an update, as given, back to back: m_PendingEnds[i] ends entry i.
    std::string m_PendingBytes;
    std::vector<std::size_t> m_PendingEnds;
    bool m_ClearedInUpdate = false;
    int m_UpdateCount = 0;
    // Sorts what an update that started from an empty list brings, and remembers it: a
    // refresh after an edit that changed no kind or shelf sorts nothing. What it remembers is
    // how those entries sort, whatever the list holds since, so entries added or deleted one
    // at a time leave it as it is.
    TPickListSorter m_Sorter;
};
