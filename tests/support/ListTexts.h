#pragma once

#include "Cp1250.h"
#include "ListView.h"

#include <QStringList>

namespace TestSupport {

// The texts of one column of a list, top to bottom.
inline QStringList Column(const TCustomListView& List, int Column)
{
    QStringList texts;
    for (int i = 0; i < List.Items().Count(); ++i) {
        const TListItem* item = List.Items().Item(i);
        texts << Cp1250::ToUnicode(Column == 0 ? item->Caption() : item->SubItem(Column - 1));
    }
    return texts;
}

} // namespace TestSupport
