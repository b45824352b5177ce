#pragma once

#include "CatalogueLock.h"
#include "SafeFileWriter.h"

#include <QString>

class QWidget;

// What keeps one open catalogue safe beyond its own file: the lock that tells a second copy of
// the program that it is open here, the journal that undoes a rewrite in place cut off by a
// power cut, and the versions kept before a save replaces it.
class TCatalogueSafety
{
public:
    explicit TCatalogueSafety(QString Catalogue) : m_Catalogue(std::move(Catalogue)) {}

    // Before the catalogue is read: takes its lock, asking the user whether to open it anyway
    // when another copy has it open, and puts it back as it was before an interrupted save
    // (never while another copy has it open). False when the user chose not to open it.
    bool Open(QWidget* Window);
    // What a save asks: the journal, and the old file kept before the first save of the run
    // replaces it; a failure to keep it lands in VersionError, and the save goes on.
    TSafeFileWriter::TCare CareForSave(QString& VersionError);
    // After a save: the lock follows the file a save made anew.
    void Saved();
    // Where the kept versions of the catalogues lie.
    static QString VersionsFolder();

private:
    void Recover(QWidget* Window);

    QString m_Catalogue;
    TCatalogueLock m_Lock;
    bool m_VersionKept = false;
};
