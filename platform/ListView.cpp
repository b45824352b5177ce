#include "ListView.h"

#include <algorithm>
#include <new>
#include <utility>

#include <QVBoxLayout>

using namespace Win;

namespace {
int FormatOf(TAlignment Alignment)
{
    switch (Alignment) {
    case taRightJustify:
        return LVCFMT_RIGHT;
    case taCenter:
        return LVCFMT_CENTER;
    default:
        return LVCFMT_LEFT;
    }
}
} // namespace

// --- TListItem --------------------------------------------------------------------------------

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

TListItem* TListItems::Insert(int Index)
{
    return Insert(Index, TRowText());
}

TListItem* TListItems::Insert(int Index, TRowText Texts)
{
    m_Owner.HandleNeeded();
    auto item = TListItem::Make(m_Owner.RowPool());
    item->Text = std::move(Texts);
    TListItem* raw = item.get();
    m_Owner.Control().InsertRow(Index, std::move(item));
    return raw;
}

void TListItems::Delete(int Index)
{
    m_Owner.Control().DeleteRow(Index);
}

void TListItems::Clear()
{
    m_Owner.Control().DeleteAllRows();
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

// --- TListColumn(s) ---------------------------------------------------------------------------

void TListColumn::SetCaption(std::string_view Caption)
{
    m_Caption = std::string(Caption);
    m_Owner.Control().SetColumnCaption(m_Index, m_Caption);
}

int TListColumn::Width() const
{
    return m_Owner.Control().ColumnCount() > m_Index ? m_Owner.Control().ColumnWidth(m_Index)
                                                     : m_Width;
}

void TListColumn::SetWidth(int Width)
{
    m_Owner.Control().SetColumnWidth(m_Index, Width);
    m_Width = m_Owner.Control().ColumnWidth(m_Index);
}

void TListColumn::SetAlignment(TAlignment Alignment)
{
    m_Alignment = Alignment;
    m_Owner.Control().SetColumnFormat(m_Index, FormatOf(Alignment));
}

TListColumn* TListColumns::Add()
{
    const int index = Count();
    m_Columns.push_back(std::make_unique<TListColumn>(m_Owner, index));
    TListControl::TColumn column;
    column.Width = m_Columns.back()->LastSetWidth();
    column.SubItem = index;
    m_Owner.Control().InsertColumn(index, column);
    return m_Columns.back().get();
}

TListColumn* TListColumns::Items(int Index) const
{
    if (Index < 0 || Index >= Count())
        return nullptr;
    return m_Columns[static_cast<std::size_t>(Index)].get();
}

void TListColumns::Delete(int Index)
{
    if (Index < 0 || Index >= Count())
        return;
    m_Columns.erase(m_Columns.begin() + Index);
    for (int i = Index; i < Count(); ++i)
        m_Columns[static_cast<std::size_t>(i)]->SetIndex(i);
    SendAll();
}

void TListColumns::Clear()
{
    m_Columns.clear();
    SendAll();
}

// Rebuilds the control's columns so that column k shows sub-item k - 1 again.
void TListColumns::SendAll()
{
    TListControl& control = m_Owner.Control();
    while (control.ColumnCount() > 0)
        control.DeleteColumn(control.ColumnCount() - 1);
    for (const auto& c : m_Columns) {
        TListControl::TColumn column;
        column.Caption = c->Caption();
        column.Width = c->LastSetWidth();
        column.Format = FormatOf(c->Alignment());
        column.HeaderFormat = HDF_STRING | column.Format;
        column.SubItem = c->Index();
        control.InsertColumn(c->Index(), column);
    }
}

// --- TCustomListView --------------------------------------------------------------------------

TCustomListView::TCustomListView(QWidget* Parent)
    : QWidget(Parent), m_Control(new TListControl(this)), m_Items(*this), m_Columns(*this),
      m_Color(palette().color(QPalette::Base))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_Control);
    setFocusProxy(m_Control);
    m_Control->SetOwner([this](UINT Msg, WPARAM W, LPARAM L) { return WndProc(Msg, W, L); });
}

TCustomListView::~TCustomListView()
{
    m_Control->SetOwner(nullptr);
}

TListItem* TCustomListView::Selected() const
{
    return static_cast<TListItem*>(m_Control->Row(m_Control->SelectedRow()));
}

void TCustomListView::SetSelected(TListItem* Item)
{
    m_Control->SetSelectedRow(Item ? Item->Index() : -1);
}

void TCustomListView::HandleNeeded()
{
    if (m_HandleAllocated)
        return;
    m_HandleAllocated = true;
    TCreateParams params;
    CreateParams(params);
    m_Control->SetWindowStyle(params.Style);
    CreateWnd();
}

void TCustomListView::RecreateWnd()
{
    if (!m_HandleAllocated)
        return;
    try {
        DestroyHandle();
    } catch (...) {
        HandleNeeded(); // the list keeps a window whatever its end work raised
        throw;
    }
    HandleNeeded();
}

void TCustomListView::DestroyHandle()
{
    if (!m_HandleAllocated)
        return;
    // The window goes even when the work at its end raises.
    auto gone = [this] {
        m_HandleAllocated = false;
        m_Control->ResetWindowState();
    };
    try {
        DestroyWnd();
    } catch (...) {
        gone();
        throw;
    }
    gone();
}

void TCustomListView::CreateParams(TCreateParams& Params)
{
    // Image lists belong to whoever set them, not to the control.
    Params.Style = LVS_REPORT | LVS_SHAREIMAGELISTS;
    if (!m_MultiSelect)
        Params.Style |= LVS_SINGLESEL;
}

void TCustomListView::CreateWnd()
{
    if (m_SmallImages)
        Perform(LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(m_SmallImages.data()));
    if (m_StateImages)
        Perform(LVM_SETIMAGELIST, LVSIL_STATE, reinterpret_cast<LPARAM>(m_StateImages.data()));
}

void TCustomListView::SetMultiSelect(bool Value)
{
    if (Value == m_MultiSelect)
        return;
    m_MultiSelect = Value;
    RecreateWnd();
}

void TCustomListView::SetStateImages(TImageList* Images)
{
    m_StateImages = Images;
    if (m_HandleAllocated)
        Perform(LVM_SETIMAGELIST, LVSIL_STATE, reinterpret_cast<LPARAM>(Images));
}

void TCustomListView::SetSmallImages(TImageList* Images)
{
    m_SmallImages = Images;
    if (m_HandleAllocated)
        Perform(LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(Images));
}

void TCustomListView::DestroyWnd()
{
    WndProc(WM_DESTROY, 0, 0);
}

void TCustomListView::Loaded()
{
    m_Loading = false;
}

void TCustomListView::SetColor(const QColor& Color)
{
    m_Color = Color;
    QPalette p = m_Control->View()->palette();
    p.setColor(QPalette::Base, Color);
    m_Control->View()->setPalette(p);
}

LRESULT TCustomListView::Perform(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    return m_Control->SendMessage(Msg, WParam, LParam);
}

LRESULT TCustomListView::WndProc(UINT Msg, WPARAM, LPARAM LParam)
{
    if (Msg == WM_NOTIFY && LParam)
        return CNNotify(*reinterpret_cast<NMHDR*>(LParam));
    return 0;
}

LRESULT TCustomListView::CNNotify(NMHDR& Header)
{
    switch (Header.code) {
    case LVN_COLUMNCLICK: {
        const auto& nm = reinterpret_cast<NMLISTVIEW&>(Header);
        ColClick(m_Columns.Items(nm.iSubItem));
        return 0;
    }
    case LVN_INSERTITEM: {
        const auto& nm = reinterpret_cast<NMLISTVIEW&>(Header);
        InsertItem(reinterpret_cast<TListItem*>(nm.lParam));
        return 0;
    }
    case LVN_ENDLABELEDITA: {
        const auto& nm = reinterpret_cast<LVDISPINFO&>(Header);
        if (nm.item.pszText)
            Edit(nm.item);
        return 1;
    }
    case NM_DBLCLK:
        DblClick();
        return 0;
    default:
        return 0;
    }
}

void TCustomListView::ColClick(TListColumn* Column)
{
    if (OnColumnClick)
        OnColumnClick(this, Column);
}

void TCustomListView::InsertItem(TListItem* Item)
{
    if (OnInsert)
        OnInsert(this, Item);
}

void TCustomListView::Edit(const LVITEM& Item)
{
    TListItem* item = m_Items.Item(Item.iItem);
    if (!item)
        return;
    std::string text = Item.pszText;
    if (OnEdited)
        OnEdited(this, item, text);
    item->SetCaption(text);
}

void TCustomListView::DblClick()
{
    if (OnDblClick)
        OnDblClick(this);
}

bool TCustomListView::CustomSort(PFNLVCOMPARE Compare, LPARAM Param)
{
    if (!m_HandleAllocated)
        return false;
    return Perform(LVM_SORTITEMS, static_cast<WPARAM>(Param), reinterpret_cast<LPARAM>(Compare)) !=
           0;
}
