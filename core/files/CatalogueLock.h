#pragma once

#include <QString>

// Tells other copies of the program that a catalogue is open in this one: an advisory lock in
// the user's runtime folder, keyed by the catalogue file's device and inode (a hard link is
// the same catalogue; a catalogue not yet made is known by its path). The kernel lets go of
// the lock of a copy that ends, however it ends; no file is left beside the catalogue.
class TCatalogueLock
{
public:
    TCatalogueLock() = default;
    ~TCatalogueLock() { Release(); }
    TCatalogueLock(const TCatalogueLock&) = delete;
    TCatalogueLock& operator=(const TCatalogueLock&) = delete;

    enum TResult
    {
        lkTaken,
        lkHeldElsewhere, // another copy has the catalogue open
        lkFailed         // no lock could be had (no folder for it): nobody is told
    };
    TResult Take(const QString& Catalogue);
    // A save gave the catalogue a new file: the lock follows it. False when the new one is
    // held elsewhere (the old lock is then kept).
    bool Follow(const QString& Catalogue);
    void Release();
    bool Held() const { return m_Fd >= 0; }
    // Whether another copy holds the lock of this catalogue now.
    static bool HeldElsewhere(const QString& Catalogue);

private:
    static QString NameOf(const QString& Catalogue);
    static int Lock(const QString& Name, TResult& Result);

    int m_Fd = -1;
    QString m_Name;
};
