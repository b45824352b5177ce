#include "ListWindow.h"

#include "ListCellDelegate.h"
#include "ListModel.h"
#include "ListRecords.h"
#include "ListRowSort.h"
#include "ShownText.h"

#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>

using namespace Win;

TListWindow::TListWindow(QWidget* Parent) : QWidget(Parent), m_Notifier(*this, this)
{
    m_Model = new TListModel(*this, this);
    m_View = new TListReportView(*this, m_Notifier, this);
    m_Header = new TListHeader(*this, m_Notifier, this);
    m_Notifier.SetHeader(m_Header);
    m_View->SetHeader(m_Header);
    m_View->setItemDelegate(new TListCellDelegate(*this, *m_View)); // the view does not own it
    m_View->setModel(m_Model);
    m_Header->setSectionsClickable(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_View);
    setFocusProxy(m_View);

    connect(m_Header, &QHeaderView::sectionClicked, this,
            [this](int logical) { m_Notifier.Item(LVN_COLUMNCLICK, -1, logical); });
    connect(m_Header, &QHeaderView::sectionResized, this, [this](int logical, int, int size) {
        if (logical >= 0 && logical < ColumnCount())
            m_Columns[static_cast<std::size_t>(logical)].Width = size;
        m_Notifier.Header(HDN_ITEMCHANGEDA, logical);
    });
    connect(m_Header, &QHeaderView::sectionHandleDoubleClicked, this, [this](int logical) {
        SetColumnWidth(logical, AutoSizeWidth(logical, false));
        m_Notifier.Header(HDN_DIVIDERDBLCLICKA, logical);
    });
    connect(m_Header, &QHeaderView::sectionMoved, this,
            [this](int logical, int, int) { m_Notifier.Header(HDN_ENDDRAG, logical); });
    m_SmallImagesLink.OnChange = [this] {
        m_View->viewport()->update();
        m_Header->viewport()->update();
    };
    connect(m_View->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& now, const QModelIndex&) {
                if (now.isValid())
                    m_Notifier.Item(LVN_ITEMCHANGED, now.row());
            });
    // An owner-data list tells a range of rows selected together in one notification.
    connect(m_View->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& Selected, const QItemSelection&) {
                if (!OwnerData())
                    return;
                for (const QItemSelectionRange& range : Selected)
                    if (range.bottom() > range.top())
                        m_Notifier.StateChanged(range.top(), range.bottom(), LVIS_SELECTED, 0);
            });
}

TListWindow::~TListWindow()
{
    // Item objects must not call back into an owner that is going away, and the view must
    // not ask the model about rows while this object is already half destroyed.
    m_Notifier.SetOwner(nullptr);
    delete m_View;
    m_View = nullptr;
    delete m_Model;
    m_Model = nullptr;
}

QString TListWindow::CellText(int Row, int Column) const
{
    if (Row < 0 || Row >= RowCount() || Column < 0 || Column >= ColumnCount())
        return {};
    const int subItem = std::max(0, m_Columns[static_cast<std::size_t>(Column)].SubItem);
    if (OwnerData()) {
        // Room for what a cell shows, and a little more, so that a longer text shows cut.
        char buffer[ShownText::kLimit + 2] = {};
        LVITEM item;
        item.mask = LVIF_TEXT;
        item.iItem = Row;
        item.iSubItem = subItem;
        item.pszText = buffer;
        item.cchTextMax = int(sizeof buffer);
        const_cast<TListNotifier&>(m_Notifier).DispInfo(item);
        buffer[sizeof buffer - 1] = '\0';
        return ShownText::Of(std::string_view(item.pszText ? item.pszText : ""));
    }
    const TRowText& text = m_Rows[static_cast<std::size_t>(Row)]->Text;
    return ShownText::Of(text.Field(subItem));
}

int TListWindow::ImageOf(int Row, int Field) const
{
    if (OwnerData()) {
        if (Row < 0 || Row >= RowCount())
            return -1;
        LVITEM item;
        item.mask = LVIF_IMAGE;
        item.iItem = Row;
        item.iSubItem = Field;
        item.iImage = -1;
        const_cast<TListNotifier&>(m_Notifier).DispInfo(item);
        return item.iImage;
    }
    const TListRow* row = this->Row(Row);
    return row ? RowImage(*row, Field) : -1;
}

int TListWindow::RowImage(const TListRow& Row, int Field) const
{
    if (Field <= 0)
        return Field == 0 ? Row.Image : -1;
    if (!Row.HasSubItemImages)
        return -1;
    const std::vector<int>& images = m_SubItemImages.at(&Row);
    return Field > int(images.size()) ? -1 : images[std::size_t(Field - 1)];
}

void TListWindow::SetRowImage(TListRow& Row, int Field, int Image)
{
    if (Field <= 0) {
        if (Field == 0)
            Row.Image = Image;
        return;
    }
    std::vector<int>& images = m_SubItemImages[&Row];
    Row.HasSubItemImages = true;
    if (Field > int(images.size()))
        images.resize(std::size_t(Field), -1);
    images[std::size_t(Field - 1)] = Image;
}

void TListWindow::SetWindowStyle(UINT Style)
{
    const UINT old = m_Style;
    if ((old ^ Style) & LVS_OWNERDATA) {
        // Rows held and rows asked for do not mix.
        DeleteAllRows();
        SetVirtualCount(0);
    }
    m_Style = Style;
    m_View->setSelectionMode((Style & LVS_SINGLESEL) ? QAbstractItemView::SingleSelection
                                                     : QAbstractItemView::ExtendedSelection);
    m_OwnerDrawnRowHeight = 0;
    if (Style & LVS_OWNERDRAWFIXED)
        m_OwnerDrawnRowHeight = std::max(1, m_Notifier.MeasureRow(m_View->RowHeight()));
    m_View->Relayout();
}

void TListWindow::SetVirtualCount(int Count)
{
    ++m_Changes;
    Count = std::max(0, Count);
    if (!OwnerData() || Count == m_VirtualCount) {
        m_VirtualCount = Count;
        return;
    }
    // The rows the owner holds grow or shrink at the end; the selection stays where it is.
    if (Count > m_VirtualCount) {
        m_Model->RowsInserting(m_VirtualCount, Count - 1);
        m_VirtualCount = Count;
        m_Model->RowsInserted();
    } else {
        m_Model->RowsRemoving(Count, m_VirtualCount - 1);
        m_VirtualCount = Count;
        m_Model->RowsRemoved();
    }
}

void TListWindow::PaintOwnerDrawnRow(QPainter* Painter, const QRect& Rect, int Row, bool Focused)
{
    UINT state = 0;
    if (m_View->selectionModel()->isRowSelected(Row, {}))
        state |= ODS_SELECTED;
    if (Focused && FocusedRow() == Row)
        state |= ODS_FOCUS;
    Painter->save();
    m_Notifier.DrawRow(Painter, Rect, Row, state);
    Painter->restore();
}

int TListWindow::IndexOfRow(const TListRow* Row) const
{
    // Most lookups are for the last row just added, so search from the end.
    for (std::size_t i = m_Rows.size(); i-- > 0;)
        if (m_Rows[i].get() == Row)
            return static_cast<int>(i);
    return -1;
}

void TListWindow::BeginChange()
{
    if (Deferred() && !m_ResetOpen) {
        m_Model->ResetBegins();
        m_ResetOpen = true;
    }
}

void TListWindow::SetRowText(int Index, TRowText Text)
{
    ++m_Changes;
    if (Index < 0 || Index >= RowCount())
        return;
    TListRow& row = *m_Rows[static_cast<std::size_t>(Index)];
    m_Journal.Gone(row.Text);
    row.Text = std::move(Text);
    m_Journal.Came(row.Text);
    Unsorted(&row);
    if (Deferred())
        BeginChange();
    else if (ColumnCount() > 0)
        m_Model->RowsChanged(Index, Index);
}

void TListWindow::Unsorted(const TListRow* Row)
{
    // Past a few hundred rows, placing each one costs more than a sort.
    constexpr std::size_t kMostUnsorted = 256;
    if (m_SortedOrder == 0 ||
        std::find(m_Unsorted.begin(), m_Unsorted.end(), Row) != m_Unsorted.end())
        return;
    if (m_Unsorted.size() >= kMostUnsorted) {
        m_SortedOrder = 0;
        m_Unsorted.clear();
        return;
    }
    m_Unsorted.push_back(Row);
}

void TListWindow::RowTextReplaced(const TListRow* Row, const TRowText& Before)
{
    m_Journal.Gone(Before);
    m_Journal.Came(Row->Text);
    RowTextChanged(Row);
}

void TListWindow::RowTextChanged(const TListRow* Row)
{
    ++m_Changes;
    Unsorted(Row);
    if (Deferred()) {
        BeginChange();
        return;
    }
    if (!m_View->isVisible() || ColumnCount() == 0)
        return;
    const int index = IndexOfRow(Row);
    if (index >= 0)
        m_Model->RowsChanged(index, index);
}

void TListWindow::SetStateImage(int Index, UINT Image)
{
    TListRow* row = Row(Index);
    if (!row || row->StateImage == Image)
        return;
    row->StateImage = static_cast<std::uint8_t>(Image);
    m_Model->RowsChanged(Index, Index);
    m_Notifier.Item(LVN_ITEMCHANGED, Index);
}

int TListWindow::FocusedRow() const
{
    const QModelIndex current = m_View->currentIndex();
    return current.isValid() ? current.row() : -1;
}

int TListWindow::SelectedRow() const
{
    const auto rows = m_View->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void TListWindow::SetSelectedRow(int Index)
{
    auto* sm = m_View->selectionModel();
    if (Index < 0 || Index >= RowCount()) {
        sm->clearSelection();
        return;
    }
    const QModelIndex at = m_Model->index(Index, 0);
    sm->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void TListWindow::BeginUpdate()
{
    if (m_UpdateCount++ == 0)
        m_View->setUpdatesEnabled(false);
}

void TListWindow::EndUpdate()
{
    if (m_UpdateCount == 0)
        return;
    if (--m_UpdateCount == 0) {
        if (m_ResetOpen) {
            m_ResetOpen = false;
            m_Model->ResetEnds();
        }
        m_View->setUpdatesEnabled(true);
    }
}

void TListWindow::ApplyExtendedStyle(UINT Style)
{
    m_ExStyle = Style;
    m_Header->setSectionsMovable((Style & LVS_EX_HEADERDRAGDROP) != 0);
    // Every item may be dragged, the caption column's too (a tree view keeps it in place).
    m_Header->setFirstSectionMovable((Style & LVS_EX_HEADERDRAGDROP) != 0);
    // The hot row follows the pointer only where a style makes use of it.
    const bool tracking =
        (Style & (LVS_EX_TRACKSELECT | LVS_EX_ONECLICKACTIVATE | LVS_EX_TWOCLICKACTIVATE |
                  LVS_EX_UNDERLINEHOT | LVS_EX_UNDERLINECOLD)) != 0;
    m_View->setMouseTracking(tracking);
    m_View->viewport()->setMouseTracking(tracking);
    m_View->SetFlatScrollBars((Style & LVS_EX_FLATSB) != 0);
    m_View->viewport()->update();
}

void TListWindow::ResetWindowState()
{
    ApplyExtendedStyle(0);
    m_HoverTime = -1;
    m_SelectionMark = -1;
    for (const WPARAM which : {LVSIL_NORMAL, LVSIL_SMALL, LVSIL_STATE})
        SetImageList(which, nullptr);
    m_VirtualCount = 0;
    for (int v = 0; v < m_Header->count(); ++v)
        m_Header->moveSection(m_Header->visualIndex(v), v);
    for (auto& column : m_Columns)
        column.HeaderFormat = ListRecords::HeaderFormatOf(column.Format);
    m_Header->viewport()->update();
}
