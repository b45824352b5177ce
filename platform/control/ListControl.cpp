#include "ListControl.h"

#include "ListColumnMessages.h"
#include "ListItemMessages.h"
#include "ListStyleMessages.h"

using namespace Win;

LRESULT TListControl::SendMessage(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    if (m_Tap)
        m_Tap(Msg, WParam, LParam);
    for (auto* handler :
         {&ListItemMessages::Handle, &ListColumnMessages::Handle, &ListStyleMessages::Handle})
        if (const auto result = handler(*this, Msg, WParam, LParam))
            return *result;
    return 0;
}
