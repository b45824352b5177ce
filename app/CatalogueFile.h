#pragma once

#include <QString>

// Which file holds the catalogue, and whether its folder is made at the first save.
struct TCatalogueFile
{
    QString Path;
    bool MakeFolder = false; // the user's data folder, which nothing makes before the save
};

// Where the catalogue lives when no file is named on the command line: beside the program
// ("Dyskar.dat" in its folder) when one stands there or when the program is not installed;
// for an installed program (one whose desktop entry lies at ../share/applications/ from its
// folder, wherever the install tree is) in DataHome/dyskar/Dyskar.dat.
TCatalogueFile DefaultCatalogueFile(const QString& ExecutablePath, const QString& DataHome);
// The same, with the user's data folder ($XDG_DATA_HOME, by default ~/.local/share).
TCatalogueFile DefaultCatalogueFile(const QString& ExecutablePath);
// Whether the program at ExecutablePath stands in the bin folder of an install tree.
bool IsInstalled(const QString& ExecutablePath);
// Makes the folder of Path and the folders above it that are missing; the reason in Polish
// when it cannot.
bool MakeFolderOf(const QString& Path, QString& Error);

// The id the desktop knows the program by: its desktop entry, icon and metadata are named so.
inline const QString kDesktopId = QStringLiteral("pl.dyskar.Dyskar");
