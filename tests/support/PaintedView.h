#pragma once

#include "ListControl.h"

#include <QAbstractItemView>
#include <QImage>
#include <QtTest>

namespace TestSupport {

// The list's view as painted, once its window is on show (a null image if it never is).
inline QImage PaintedView(TListControl& List)
{
    if (!QTest::qWaitForWindowExposed(&List))
        return {};
    return List.View()->viewport()->grab().toImage();
}

} // namespace TestSupport
