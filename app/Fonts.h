#pragma once

#include <QFont>
#include <QStringList>

// The windows' font: "MS Sans Serif" at a height in pixels, or the nearest face fontconfig has.
inline QFont FormFont(int PixelHeight)
{
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("Arial")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(PixelHeight);
    return font;
}
