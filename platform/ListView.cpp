#include "ListView.h"

#include <algorithm>
#include <utility>

#include <QVBoxLayout>

using namespace Win;

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
