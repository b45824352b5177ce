// The rows of a base list view: each item and the collection of them, over the control's rows.
#include "ListView.h"

#include <algorithm>
#include <new>
#include <utility>

using namespace Win;

// --- TListItem --------------------------------------------------------------------------------

// Two lists of a million rows each: every word a row keeps costs 16 MB.
static_assert(sizeof(TListItem) <= 32);

std::unique_ptr<TListItem> TListItem::Make(TChunkArena& Pool)
{
    void* room = Pool.Allocate(sizeof(TListItem));
    if (!room)
        throw std::bad_alloc();
    return std::unique_ptr<TListItem>(::new (room) TListItem());
}

void TListItem::Replace(TRowText Texts)
{
    // The list is told what the texts were, for whoever follows what its rows hold.
    const TRowText before = std::exchange(Text, std::move(Texts));
    Owner().Control().RowTextReplaced(this, before);
}

void TListItem::SetCaption(std::string_view Caption)
{
    Replace(Text.WithField(0, Caption));
}

void TListItem::AddSubItem(std::string_view SubItem)
{
    Replace(Text.WithField(std::max(1, Text.FieldCount()), SubItem));
}

void TListItem::SetSubItem(int Index, std::string_view SubItem)
{
    if (Index < 0)
        return;
    Replace(Text.WithField(Index + 1, SubItem));
}

void TListItem::ClearSubItems()
{
    Replace(TRowText::FromFields({Text.Caption()}));
}

void TListItem::SetTexts(TRowText Texts)
{
    Replace(std::move(Texts));
}

int TListItem::Index() const
{
    return Owner().Control().IndexOfRow(this);
}

bool TListItem::Selected() const
{
    const int sel = Owner().Control().SelectedRow();
    return sel >= 0 && Owner().Control().Row(sel) == this;
}

void TListItem::SetSelected(bool Selected)
{
    if (Selected)
        Owner().Control().SetSelectedRow(Index());
    else if (this->Selected())
        Owner().Control().SetSelectedRow(-1);
}

bool TListItem::Checked() const
{
    const auto state = static_cast<UINT>(
        Owner().Control().SendMessage(LVM_GETITEMSTATE, WPARAM(Index()), LVIS_STATEIMAGEMASK));
    return state == INDEXTOSTATEIMAGEMASK(2);
}

void TListItem::SetChecked(bool Checked)
{
    TListControl& control = Owner().Control();
    if (!(control.ExtendedStyle() & LVS_EX_CHECKBOXES))
        control.SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES, LVS_EX_CHECKBOXES);
    LVITEM item;
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(Checked ? 2 : 1);
    control.SendMessage(LVM_SETITEMSTATE, WPARAM(Index()), reinterpret_cast<LPARAM>(&item));
}

namespace {

void SendImage(TListControl& Control, int Row, int Field, int Value)
{
    LVITEM item;
    item.mask = LVIF_IMAGE;
    item.iItem = Row;
    item.iSubItem = Field;
    item.iImage = Value;
    Control.SendMessage(LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

int AskImage(TListControl& Control, int Row, int Field)
{
    LVITEM item;
    item.mask = LVIF_IMAGE;
    item.iItem = Row;
    item.iSubItem = Field;
    item.iImage = -1;
    Control.SendMessage(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return item.iImage;
}

} // namespace

int TListItem::ImageIndex() const
{
    return AskImage(Owner().Control(), Index(), 0);
}

void TListItem::SetImageIndex(int Value)
{
    SendImage(Owner().Control(), Index(), 0, Value);
}

int TListItem::SubItemImage(int Index) const
{
    return Index < 0 ? -1 : AskImage(Owner().Control(), this->Index(), Index + 1);
}

void TListItem::SetSubItemImage(int Index, int Value)
{
    if (Index >= 0)
        SendImage(Owner().Control(), this->Index(), Index + 1, Value);
}

void TListItem::SetOverlayIndex(int Slot)
{
    LVITEM item;
    item.stateMask = LVIS_OVERLAYMASK;
    item.state = INDEXTOOVERLAYMASK(static_cast<UINT>(std::clamp(Slot, -1, 3) + 1));
    Owner().Control().SendMessage(LVM_SETITEMSTATE, WPARAM(Index()),
                                  reinterpret_cast<LPARAM>(&item));
}

bool TListItem::Focused() const
{
    return Owner().Control().SendMessage(LVM_GETITEMSTATE, WPARAM(Index()), LVIS_FOCUSED) != 0;
}

void TListItem::Delete()
{
    Owner().Control().DeleteRow(Index()); // frees this object
}

// --- TListItems -------------------------------------------------------------------------------

TListItem* TListItems::Add()
{
    return Insert(-1, TRowText());
}

TListItem* TListItems::Add(TRowText Texts)
{
    return Insert(-1, std::move(Texts));
}

namespace {

// Appends rows made in the owner's pool at once, up to Count of them, while Fill makes one:
// Fill is known here, so that a million rows pass through no function object of their own.
template <typename TFill> void AppendMade(TCustomListView& Owner, std::size_t Count, TFill&& Fill)
{
    Owner.HandleNeeded();
    TChunkArena& pool = Owner.RowPool();
    pool.Expect(Count * sizeof(TListItem));
    // A million items told of one by one would cost a million calls for nothing.
    const bool told = Owner.HearsOfInsertions();
    const int before = Owner.Items().Count();
    Owner.Control().AppendRows(
        Count,
        [&]() -> std::unique_ptr<TListRow> {
            auto item = TListItem::Make(pool);
            if (!Fill(*item))
                return nullptr; // nothing more: the row made for it goes
            return item;
        },
        told);
    if (!told && Owner.Items().Count() > before)
        Owner.InsertedAtOnce();
}

} // namespace

void TListItems::AddEach(std::size_t Count, const std::function<void(TListItem&)>& Fill)
{
    AppendMade(m_Owner, Count, [&](TListItem& Item) {
        Fill(Item);
        return true;
    });
}

void TListItems::AddWhile(std::size_t Expected, const std::function<bool(TListItem&)>& Fill)
{
    AppendMade(m_Owner, Expected, Fill);
}

TListItem* TListItems::Insert(int Index)
{
    return Insert(Index, TRowText());
}

TListItem* TListItems::Insert(int Index, TRowText Texts)
{
    m_Owner.HandleNeeded();
    // A virtual list holds no items: its owner keeps the rows.
    if (m_Owner.Control().OwnerData())
        return nullptr;
    auto item = TListItem::Make(m_Owner.RowPool());
    item->Text = std::move(Texts);
    TListItem* raw = item.get();
    return m_Owner.Control().InsertRow(Index, std::move(item)) >= 0 ? raw : nullptr;
}

void TListItems::Delete(int Index)
{
    m_Owner.Control().DeleteRow(Index);
}

void TListItems::DeleteIf(const std::function<bool(const TListItem&)>& Doomed)
{
    m_Owner.Control().DeleteRowsIf(
        [&Doomed](const TListRow& Row) { return Doomed(static_cast<const TListItem&>(Row)); });
}

void TListItems::Clear()
{
    m_Owner.Control().DeleteAllRows();
}

void TListItems::ClearLeavingTexts()
{
    m_Owner.Control().DeleteAllRowsLeavingTexts();
}

void TListItems::BeginUpdate()
{
    ++m_UpdateCount;
    m_Owner.Control().BeginUpdate();
}

void TListItems::EndUpdate()
{
    if (m_UpdateCount == 0)
        return;
    --m_UpdateCount;
    m_Owner.Control().EndUpdate();
}
