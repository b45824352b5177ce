#pragma once

#include <QString>

#include <functional>
#include <future>
#include <string>
#include <string_view>
#include <sys/stat.h>

// Writes a file so that a failure at any step leaves the old bytes as they were. Normally the
// new file is written beside the old one under a name of our own that the next save reuses,
// synced, given the old file's mode, owner and group, and renamed over it. Where that cannot
// serve — the folder may not be written, the file has other names (hard links), or the disk
// has no room for a second copy — the file is rewritten in place: its room is reserved first,
// so a full disk fails before any old byte changes. A symbolic link keeps pointing at the
// file, which is the one written.
class TSafeFileWriter
{
public:
    explicit TSafeFileWriter(const QString& Path);
    ~TSafeFileWriter();
    TSafeFileWriter(const TSafeFileWriter&) = delete;
    TSafeFileWriter& operator=(const TSafeFileWriter&) = delete;

    // What a save of the catalogue asks beyond its bytes: a rewrite in place under a rollback
    // journal, refused when the journal cannot be written; and a word before the old file
    // changes (InPlace) or is replaced, so that a copy of it can be kept.
    struct TCare
    {
        bool Journal = false;
        std::function<void(bool InPlace)> BeforeChange;
    };
    void SetCare(TCare Care) { m_Care = std::move(Care); }

    bool Open();
    // Buffers the bytes (a piece of a chunk or more may go out at once); a failure is
    // remembered and reported by Commit().
    void Write(std::string_view Bytes);
    // Flushes, syncs and replaces the old file. False (with ErrorString()) on any failure.
    bool Commit();
    // Why the save failed, in Polish.
    QString ErrorString() const { return m_Error; }
    // Whether this save rewrites the file in place rather than replacing it.
    bool InPlace() const { return m_InPlace; }

private:
    bool OpenInPlace();
    bool SwitchToInPlace();
    bool FlushBuffer();
    bool WriteOut(std::string_view Bytes);
    void SyncSoFar();
    // Waits for the sync of the bytes so far, if one runs; the first error any such sync met.
    int AwaitSync();
    bool CommitReplace();
    bool CommitInPlace();
    // Writes the new bytes over the old ones; 0 or errno, and on a failure whether the old
    // bytes are back.
    int RewriteInPlace(const std::string& Old, off_t OldLength, bool& OldBack);
    bool Fail(int Errno);
    bool Fail(const QString& Reason);
    void Discard();

    std::string m_Path;
    std::string m_Target;
    std::string m_Temp;
    int m_Fd = -1;
    bool m_InPlace = false;
    bool m_Existed = false;
    struct stat m_Old = {};
    std::string m_Buffer;
    long long m_Written = 0;
    long long m_WritebackFrom = 0;
    std::future<int> m_Syncing;
    int m_SyncError = 0;
    bool m_Failed = false;
    QString m_Error;
    TCare m_Care;
};
