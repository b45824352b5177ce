#pragma once

#include "ListMessages.h"
#include "ListWindow.h"

#include <functional>

// The report-style list control as its owner drives it: SendMessage with the platform's message
// numbers and records, each handed to the handler of its family (items, columns and header,
// styles), which changes the window; the window tells its owner what happened through
// notifications (WM_NOTIFY).
class TListControl final : public TListWindow
{
    Q_OBJECT
public:
    explicit TListControl(QWidget* Parent = nullptr) : TListWindow(Parent) {}

    Win::LRESULT SendMessage(Win::UINT Msg, Win::WPARAM WParam, Win::LPARAM LParam);
    // Sees every message sent to the control before it is handled, as a subclassed window
    // procedure does (tests read the traffic with it).
    using TMessageTap = std::function<void(Win::UINT, Win::WPARAM, Win::LPARAM)>;
    void SetMessageTap(TMessageTap Tap) { m_Tap = std::move(Tap); }

private:
    TMessageTap m_Tap;
};
