#pragma once

#include <QString>
#include <QStringList>

// The last versions of a catalogue, kept in the user's data folder ("kopie"): before a save
// replaces the catalogue for the first time in a run, its bytes as they were are kept, by a
// hard link to the old file where it lies on the same file system (no byte is copied), else
// by a copy made with the same care as the catalogue. The last ten of each catalogue stay.
class TKeptVersions
{
public:
    static constexpr int kKept = 10;

    // The versions of the catalogue at Catalogue; Folder is where they are kept.
    TKeptVersions(const QString& Catalogue, const QString& Folder);
    // Keeps the catalogue's bytes as they are now: by a hard link when ByLink (the old file is
    // about to be replaced and stays as it is), else by a copy. Empty, or why not (in Polish).
    QString Keep(bool ByLink);
    // The versions kept, oldest first.
    QStringList Kept() const;
    const QString& Folder() const { return m_Folder; }

private:
    QString NewName() const;
    QString Copy(const QString& To) const;
    void DropOld() const;

    QString m_Catalogue;
    QString m_Folder;
    QString m_Prefix; // the catalogue's name and the tag of its path
};
