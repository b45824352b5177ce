// The sorting level: its properties, the sort state, and the list's life (window creation,
// end of loading, notifications).
#include "EnhListView.h"

#include "BuiltInSort.h"

#include <QHeaderView>
#include <QTimer>

using namespace Win;

TCustomEnhListView::TCustomEnhListView(QWidget* Parent)
    : TCustomListView(Parent), m_SaveSettings(std::make_unique<TdfsEnhLVSaveSettings>()),
      m_BuiltIn(std::make_unique<TBuiltInSort>())
{
}

TCustomEnhListView::~TCustomEnhListView() = default;

std::string TCustomEnhListView::Version() const
{
    return "TdfsEnhListView v3.55";
}

void TCustomEnhListView::SetAutoColumnSort(TAutoColumnSort Value)
{
    if (Value == m_AutoColumnSort)
        return;
    m_AutoColumnSort = Value;
    if (Value != acsNoSort)
        ResortItems();
}

void TCustomEnhListView::SetAutoSortStyle(TAutoSortStyle Value)
{
    if (Value == m_AutoSortStyle)
        return;
    m_AutoSortStyle = Value;
    ResortItems();
}

void TCustomEnhListView::SetAutoSortAscending(bool Value)
{
    if (Value == m_AutoSortAscending)
        return;
    m_AutoSortAscending = Value;
    m_CurrentSortAscending = Value;
}

void TCustomEnhListView::SetStyle(TLVStyle Value)
{
    if (Value == m_Style)
        return;
    m_Style = Value;
    if (HandleAllocated())
        RecreateWnd();
}

void TCustomEnhListView::SetBackgroundImage(const QImage& Image)
{
    m_BackgroundImage = Image;
    ApplyBackgroundImage();
}

void TCustomEnhListView::ApplyBackgroundImage()
{
    QWidget* viewport = Control().View()->viewport();
    QPalette p = viewport->palette();
    if (m_BackgroundImage.isNull())
        p.setBrush(QPalette::Base, Color());
    else
        p.setBrush(QPalette::Base, QBrush(m_BackgroundImage));
    viewport->setPalette(p);
    viewport->update();
}

void TCustomEnhListView::SetCurrentSortColumn(int ColumnIndex)
{
    if (ColumnIndex == m_CurrentSortColumn)
        return;
    const int previous = m_CurrentSortColumn;
    m_CurrentSortColumn = ColumnIndex;
    if (m_ShowSortArrows)
        InvalidateHeaderItem(previous);
}

void TCustomEnhListView::SetCurrentSortDirection(bool Ascending)
{
    if (Ascending == m_CurrentSortAscending)
        return;
    m_CurrentSortAscending = Ascending;
    InvalidateHeaderItem(m_CurrentSortColumn);
}

void TCustomEnhListView::ResortItems()
{
    m_ResortPending = true;
    const bool possible = (m_AutoColumnSort != acsNoSort && m_CurrentSortColumn >= 0 &&
                           m_CurrentSortColumn < Columns().Count()) ||
                          static_cast<bool>(OnSortItems);
    if (possible && m_SortUpdateCount < 1)
        SortByColumn(m_CurrentSortColumn, m_CurrentSortAscending);
}

void TCustomEnhListView::SortBegin(int SortColumn, bool Ascending)
{
    if (OnSortBegin)
        OnSortBegin(this, SortColumn, Ascending);
}

void TCustomEnhListView::SortFinished(int SortColumn, bool Ascending)
{
    if (OnSortFinished)
        OnSortFinished(this, SortColumn, Ascending);
}

void TCustomEnhListView::SortItems(TListItem* Item1, TListItem* Item2, int SortColumn,
                                   int& CompResult)
{
    if (OnSortItems)
        OnSortItems(this, Item1, Item2, SortColumn, CompResult);
}

void TCustomEnhListView::EditCanceled(TListItem* Item)
{
    if (OnEditCanceled)
        OnEditCanceled(this, Item);
}

int TCustomEnhListView::PositionOfColumn(int ColumnIndex)
{
    return ColumnIndex;
}

TListColumn* TCustomEnhListView::ColumnAtPosition(int Position)
{
    HandleNeeded();
    if (Position < 0 || Position >= Columns().Count())
        return nullptr;
    return Columns().Items(Position);
}

void TCustomEnhListView::GetCellText(int ItemIndex, int Column, std::string& Text)
{
    Text.clear();
    const TListItem* item = Items().Item(ItemIndex);
    if (!item)
        return;
    Text = std::string(Column < 0 ? item->Texts().Caption() : item->Texts().SubItem(Column));
}

void TCustomEnhListView::BeginItemsUpdate()
{
    Items().BeginUpdate();
    ++m_SortUpdateCount;
}

void TCustomEnhListView::EndItemsUpdate()
{
    if (--m_SortUpdateCount < 0)
        m_SortUpdateCount = 0;
    if (m_SortUpdateCount == 0 && m_ResortPending)
        ResortItems();
    Items().EndUpdate();
}

void TCustomEnhListView::SizeColumnsToContents(bool UseHeader)
{
    BeginItemsUpdate();
    Columns().BeginUpdate();
    try {
        for (int i = 0; i < Columns().Count(); ++i)
            Columns().Items(i)->SetWidth(UseHeader ? LVSCW_AUTOSIZE_USEHEADER : LVSCW_AUTOSIZE);
    } catch (...) {
        Columns().EndUpdate();
        EndItemsUpdate();
        throw;
    }
    Columns().EndUpdate();
    EndItemsUpdate();
}

void TCustomEnhListView::CreateWnd()
{
    // Owner-drawn rows are painted on the header's canvas.
    if (m_Style == lvOwnerDrawFixed && !m_HeaderCanvas)
        m_HeaderCanvas = std::make_unique<TCanvas>();
    m_CreatingWindow = true;
    TCustomListView::CreateWnd();
    m_CreatingWindow = false;
    if (!IsLoading())
        m_SortUpdateCount = 0;
    // A new window's header items come with fresh formats: the list paints them again.
    if (!IsLoading())
        SetHeaderOwnerDraw(HeaderOwnerDrawWanted());
}

void TCustomEnhListView::DestroyWnd()
{
    m_HeaderHandle = nullptr; // the header goes with the window
    TCustomListView::DestroyWnd();
}

void TCustomEnhListView::Loaded()
{
    TCustomListView::Loaded();
    ApplyBackgroundImage();
    if (!m_CreatingWindow)
        HandleNeeded();
    m_SortUpdateCount = 0;
    if (!(AutoLoadListSettings() && m_SaveSettings->SaveCurrentSort)) {
        if (Columns().Count() > 0)
            m_CurrentSortColumn = 0;
        ResortItems();
    }
    // Stands for the private message 0x048F that the list posts to itself: the header formats
    // are applied once the window has settled.
    QTimer::singleShot(0, this, [this] { HeaderFormatsPosted(); });
}

LRESULT TCustomEnhListView::CNNotify(NMHDR& Header)
{
    const LRESULT result = TCustomListView::CNNotify(Header);
    HeaderNotify(Header);
    if (Header.code == LVN_ENDLABELEDITA) {
        const auto& info = reinterpret_cast<const LVDISPINFO&>(Header);
        if (!info.item.pszText && info.item.iItem != -1)
            EditCanceled(Items().Item(info.item.iItem));
    }
    return result;
}

void TCustomEnhListView::ColClick(TListColumn* Column)
{
    const int i = Column ? Column->Index() : -1;
    if (m_AutoColumnSort == acsSortToggle) {
        if (i == m_CurrentSortColumn)
            m_CurrentSortAscending = !m_CurrentSortAscending;
        else
            m_CurrentSortAscending = m_AutoSortAscending;
    }
    TCustomListView::ColClick(Column);
    if (m_AutoColumnSort != acsNoSort && i >= 0 && i < Columns().Count())
        SortByColumn(i, m_CurrentSortAscending);
    SetCurrentSortColumn(i);
}

void TCustomEnhListView::InsertItem(TListItem* Item)
{
    TCustomListView::InsertItem(Item);
    if (m_AutoResort)
        ResortItems();
}

void TCustomEnhListView::InsertedAtOnce()
{
    // One sort of all the rows gives what a sort after each of them would: the sort is stable.
    if (m_AutoResort)
        ResortItems();
}

void TCustomEnhListView::Edit(const LVITEM& Item)
{
    TCustomListView::Edit(Item);
    if (m_AutoResort)
        ResortItems();
}
