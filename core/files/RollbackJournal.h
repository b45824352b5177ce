#pragma once

#include <QString>

#include <cstdint>
#include <string>

#include <sys/stat.h>

// The journal of one rewrite of a catalogue in place, as databases keep for their own files:
// written and synced before the first byte of the file changes, holding the file's identity,
// its old bytes and the length and checksum of the new ones; removed once the new bytes are
// on disk. Should the machine stop in between, the next start finds the journal and puts the
// old bytes back unless the file already holds exactly the new ones. Kept in the user's state
// folder, one per catalogue, never beside the catalogue.
class TRollbackJournal
{
public:
    // The journal of the catalogue whose file stands at Target (its real path).
    explicit TRollbackJournal(std::string Target);

    const QString& Path() const { return m_Path; }
    // 0, or the error that kept the journal from being written whole and synced; then the
    // rewrite must not begin.
    int Write(const struct stat& Identity, const std::string& Old, const std::string& New);
    // 0, or the error that kept it from going.
    int Remove();

    enum TOutcome
    {
        joNone,       // no journal: the last save finished
        joFinished,   // the file holds the new bytes: the journal went
        joRolledBack, // the old bytes are back
        joOtherFile,  // the journal is of another file at this place: left alone
        joFailed      // the old bytes could not be put back: the journal is kept
    };
    struct TRecovery
    {
        TOutcome Outcome = joNone;
        QString Error; // why a rollback failed, in Polish
    };
    // At start-up, before the catalogue is read: the file as it was before an interrupted
    // rewrite, or as the rewrite left it if it finished.
    TRecovery Recover();

private:
    struct TContent;
    bool Read(TContent& Content) const;
    int RollBack(const TContent& Content) const;

    std::string m_Target;
    QString m_Path;
};
