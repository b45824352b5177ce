#pragma once

#include "ListMessages.h"

#include <QRect>
#include <Qt>

#include <functional>
#include <string>

class QPainter;
class TListCells;

// Builds the list control's notifications and sends them to its owner: the one way by which
// the control, its view and its header tell the owner what happened.
class TListNotifier
{
public:
    using TOwnerProc = std::function<Win::LRESULT(Win::UINT, Win::WPARAM, Win::LPARAM)>;

    // Window is the sender named in the notifications of the list whose cells these are.
    TListNotifier(const TListCells& Cells, void* Window) : m_Cells(Cells), m_Window(Window) {}

    // The header window, named as the sender of header notifications.
    void SetHeader(void* Header) { m_Header = Header; }
    void SetOwner(TOwnerProc Owner) { m_Owner = std::move(Owner); }

    // An item notification (NMLISTVIEW); the row's Param goes with it unless one is given.
    Win::LRESULT Item(int Code, int Item, int SubItem = 0, Win::LPARAM Param = 0);
    // An item is activated (NMITEMACTIVATE) by a click or a key, with the keys held then.
    Win::LRESULT Activate(int Item, int SubItem, const QPoint& At, Qt::KeyboardModifiers Keys);
    // The pointer moves over the list under hot tracking (NMLISTVIEW); the owner may name
    // another item as hot, and answers non-zero to keep it from being hover-selected.
    Win::LRESULT HotTrack(int& Item, int SubItem, const QPoint& At);
    // A header notification (NMHEADER) from the header window.
    Win::LRESULT Header(int Code, int Item);
    // Owner-data lists: the rows about to be shown; the owner's answer to a search (the row
    // found, or -1); a range of rows whose state changed together.
    void CacheHint(int First, int Last);
    int FindItem(int Start, const std::string& Text);
    void StateChanged(int First, int Last, Win::UINT NewState, Win::UINT OldState);
    // A rubber-band selection may start unless the owner answers non-zero.
    bool MarqueeBegin();
    // Asks the owner for the parts of an item that Record's mask names (LVN_GETDISPINFOA).
    void DispInfo(Win::LVITEM& Record);
    // Owner-drawn rows: their height, asked once, and the painting of one row.
    int MeasureRow(int Height);
    Win::LRESULT DrawRow(QPainter* Painter, const QRect& Rect, int Row, Win::UINT State);
    // Asks the owner to paint an owner-drawn header item (WM_DRAWITEM); non-zero if it did.
    Win::LRESULT DrawHeaderItem(QPainter* Painter, const QRect& Rect, int Item, bool Pressed);

    // Sends a notification record to the owner as the control sends its own (WM_NOTIFY).
    Win::LRESULT Notify(Win::NMHDR& Header);

private:
    // A notification record of the control, its sender and code filled in.
    template <typename TRecord> TRecord Fresh(int Code)
    {
        TRecord record;
        record.hdr.hwndFrom = m_Window;
        record.hdr.code = Code;
        return record;
    }

    const TListCells& m_Cells;
    void* m_Window;
    void* m_Header = nullptr;
    TOwnerProc m_Owner;
};
