#include "SortedComboBox.h"

#include "Cp1250.h"
#include "FieldValidator.h"
#include "Locale.h"
#include "PickListModel.h"

#include <QLineEdit>

#include <algorithm>
#include <limits>
#include <utility>

namespace {
// The order the entries stand in.
bool CollatesBefore(const QString& Left, const QString& Right)
{
    return Locale::CompareTextIgnoreCase(Left, Right) < 0;
}
} // namespace

TSortedComboBox::TSortedComboBox(TStyle Style, QWidget* Parent)
    : QComboBox(Parent), m_Model(new TPickListModel(this))
{
    setModel(m_Model);
    // Drop down as a list of at most maxVisibleItems rows below the box; the style's own
    // popup would cover the screen with a long list.
    setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    setEditable(Style == csDropDown);
    setInsertPolicy(QComboBox::NoInsert);
    if (Style == csDropDown) {
        m_Validator = new TFieldValidator(this);
        lineEdit()->setValidator(m_Validator);
        lineEdit()->setMaxLength(std::numeric_limits<int>::max());
        setCompleter(nullptr);
    }
    connect(this, &QComboBox::activated, this, [this](int) {
        if (OnChange)
            OnChange(this);
    });
}

int TSortedComboBox::Add(std::string_view Entry)
{
    if (m_UpdateCount > 0) {
        m_PendingBytes.append(Entry);
        m_PendingEnds.push_back(m_PendingBytes.size());
        return -1;
    }
    const QString text = Cp1250::ToUnicode(Entry);
    const QStringList& list = m_Model->stringList();
    const auto at = std::upper_bound(list.begin(), list.end(), text, CollatesBefore);
    const int index = static_cast<int>(at - list.begin());
    const QString keep = currentText();
    const bool editable = isEditable();
    m_Model->insertRows(index, 1);
    m_Model->setData(m_Model->index(index), text);
    if (m_Validator)
        m_Validator->AllowAlsoWhatIsIn(text); // one entry more: no need to look at all again
    if (editable)
        setEditText(keep);
    return index;
}

void TSortedComboBox::BeginUpdate()
{
    ++m_UpdateCount;
}

void TSortedComboBox::EndUpdate()
{
    if (m_UpdateCount == 0 || --m_UpdateCount > 0)
        return;
    const bool fromEmpty = std::exchange(m_ClearedInUpdate, false) && m_Model->rowCount() == 0;
    const QString keep = currentText();
    if (fromEmpty) {
        m_Model->setStringList(m_Sorter.Sorted(std::move(m_PendingBytes), m_PendingEnds));
    } else {
        QStringList all = m_Model->stringList();
        for (std::size_t i = 0, start = 0; i < m_PendingEnds.size(); start = m_PendingEnds[i++])
            all.push_back(Cp1250::ToUnicode(
                std::string_view(m_PendingBytes).substr(start, m_PendingEnds[i] - start)));
        TPickListSorter::SortOnce(all);
        m_Model->setStringList(all);
        m_Sorter.Forget();
    }
    m_PendingBytes.clear();
    m_PendingEnds.clear();
    EntriesChanged();
    if (isEditable())
        setEditText(keep);
    else
        setCurrentIndex(-1);
}

void TSortedComboBox::Clear()
{
    m_PendingBytes.clear();
    m_PendingEnds.clear();
    if (m_UpdateCount > 0)
        m_ClearedInUpdate = true;
    else
        m_Sorter.Forget();
    const QString keep = currentText();
    m_Model->setStringList({});
    EntriesChanged();
    if (isEditable())
        setEditText(keep);
}

std::string TSortedComboBox::Item(int Index) const
{
    if (Index < 0 || Index >= count())
        return {};
    return Cp1250::FromUnicode(Entry(Index)).value_or(std::string());
}

int TSortedComboBox::FindIgnoreCase(std::string_view Text) const
{
    const QString wanted = Cp1250::ToUnicode(Text);
    const QStringList& list = m_Model->stringList();
    for (qsizetype i = 0; i < list.size(); ++i)
        if (Locale::SameTextIgnoreCase(list[i], wanted))
            return static_cast<int>(i);
    return -1;
}

void TSortedComboBox::Delete(int Index)
{
    if (Index >= 0 && Index < count()) {
        m_Model->removeRows(Index, 1);
        EntriesChanged();
    }
}

bool TSortedComboBox::Remove(std::string_view Entry)
{
    const QString text = Cp1250::ToUnicode(Entry);
    const QStringList& list = m_Model->stringList();
    // The entry stands among those that collate equal to it: found in a few comparisons even
    // in a list of a hundred thousand shelves.
    auto at = std::lower_bound(list.begin(), list.end(), text, CollatesBefore);
    for (; at != list.end() && Locale::CompareTextIgnoreCase(*at, text) == 0; ++at) {
        if (*at == text) {
            Delete(static_cast<int>(at - list.begin()));
            return true;
        }
    }
    return false;
}

void TSortedComboBox::AssignEntries(const TSortedComboBox& Source)
{
    m_Sorter.Forget();
    m_PendingBytes.clear();
    m_PendingEnds.clear();
    const QString keep = currentText();
    m_Model->setStringList(Source.m_Model->stringList());
    EntriesChanged();
    if (isEditable())
        setEditText(keep);
    else
        setCurrentIndex(-1);
}

void TSortedComboBox::SetItemIndex(int Index)
{
    const QSignalBlocker block(this);
    setCurrentIndex(Index >= 0 && Index < count() ? Index : -1);
    if (isEditable() && currentIndex() < 0)
        setEditText(QString());
}

QString TSortedComboBox::Entry(int Index) const
{
    const QStringList& list = m_Model->stringList();
    return Index >= 0 && Index < list.size() ? list.at(Index) : QString();
}

std::string TSortedComboBox::Text() const
{
    // A list without typing shows its entry cut; the program works with the whole of it.
    const QString text = isEditable() ? currentText() : Entry(currentIndex());
    return Cp1250::FromUnicode(text).value_or(std::string());
}

void TSortedComboBox::SetText(std::string_view Text)
{
    const QSignalBlocker block(this);
    const QString text = Cp1250::ToUnicode(Text);
    if (isEditable()) {
        setEditText(text);
        return;
    }
    setCurrentIndex(static_cast<int>(m_Model->stringList().indexOf(text)));
}

void TSortedComboBox::EntriesChanged()
{
    if (m_Validator)
        m_Validator->AllowWhatIsIn(m_Model->stringList());
}
