#pragma once

#include <QApplication>
#include <QLocale>

// The widgets that the fuzz targets drive need an application; one for the whole run, on the
// offscreen platform, with the catalogue's Polish locale.
inline void StartFuzzApplication()
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
}
