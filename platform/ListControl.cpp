#include "ListControl.h"

#include "Cp1250.h"
#include "ShownText.h"

#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>
#include <cstring>
#include <unordered_map>

using namespace Win;

namespace {

Qt::Alignment AlignmentOf(int Format)
{
    switch (Format & LVCFMT_JUSTIFYMASK) {
    case LVCFMT_RIGHT:
        return Qt::AlignRight | Qt::AlignVCenter;
    case LVCFMT_CENTER:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    default:
        return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

template <typename T> T* Record(LPARAM LParam)
{
    return reinterpret_cast<T*>(LParam);
}

} // namespace

// ---------------------------------------------------------------------------------------------

TListModel::TListModel(TListControl& Control) : QAbstractItemModel(&Control), m_Control(Control) {}

QModelIndex TListModel::index(int Row, int Column, const QModelIndex& Parent) const
{
    if (Parent.isValid() || Row < 0 || Column < 0 || Row >= m_Control.RowCount() ||
        Column >= m_Control.ColumnCount())
        return {};
    return createIndex(Row, Column);
}

int TListModel::rowCount(const QModelIndex& Parent) const
{
    return Parent.isValid() ? 0 : m_Control.RowCount();
}

int TListModel::columnCount(const QModelIndex& Parent) const
{
    return Parent.isValid() ? 0 : m_Control.ColumnCount();
}

QVariant TListModel::data(const QModelIndex& Index, int Role) const
{
    if (!Index.isValid())
        return {};
    switch (Role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return m_Control.CellText(Index.row(), Index.column());
    case Qt::TextAlignmentRole:
        // Column 0 is always left-justified in a report view.
        return Index.column() == 0 ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                                   : QVariant(AlignmentOf(m_Control.Column(Index.column()).Format));
    default:
        return {};
    }
}

QVariant TListModel::headerData(int Section, Qt::Orientation Orientation, int Role) const
{
    if (Orientation != Qt::Horizontal || Section < 0 || Section >= m_Control.ColumnCount())
        return {};
    const auto& column = m_Control.Column(Section);
    if (Role == Qt::DisplayRole)
        return Cp1250::ToUnicode(column.Caption);
    if (Role == Qt::TextAlignmentRole)
        return QVariant(AlignmentOf(column.Format));
    return {};
}

Qt::ItemFlags TListModel::flags(const QModelIndex& Index) const
{
    return Index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren
                           : Qt::NoItemFlags;
}

// ---------------------------------------------------------------------------------------------

TListTreeView::TListTreeView(TListControl& Control) : QTreeView(&Control), m_Control(Control)
{
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    setTextElideMode(Qt::ElideRight);
}

void TListTreeView::drawRow(QPainter* Painter, const QStyleOptionViewItem& Option,
                            const QModelIndex& Index) const
{
    QTreeView::drawRow(Painter, Option, Index);
    if (!(m_Control.m_ExStyle & LVS_EX_GRIDLINES))
        return;
    Painter->save();
    Painter->setPen(palette().color(QPalette::Mid));
    const QRect r = Option.rect;
    Painter->drawLine(r.left(), r.bottom(), r.right(), r.bottom());
    const QHeaderView* h = header();
    for (int v = 0; v < h->count(); ++v) {
        const int logical = h->logicalIndex(v);
        if (h->isSectionHidden(logical))
            continue;
        const int x = h->sectionViewportPosition(logical) + h->sectionSize(logical) - 1;
        Painter->drawLine(x, r.top(), x, r.bottom());
    }
    Painter->restore();
}

void TListTreeView::mouseDoubleClickEvent(QMouseEvent* Event)
{
    QTreeView::mouseDoubleClickEvent(Event);
    const QModelIndex at = indexAt(Event->position().toPoint());
    m_Control.NotifyItem(NM_DBLCLK, at.isValid() ? at.row() : -1, at.isValid() ? at.column() : 0);
}

// ---------------------------------------------------------------------------------------------

TListHeader::TListHeader(TListControl& Control)
    : QHeaderView(Qt::Horizontal, &Control), m_Control(Control)
{
    setSectionsClickable(true);
    setHighlightSections(false);
    setSortIndicatorShown(false);
    setStretchLastSection(false);
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void TListHeader::paintSection(QPainter* Painter, const QRect& Rect, int LogicalIndex) const
{
    if (LogicalIndex >= 0 && LogicalIndex < m_Control.ColumnCount() &&
        (m_Control.Column(LogicalIndex).HeaderFormat & HDF_OWNERDRAW)) {
        const bool pressed = m_Pressed == LogicalIndex;
        if (m_Control.HeaderDrawItem(Painter, Rect, LogicalIndex, pressed) != 0)
            return;
    }
    QHeaderView::paintSection(Painter, Rect, LogicalIndex);
}

void TListHeader::mousePressEvent(QMouseEvent* Event)
{
    const int logical = logicalIndexAt(Event->position().toPoint());
    m_Pressed = logical;
    QHeaderView::mousePressEvent(Event);
    viewport()->update();
}

void TListHeader::mouseReleaseEvent(QMouseEvent* Event)
{
    m_Pressed = -1;
    QHeaderView::mouseReleaseEvent(Event);
    viewport()->update();
}

// ---------------------------------------------------------------------------------------------

TListControl::TListControl(QWidget* Parent) : QWidget(Parent)
{
    m_Model = new TListModel(*this);
    m_View = new TListTreeView(*this);
    m_Header = new TListHeader(*this);
    m_View->setHeader(m_Header);
    m_View->setModel(m_Model);
    m_Header->setSectionsClickable(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_View);
    setFocusProxy(m_View);

    connect(m_Header, &QHeaderView::sectionClicked, this,
            [this](int logical) { NotifyItem(LVN_COLUMNCLICK, -1, logical); });
    connect(m_Header, &QHeaderView::sectionResized, this, [this](int logical, int, int size) {
        if (logical >= 0 && logical < ColumnCount())
            m_Columns[static_cast<std::size_t>(logical)].Width = size;
        NotifyHeader(HDN_ITEMCHANGEDA, logical);
    });
    connect(m_Header, &QHeaderView::sectionHandleDoubleClicked, this, [this](int logical) {
        SetColumnWidth(logical, AutoSizeWidth(logical, false));
        NotifyHeader(HDN_DIVIDERDBLCLICKA, logical);
    });
    connect(m_Header, &QHeaderView::sectionMoved, this,
            [this](int logical, int, int) { NotifyHeader(HDN_ENDDRAG, logical); });
    connect(m_View->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& now, const QModelIndex&) {
                if (now.isValid())
                    NotifyItem(LVN_ITEMCHANGED, now.row());
            });
}

TListControl::~TListControl()
{
    // Item objects must not call back into an owner that is going away, and the view must
    // not ask the model about rows while this object is already half destroyed.
    m_Owner = nullptr;
    delete m_View;
    m_View = nullptr;
    delete m_Model;
    m_Model = nullptr;
}

LRESULT TListControl::Notify(NMHDR& Header)
{
    if (!m_Owner)
        return 0;
    return m_Owner(WM_NOTIFY, Header.idFrom, reinterpret_cast<LPARAM>(&Header));
}

LRESULT TListControl::NotifyItem(int Code, int Item, int SubItem, LPARAM Param)
{
    NMLISTVIEW nm;
    nm.hdr.hwndFrom = this;
    nm.hdr.code = Code;
    nm.iItem = Item;
    nm.iSubItem = SubItem;
    nm.lParam = Param;
    if (Item >= 0 && Item < RowCount() && Param == 0)
        nm.lParam = m_Rows[static_cast<std::size_t>(Item)]->Param;
    return Notify(nm.hdr);
}

LRESULT TListControl::NotifyHeader(int Code, int Item)
{
    NMHEADER nm;
    nm.hdr.hwndFrom = m_Header;
    nm.hdr.code = Code;
    nm.iItem = Item;
    return Notify(nm.hdr);
}

LRESULT TListControl::HeaderDrawItem(QPainter* Painter, const QRect& Rect, int Item, bool Pressed)
{
    if (!m_Owner)
        return 0;
    DRAWITEMSTRUCT dis;
    dis.CtlType = ODT_HEADER;
    dis.itemID = static_cast<UINT>(Item);
    dis.itemState = Pressed ? ODS_SELECTED : 0;
    dis.hwndItem = m_Header;
    dis.hDC = Painter;
    dis.rcItem = Rect;
    return m_Owner(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
}

QString TListControl::CellText(int Row, int Column) const
{
    if (Row < 0 || Row >= RowCount() || Column < 0 || Column >= ColumnCount())
        return {};
    const TRowText& text = m_Rows[static_cast<std::size_t>(Row)]->Text;
    const int subItem = m_Columns[static_cast<std::size_t>(Column)].SubItem;
    return ShownText::Of(text.Field(std::max(0, subItem)));
}

void TListControl::CopyText(const std::string_view Text, char* Buffer, int Size)
{
    if (!Buffer || Size <= 0)
        return;
    const std::size_t n = std::min(Text.size(), static_cast<std::size_t>(Size - 1));
    if (n > 0)
        std::memcpy(Buffer, Text.data(), n);
    Buffer[n] = '\0';
}

TListRow* TListControl::Row(int Index) const
{
    if (Index < 0 || Index >= RowCount())
        return nullptr;
    return m_Rows[static_cast<std::size_t>(Index)].get();
}

int TListControl::IndexOfRow(const TListRow* Row) const
{
    // Most lookups are for the last row just added, so search from the end.
    for (std::size_t i = m_Rows.size(); i-- > 0;)
        if (m_Rows[i].get() == Row)
            return static_cast<int>(i);
    return -1;
}

void TListControl::BeginChange()
{
    if (Deferred() && !m_ResetOpen) {
        m_Model->beginResetModel();
        m_ResetOpen = true;
    }
}

int TListControl::InsertRow(int Index, std::unique_ptr<TListRow> Row)
{
    if (Index < 0 || Index > RowCount())
        Index = RowCount();
    TListRow* row = Row.get();
    if (Deferred()) {
        BeginChange();
        m_Rows.insert(m_Rows.begin() + Index, std::move(Row));
    } else {
        m_Model->beginInsertRows({}, Index, Index);
        m_Rows.insert(m_Rows.begin() + Index, std::move(Row));
        m_Model->endInsertRows();
    }
    NotifyItem(LVN_INSERTITEM, Index, 0, row->Param);
    return Index;
}

void TListControl::DeleteRow(int Index)
{
    if (Index < 0 || Index >= RowCount())
        return;
    NotifyItem(LVN_DELETEITEM, Index);
    if (Deferred()) {
        BeginChange();
        m_Rows.erase(m_Rows.begin() + Index);
    } else {
        m_Model->beginRemoveRows({}, Index, Index);
        m_Rows.erase(m_Rows.begin() + Index);
        m_Model->endRemoveRows();
    }
}

void TListControl::DeleteAllRows()
{
    NMLISTVIEW nm;
    nm.hdr.hwndFrom = this;
    nm.hdr.code = LVN_DELETEALLITEMS;
    Notify(nm.hdr);
    if (Deferred()) {
        BeginChange();
        m_Rows.clear();
    } else {
        m_Model->beginResetModel();
        m_Rows.clear();
        m_Model->endResetModel();
    }
}

void TListControl::SetRowText(int Index, TRowText Text)
{
    if (Index < 0 || Index >= RowCount())
        return;
    m_Rows[static_cast<std::size_t>(Index)]->Text = std::move(Text);
    if (Deferred())
        BeginChange();
    else if (ColumnCount() > 0)
        emit m_Model->dataChanged(m_Model->index(Index, 0),
                                  m_Model->index(Index, ColumnCount() - 1));
}

void TListControl::RowTextChanged(const TListRow* Row)
{
    if (Deferred()) {
        BeginChange();
        return;
    }
    if (!m_View->isVisible() || ColumnCount() == 0)
        return;
    const int index = IndexOfRow(Row);
    if (index >= 0)
        emit m_Model->dataChanged(m_Model->index(index, 0),
                                  m_Model->index(index, ColumnCount() - 1));
}

int TListControl::SelectedRow() const
{
    const auto rows = m_View->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void TListControl::SetSelectedRow(int Index)
{
    auto* sm = m_View->selectionModel();
    if (Index < 0 || Index >= RowCount()) {
        sm->clearSelection();
        return;
    }
    const QModelIndex at = m_Model->index(Index, 0);
    sm->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void TListControl::BeginUpdate()
{
    if (m_UpdateCount++ == 0)
        m_View->setUpdatesEnabled(false);
}

void TListControl::EndUpdate()
{
    if (m_UpdateCount == 0)
        return;
    if (--m_UpdateCount == 0) {
        if (m_ResetOpen) {
            m_ResetOpen = false;
            m_Model->endResetModel();
        }
        m_View->setUpdatesEnabled(true);
    }
}

int TListControl::InsertColumn(int Index, const TColumn& Column)
{
    if (Index < 0 || Index > ColumnCount())
        Index = ColumnCount();
    m_Model->beginInsertColumns({}, Index, Index);
    m_Columns.insert(m_Columns.begin() + Index, Column);
    m_Model->endInsertColumns();
    m_Header->resizeSection(Index, std::max(0, Column.Width));
    return Index;
}

void TListControl::DeleteColumn(int Index)
{
    if (Index < 0 || Index >= ColumnCount())
        return;
    m_Model->beginRemoveColumns({}, Index, Index);
    m_Columns.erase(m_Columns.begin() + Index);
    m_Model->endRemoveColumns();
}

void TListControl::SetColumnCaption(int Index, const std::string& Caption)
{
    if (Index < 0 || Index >= ColumnCount())
        return;
    m_Columns[static_cast<std::size_t>(Index)].Caption = Caption;
    emit m_Model->headerDataChanged(Qt::Horizontal, Index, Index);
}

void TListControl::SetColumnFormat(int Index, int Format)
{
    if (Index < 0 || Index >= ColumnCount())
        return;
    m_Columns[static_cast<std::size_t>(Index)].Format = Format;
    emit m_Model->headerDataChanged(Qt::Horizontal, Index, Index);
    if (RowCount() > 0)
        emit m_Model->dataChanged(m_Model->index(0, Index), m_Model->index(RowCount() - 1, Index));
}

void TListControl::SetColumnWidth(int Index, int Width)
{
    if (Index < 0 || Index >= ColumnCount())
        return;
    if (Width == LVSCW_AUTOSIZE || Width == LVSCW_AUTOSIZE_USEHEADER)
        Width = AutoSizeWidth(Index, Width == LVSCW_AUTOSIZE_USEHEADER);
    Width = std::max(0, Width);
    m_Columns[static_cast<std::size_t>(Index)].Width = Width;
    m_Header->resizeSection(Index, Width);
}

int TListControl::ColumnWidth(int Index) const
{
    if (Index < 0 || Index >= ColumnCount())
        return 0;
    return m_Header->sectionSize(Index);
}

int TListControl::AutoSizeWidth(int Column, bool UseHeader) const
{
    if (Column < 0 || Column >= ColumnCount())
        return 0;
    const QFontMetrics fm(m_View->font());
    int widest = 0;
    for (int r = 0; r < RowCount(); ++r)
        widest = std::max(widest, fm.horizontalAdvance(CellText(r, Column)));
    widest += 12;
    if (UseHeader) {
        const QFontMetrics hm(m_Header->font());
        widest = std::max(widest, hm.horizontalAdvance(Cp1250::ToUnicode(
                                      m_Columns[static_cast<std::size_t>(Column)].Caption)) +
                                      16);
    }
    return widest;
}

void TListControl::ApplyExtendedStyle(UINT Style)
{
    m_ExStyle = Style;
    m_Header->setSectionsMovable((Style & LVS_EX_HEADERDRAGDROP) != 0);
    m_View->setMouseTracking((Style & (LVS_EX_TRACKSELECT | LVS_EX_ONECLICKACTIVATE)) != 0);
    m_View->viewport()->update();
}

void TListControl::ResetWindowState()
{
    ApplyExtendedStyle(0);
    m_HoverTime = -1;
    m_SelectionMark = -1;
    m_VirtualCount = 0;
    for (int v = 0; v < m_Header->count(); ++v)
        m_Header->moveSection(m_Header->visualIndex(v), v);
    for (auto& column : m_Columns)
        column.HeaderFormat = HDF_STRING | (column.Format & LVCFMT_JUSTIFYMASK);
    m_Header->viewport()->update();
}

// Runs Sort over the rows with the model told, and the selection and current row kept on
// the same row objects.
template <typename TReorder> bool TListControl::Reorder(TReorder&& Sort)
{
    // A sort asked for from inside a running comparison would reorder the rows under it.
    if (m_Sorting)
        return false;
    m_Sorting = true;
    if (Deferred()) {
        // Inside the update bracket the view is reset at its close; make sure it will be.
        BeginChange();
        Sort();
        m_Sorting = false;
        return true;
    }
    const QModelIndexList persistent = m_Model->persistentIndexList();
    std::vector<const TListRow*> persistentRows;
    persistentRows.reserve(static_cast<std::size_t>(persistent.size()));
    for (const auto& index : persistent)
        persistentRows.push_back(index.isValid() ? Row(index.row()) : nullptr);
    emit m_Model->layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    Sort();

    if (!persistent.isEmpty()) {
        std::unordered_map<const TListRow*, int> where;
        where.reserve(persistentRows.size());
        for (const TListRow* row : persistentRows)
            if (row)
                where.emplace(row, -1);
        for (int i = 0; i < RowCount(); ++i) {
            auto it = where.find(m_Rows[static_cast<std::size_t>(i)].get());
            if (it != where.end())
                it->second = i;
        }
        QModelIndexList moved;
        moved.reserve(persistent.size());
        for (qsizetype i = 0; i < persistent.size(); ++i) {
            const TListRow* row = persistentRows[static_cast<std::size_t>(i)];
            moved.push_back(row ? m_Model->index(where[row], persistent[i].column())
                                : QModelIndex());
        }
        m_Model->changePersistentIndexList(persistent, moved);
    }
    emit m_Model->layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    m_Sorting = false;
    return true;
}

namespace {
bool Less(PFNLVCOMPARE Compare, LPARAM A, LPARAM B, LPARAM SortParam)
{
    try {
        return Compare(A, B, SortParam) < 0;
    } catch (...) {
        return false; // a pair that cannot be compared counts as equal
    }
}
} // namespace

bool TListControl::SortItems(PFNLVCOMPARE Compare, LPARAM SortParam)
{
    if (!Compare)
        return false;
    return Reorder([&] {
        std::stable_sort(
            m_Rows.begin(), m_Rows.end(),
            [&](const std::unique_ptr<TListRow>& a, const std::unique_ptr<TListRow>& b) {
                return Less(Compare, a->Param, b->Param, SortParam);
            });
    });
}

bool TListControl::SortItemsKeyed(const LVSORTKEYED& Sort)
{
    if (!Sort.Compare || !Sort.Key)
        return false;
    return Reorder([&] {
        // Sorting the keys decides most comparisons without touching the rows; the rows
        // themselves move only once everything has been sorted.
        struct TEntry
        {
            LVSORTKEY Key;
            std::uint32_t Index;
            const TListRow* Row;
        };
        std::vector<TEntry> entries;
        entries.reserve(m_Rows.size());
        for (std::size_t i = 0; i < m_Rows.size(); ++i) {
            LVSORTKEY key;
            try {
                Sort.Key(m_Rows[i]->Param, Sort.SortParam, key);
            } catch (...) {
                key = LVSORTKEY(); // incomplete: the comparison decides
            }
            entries.push_back({key, static_cast<std::uint32_t>(i), m_Rows[i].get()});
        }
        // -1, 0, +1 by the keys alone, in ascending order; 2 when they cannot tell.
        auto byKey = [](const LVSORTKEY& a, const LVSORTKEY& b) {
            if (a.Prefix != b.Prefix)
                return a.Prefix < b.Prefix ? -1 : 1;
            if (a.Prefix2 != b.Prefix2)
                return a.Prefix2 < b.Prefix2 ? -1 : 1;
            const std::size_t n = std::min(a.Size, b.Size);
            const int c = n ? std::memcmp(a.Bytes, b.Bytes, n) : 0;
            if (c != 0)
                return c < 0 ? -1 : 1;
            if (a.Size != b.Size)
                return a.Size < b.Size ? -1 : 1;
            return a.Complete && b.Complete ? 0 : 2;
        };
        std::stable_sort(entries.begin(), entries.end(), [&](const TEntry& a, const TEntry& b) {
            const int k = byKey(a.Key, b.Key);
            if (k != 2)
                return Sort.Descending ? k > 0 : k < 0;
            return Less(Sort.Compare, a.Row->Param, b.Row->Param, Sort.SortParam);
        });
        std::vector<std::unique_ptr<TListRow>> sorted;
        sorted.reserve(m_Rows.size());
        for (const TEntry& e : entries)
            sorted.push_back(std::move(m_Rows[e.Index]));
        m_Rows.swap(sorted);
    });
}

LRESULT TListControl::SendMessage(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    switch (Msg) {
    case LVM_GETITEMCOUNT:
        return RowCount();
    case LVM_DELETEITEM:
        if (static_cast<int>(WParam) < 0 || static_cast<int>(WParam) >= RowCount())
            return 0;
        DeleteRow(static_cast<int>(WParam));
        return 1;
    case LVM_DELETEALLITEMS:
        DeleteAllRows();
        return 1;
    case LVM_INSERTITEMA: {
        auto* item = Record<LVITEM>(LParam);
        if (!item)
            return -1;
        auto row = std::make_unique<TListRow>();
        if (item->mask & LVIF_PARAM)
            row->Param = item->lParam;
        if ((item->mask & LVIF_TEXT) && item->pszText)
            row->Text = TRowText::FromFields({std::string_view(item->pszText)});
        return InsertRow(item->iItem, std::move(row));
    }
    case LVM_GETITEMA: {
        auto* item = Record<LVITEM>(LParam);
        const TListRow* row = item ? Row(item->iItem) : nullptr;
        if (!row)
            return 0;
        if (item->mask & LVIF_PARAM)
            item->lParam = row->Param;
        if (item->mask & LVIF_TEXT)
            CopyText(row->Text.Field(item->iSubItem), item->pszText, item->cchTextMax);
        if (item->mask & LVIF_STATE) {
            UINT state = 0;
            if (SelectedRow() == item->iItem)
                state |= LVIS_SELECTED;
            if (m_View->currentIndex().row() == item->iItem)
                state |= LVIS_FOCUSED;
            item->state = state & item->stateMask;
        }
        return 1;
    }
    case LVM_SETITEMA:
    case LVM_SETITEMTEXTA: {
        auto* item = Record<LVITEM>(LParam);
        const int index =
            Msg == LVM_SETITEMTEXTA ? static_cast<int>(WParam) : (item ? item->iItem : -1);
        TListRow* row = Row(index);
        if (!row || !item)
            return 0;
        if ((Msg == LVM_SETITEMTEXTA || (item->mask & LVIF_TEXT)))
            SetRowText(index,
                       row->Text.WithField(item->iSubItem, item->pszText ? item->pszText : ""));
        if (Msg == LVM_SETITEMA && (item->mask & LVIF_PARAM))
            row->Param = item->lParam;
        return 1;
    }
    case LVM_GETITEMTEXTA: {
        auto* item = Record<LVITEM>(LParam);
        const TListRow* row = Row(static_cast<int>(WParam));
        if (!row || !item)
            return 0;
        const auto text = row->Text.Field(item->iSubItem); // field 0 is the caption
        CopyText(text, item->pszText, item->cchTextMax);
        return static_cast<LRESULT>(
            std::min<std::size_t>(text.size(), item->cchTextMax > 0 ? item->cchTextMax - 1 : 0));
    }
    case LVM_SETITEMSTATE: {
        auto* item = Record<LVITEM>(LParam);
        if (!item)
            return 0;
        if (item->stateMask & LVIS_SELECTED) {
            if (item->state & LVIS_SELECTED)
                SetSelectedRow(static_cast<int>(WParam));
            else if (SelectedRow() == static_cast<int>(WParam) || static_cast<int>(WParam) == -1)
                m_View->selectionModel()->clearSelection();
        }
        return 1;
    }
    case LVM_GETITEMSTATE: {
        UINT state = 0;
        if (SelectedRow() == static_cast<int>(WParam) && static_cast<int>(WParam) >= 0)
            state |= LVIS_SELECTED;
        if (m_View->currentIndex().isValid() &&
            m_View->currentIndex().row() == static_cast<int>(WParam))
            state |= LVIS_FOCUSED;
        return static_cast<LRESULT>(state & static_cast<UINT>(LParam));
    }
    case LVM_GETNEXTITEM: {
        const int start = static_cast<int>(WParam);
        const UINT flags = static_cast<UINT>(LParam);
        if (flags & LVNI_SELECTED) {
            const int sel = SelectedRow();
            return sel > start ? sel : -1;
        }
        if (flags & LVNI_FOCUSED) {
            const int cur = m_View->currentIndex().isValid() ? m_View->currentIndex().row() : -1;
            return cur > start ? cur : -1;
        }
        return start + 1 < RowCount() ? start + 1 : -1;
    }
    case LVM_INSERTCOLUMNA: {
        auto* col = Record<LVCOLUMN>(LParam);
        if (!col)
            return -1;
        TColumn column;
        if (col->mask & LVCF_TEXT)
            column.Caption = col->pszText ? col->pszText : "";
        if (col->mask & LVCF_WIDTH)
            column.Width = col->cx;
        if (col->mask & LVCF_FMT)
            column.Format = col->fmt;
        column.SubItem = (col->mask & LVCF_SUBITEM) ? col->iSubItem : static_cast<int>(WParam);
        if (col->mask & LVCF_IMAGE)
            column.Image = col->iImage;
        column.HeaderFormat = HDF_STRING | (column.Format & LVCFMT_JUSTIFYMASK);
        return InsertColumn(static_cast<int>(WParam), column);
    }
    case LVM_SETCOLUMNA: {
        auto* col = Record<LVCOLUMN>(LParam);
        const int index = static_cast<int>(WParam);
        if (!col || index < 0 || index >= ColumnCount())
            return 0;
        if (col->mask & LVCF_TEXT)
            SetColumnCaption(index, col->pszText ? col->pszText : "");
        if (col->mask & LVCF_FMT)
            SetColumnFormat(index, col->fmt);
        if (col->mask & LVCF_WIDTH)
            SetColumnWidth(index, col->cx);
        if (col->mask & LVCF_IMAGE)
            m_Columns[static_cast<std::size_t>(index)].Image = col->iImage;
        return 1;
    }
    case LVM_GETCOLUMNA: {
        auto* col = Record<LVCOLUMN>(LParam);
        const int index = static_cast<int>(WParam);
        if (!col || index < 0 || index >= ColumnCount())
            return 0;
        const auto& column = m_Columns[static_cast<std::size_t>(index)];
        if (col->mask & LVCF_TEXT)
            CopyText(column.Caption, col->pszText, col->cchTextMax);
        if (col->mask & LVCF_FMT)
            col->fmt = column.Format;
        if (col->mask & LVCF_WIDTH)
            col->cx = ColumnWidth(index);
        if (col->mask & LVCF_SUBITEM)
            col->iSubItem = column.SubItem;
        if (col->mask & LVCF_IMAGE)
            col->iImage = column.Image;
        if (col->mask & LVCF_ORDER)
            col->iOrder = m_Header->visualIndex(index);
        return 1;
    }
    case LVM_DELETECOLUMN:
        if (static_cast<int>(WParam) < 0 || static_cast<int>(WParam) >= ColumnCount())
            return 0;
        DeleteColumn(static_cast<int>(WParam));
        return 1;
    case LVM_GETCOLUMNWIDTH:
        return ColumnWidth(static_cast<int>(WParam));
    case LVM_SETCOLUMNWIDTH:
        if (static_cast<int>(WParam) < 0 || static_cast<int>(WParam) >= ColumnCount())
            return 0;
        SetColumnWidth(static_cast<int>(WParam), static_cast<int>(LParam));
        return 1;
    case LVM_GETHEADER:
        return reinterpret_cast<LRESULT>(m_Header);
    case LVM_SORTITEMS:
        return SortItems(reinterpret_cast<PFNLVCOMPARE>(LParam), static_cast<LPARAM>(WParam)) ? 1
                                                                                              : 0;
    case LVM_SORTITEMSKEYED:
        return LParam && SortItemsKeyed(*Record<LVSORTKEYED>(LParam)) ? 1 : 0;
    case LVM_SETEXTENDEDLISTVIEWSTYLE: {
        const UINT old = m_ExStyle;
        const UINT mask = WParam == 0 ? ~UINT(0) : static_cast<UINT>(WParam);
        ApplyExtendedStyle((old & ~mask) | (static_cast<UINT>(LParam) & mask));
        return static_cast<LRESULT>(old);
    }
    case LVM_GETEXTENDEDLISTVIEWSTYLE:
        return static_cast<LRESULT>(m_ExStyle);
    case LVM_SETHOVERTIME: {
        const int old = m_HoverTime;
        m_HoverTime = static_cast<int>(LParam);
        return old;
    }
    case LVM_GETHOVERTIME:
        return m_HoverTime;
    case LVM_SETSELECTIONMARK: {
        const int old = m_SelectionMark;
        m_SelectionMark = static_cast<int>(LParam);
        return old;
    }
    case LVM_SETITEMCOUNT:
        m_VirtualCount = static_cast<int>(WParam);
        return 1;
    case LVM_SETCOLUMNORDERARRAY: {
        const int count = static_cast<int>(WParam);
        const int* order = reinterpret_cast<const int*>(LParam);
        if (!order || count != ColumnCount())
            return 0;
        std::vector<bool> seen(static_cast<std::size_t>(count));
        for (int p = 0; p < count; ++p) {
            if (order[p] < 0 || order[p] >= count || seen[static_cast<std::size_t>(order[p])])
                return 0;
            seen[static_cast<std::size_t>(order[p])] = true;
        }
        for (int p = 0; p < count; ++p)
            m_Header->moveSection(m_Header->visualIndex(order[p]), p);
        return 1;
    }
    case LVM_GETCOLUMNORDERARRAY: {
        const int count = static_cast<int>(WParam);
        int* order = reinterpret_cast<int*>(LParam);
        if (!order || count != ColumnCount())
            return 0;
        for (int p = 0; p < count; ++p)
            order[p] = m_Header->logicalIndex(p);
        return 1;
    }
    case HDM_GETITEMA:
    case HDM_SETITEMA: {
        auto* item = Record<HDITEM>(LParam);
        const int index = static_cast<int>(WParam);
        if (!item || index < 0 || index >= ColumnCount())
            return 0;
        auto& column = m_Columns[static_cast<std::size_t>(index)];
        if (Msg == HDM_GETITEMA) {
            if (item->mask & HDI_FORMAT)
                item->fmt = column.HeaderFormat;
            if (item->mask & HDI_WIDTH)
                item->cxy = ColumnWidth(index);
            if (item->mask & HDI_TEXT)
                CopyText(column.Caption, item->pszText, item->cchTextMax);
        } else {
            if (item->mask & HDI_FORMAT)
                column.HeaderFormat = item->fmt;
            if (item->mask & HDI_WIDTH)
                SetColumnWidth(index, item->cxy);
            if (item->mask & HDI_TEXT)
                SetColumnCaption(index, item->pszText ? item->pszText : "");
            m_Header->viewport()->update();
        }
        return 1;
    }
    default:
        return 0;
    }
}
