#pragma once

#include "ImportMapping.h"

#include <QStringList>

// The layouts of files a collection comes from, known by their header: the catalogue's own,
// an online collection service's export, a music collection manager's export (Polish or
// English captions), and a spreadsheet whose captions name the catalogue's fields. Each brings
// the mapping it proposes.
namespace Csv {

enum class TLayoutKind
{
    Own,               // "Nazwa;Rodzaj;Ilość CD;Półka;Pożyczone": no mapping step
    CollectionService, // Artist, Title, Format, CollectionFolder, ...
    MusicManager,      // Album, Wykonawca (Artist), Gatunek (Genre), ...
    Captions,          // some captions name the catalogue's fields
    Unknown,           // nothing chosen
};

struct TLayout
{
    TLayoutKind Kind = TLayoutKind::Unknown;
    QString Name; // as the mapping step says it
    TMapping Proposal;
};

// The catalogue's own layout: its five fields in order, a sixth an error.
TMapping OwnLayout();
// The layout a file's first row names.
TLayout Recognise(const QStringList& Header);

} // namespace Csv
