#include "SafeFileWriter.h"

#include "FileBytes.h"
#include "RollbackJournal.h"
#include "SystemError.h"

#include <QFile>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <future>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <utility>

namespace {

constexpr std::size_t kWriteChunk = 1 << 20;
// How much is written before what is written so far is synced, on a thread of its own, while
// the rest is still being made: the closing sync then waits for the last stretch only. A disk
// that keeps writes in a cache of its own (a virtual machine's, say) empties it only when
// synced, however long ago the bytes were handed to it.
constexpr long long kWritebackStretch = 8LL << 20;
// Beside the data file; one name, so a save that was cut off leaves at most this one file,
// which the next save takes over.
constexpr const char* kTempSuffix = ".zapisywanie";

std::string DirectoryOf(const std::string& Path)
{
    const std::size_t cut = Path.rfind('/');
    if (cut == std::string::npos)
        return ".";
    return cut == 0 ? "/" : Path.substr(0, cut);
}

// Giving back a large file's room can take longer than writing it (the disk is told of every
// freed stretch), and nobody waits for it: the old file is closed on a thread of its own.
void CloseAside(int Fd)
{
    try {
        std::thread([Fd] { ::close(Fd); }).detach();
    } catch (const std::system_error&) {
        ::close(Fd); // no thread to be had: closed here, at the cost of the wait
    }
}

bool NoRoom(int Errno)
{
    return Errno == ENOSPC || Errno == EDQUOT;
}

bool NoRoomOrRight(int Errno)
{
    return NoRoom(Errno) || Errno == EACCES || Errno == EPERM;
}

} // namespace

TSafeFileWriter::TSafeFileWriter(const QString& Path)
    : m_Path(QFile::encodeName(Path).toStdString())
{
}

TSafeFileWriter::~TSafeFileWriter()
{
    Discard();
}

bool TSafeFileWriter::Fail(int Errno)
{
    return Fail(SystemErrorText(Errno));
}

bool TSafeFileWriter::Fail(const QString& Reason)
{
    if (!m_Failed) {
        m_Failed = true;
        m_Error = Reason;
    }
    Discard();
    return false;
}

void TSafeFileWriter::Discard()
{
    (void)AwaitSync(); // never close the file under a sync still running
    if (m_Fd >= 0) {
        ::close(m_Fd);
        m_Fd = -1;
        // Only our own copy is removed; a file written in place is the user's.
        if (!m_InPlace)
            ::unlink(m_Temp.c_str());
    }
}

bool TSafeFileWriter::Open()
{
    Discard();
    m_Failed = false;
    m_Error.clear();
    m_Buffer.clear();
    m_Written = 0;
    m_WritebackFrom = 0;
    m_SyncError = 0;
    m_InPlace = false;
    // Through a symbolic link, the file it points at is the one replaced.
    m_Target = FileBytes::RealPath(m_Path);
    m_Old = {};
    m_Existed = ::stat(m_Target.c_str(), &m_Old) == 0;
    if (m_Existed && S_ISDIR(m_Old.st_mode))
        return Fail(EISDIR);
    // A file that nobody may write to is left as it is, also for the administrator.
    if (m_Existed && (m_Old.st_mode & 0222) == 0)
        return Fail(QStringLiteral("plik jest tylko do odczytu"));
    if (m_Existed && ::access(m_Target.c_str(), W_OK) != 0)
        return Fail(errno);
    m_Buffer.reserve(kWriteChunk);
    // A new file in place of the old one would leave its other names with the old bytes, and
    // a folder we may not write to takes no new file at all.
    const bool folderWritable = ::access(DirectoryOf(m_Target).c_str(), W_OK | X_OK) == 0;
    if (m_Existed && (!folderWritable || m_Old.st_nlink > 1))
        return OpenInPlace();
    m_Temp = m_Target + kTempSuffix;
    const mode_t mode = m_Existed ? (m_Old.st_mode & 07777) : 0666;
    m_Fd = ::open(m_Temp.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, mode);
    if (m_Fd < 0) {
        const int error = errno;
        return m_Existed && NoRoomOrRight(error) ? OpenInPlace() : Fail(error);
    }
    if (m_Existed) {
        // The new file takes the old one's place with its permissions and, where we may,
        // its owner and group.
        if (::fchown(m_Fd, m_Old.st_uid, m_Old.st_gid) != 0)
            (void)!::fchown(m_Fd, static_cast<uid_t>(-1), m_Old.st_gid);
        if (::fchmod(m_Fd, mode) != 0)
            return Fail(errno);
    }
    return true;
}

bool TSafeFileWriter::OpenInPlace()
{
    m_InPlace = true;
    m_Fd = ::open(m_Target.c_str(), O_RDWR | O_CLOEXEC);
    return m_Fd >= 0 || Fail(errno);
}

bool TSafeFileWriter::SwitchToInPlace()
{
    // What went into our copy so far comes back into memory, and the copy goes, so that its
    // room is free for the file itself.
    std::string all;
    if (const int error = FileBytes::ReadAt(m_Fd, std::size_t(m_Written), all))
        return Fail(error);
    all += m_Buffer;
    m_Buffer = std::move(all);
    m_Written = 0;
    m_WritebackFrom = 0;
    Discard();
    return OpenInPlace();
}

bool TSafeFileWriter::FlushBuffer()
{
    // Moved aside so that a failure can keep what was not written in the buffer.
    std::string pending = std::move(m_Buffer);
    m_Buffer.clear();
    if (!WriteOut(pending))
        return false;
    // The buffer's room is kept for the next chunk, unless a switch to writing in place has
    // filled the buffer with everything again.
    if (m_Buffer.empty()) {
        pending.clear();
        m_Buffer.swap(pending);
    }
    return true;
}

bool TSafeFileWriter::WriteOut(std::string_view Bytes)
{
    if (m_Failed || m_Fd < 0)
        return false;
    std::size_t done = 0;
    while (done < Bytes.size()) {
        const ssize_t n = ::write(m_Fd, Bytes.data() + done, Bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int error = n < 0 ? errno : ENOSPC;
            m_Written += static_cast<long long>(done);
            m_Buffer.assign(Bytes.substr(done));
            return m_Existed && NoRoom(error) ? SwitchToInPlace() : Fail(error);
        }
        done += static_cast<std::size_t>(n);
    }
    m_Written += static_cast<long long>(done);
    if (m_Written - m_WritebackFrom >= kWritebackStretch) {
        SyncSoFar();
        m_WritebackFrom = m_Written;
    }
    return true;
}

void TSafeFileWriter::SyncSoFar()
{
    using namespace std::chrono_literals;
    // One sync at a time; while one runs, the disk is only asked to start on the new bytes.
    if (!m_Syncing.valid() || m_Syncing.wait_for(0s) == std::future_status::ready) {
        if (const int error = AwaitSync())
            m_SyncError = error; // kept for the closing sync to report
        const int fd = m_Fd;
        try {
            m_Syncing =
                std::async(std::launch::async, [fd] { return ::fdatasync(fd) == 0 ? 0 : errno; });
            return;
        } catch (const std::system_error&) {
            // No thread to be had: the disk is only asked to start, as while a sync runs.
        }
    }
    (void)::sync_file_range(m_Fd, m_WritebackFrom, m_Written - m_WritebackFrom,
                            SYNC_FILE_RANGE_WRITE);
}

int TSafeFileWriter::AwaitSync()
{
    int error = std::exchange(m_SyncError, 0);
    if (m_Syncing.valid()) {
        const int last = m_Syncing.get();
        if (error == 0)
            error = last;
    }
    return error;
}

void TSafeFileWriter::Write(std::string_view Bytes)
{
    if (m_Failed)
        return;
    // In place, nothing is written before the whole content is known and its room reserved.
    if (m_InPlace) {
        m_Buffer.append(Bytes);
        return;
    }
    // A large piece goes out as it is when nothing waits before it.
    if (m_Buffer.empty() && Bytes.size() >= kWriteChunk) {
        WriteOut(Bytes);
        return;
    }
    m_Buffer.append(Bytes);
    if (m_Buffer.size() >= kWriteChunk)
        FlushBuffer();
}

bool TSafeFileWriter::Commit()
{
    if (m_Failed)
        return false;
    if (m_Fd < 0)
        return Fail(EBADF);
    if (!m_InPlace && !FlushBuffer())
        return false;
    return m_InPlace ? CommitInPlace() : CommitReplace();
}

bool TSafeFileWriter::CommitReplace()
{
    struct stat written = {};
    if (::fstat(m_Fd, &written) != 0)
        return Fail(errno);
    if (written.st_size != m_Written)
        return Fail(EIO);
    // A sync of the bytes so far that failed fails the save as the closing one would.
    int syncError = AwaitSync();
    if (syncError == 0 && ::fdatasync(m_Fd) != 0)
        syncError = errno;
    if (syncError != 0) {
        if (!(m_Existed && NoRoom(syncError) && SwitchToInPlace()))
            return Fail(syncError);
        return CommitInPlace();
    }
    const int fd = m_Fd;
    m_Fd = -1;
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(m_Temp.c_str());
        return Fail(error);
    }
    // Held open, the old file's room is given back when it is closed, not by the rename. Only
    // a plain file is held: opening anything else may wait (a named pipe) or do more.
    const int oldFile = m_Existed && S_ISREG(m_Old.st_mode)
                            ? ::open(m_Target.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)
                            : -1;
    if (m_Existed && m_Care.BeforeChange)
        m_Care.BeforeChange(false);
    if (::rename(m_Temp.c_str(), m_Target.c_str()) != 0) {
        const int error = errno;
        ::unlink(m_Temp.c_str());
        if (oldFile >= 0)
            ::close(oldFile);
        return Fail(error);
    }
    // The rename itself reaches the disk only with the folder.
    const int error = FileBytes::SyncFolder(DirectoryOf(m_Target));
    if (oldFile >= 0)
        CloseAside(oldFile);
    return error == 0 || Fail(error);
}

bool TSafeFileWriter::CommitInPlace()
{
    // The old bytes stay in memory until the new ones are on disk, so that a failing write
    // can put them back.
    struct stat now = {};
    if (::fstat(m_Fd, &now) != 0)
        return Fail(errno);
    std::string old;
    if (const int error = FileBytes::ReadAt(m_Fd, std::size_t(now.st_size), old))
        return Fail(error);
    if (m_Care.BeforeChange)
        m_Care.BeforeChange(true);
    // A power cut between the first changed byte and the last sync would leave a mix of old
    // and new: the journal, on disk before any byte changes, lets the next start undo it.
    TRollbackJournal journal(m_Target);
    if (m_Care.Journal) {
        if (const int error = journal.Write(now, old, m_Buffer))
            return Fail(QStringLiteral("nie można zapisać dziennika zapisu %1 (%2); plik "
                                       "pozostał bez zmian")
                            .arg(journal.Path(), SystemErrorText(error)));
    }
    bool oldBack = true;
    const int error = RewriteInPlace(old, now.st_size, oldBack);
    // Where the old bytes could not be put back, the journal stays for the next start.
    if (m_Care.Journal && oldBack)
        (void)journal.Remove(); // one of a finished rewrite would go at the next start anyway
    if (error != 0)
        return Fail(error);
    const int fd = m_Fd;
    m_Fd = -1;
    return ::close(fd) == 0 || Fail(errno);
}

int TSafeFileWriter::RewriteInPlace(const std::string& Old, off_t OldLength, bool& OldBack)
{
    const off_t length = off_t(m_Buffer.size());
    if (length > 0) {
        // Room first: a full disk must fail while every old byte is still there.
        if (const int error = ::posix_fallocate(m_Fd, 0, length)) {
            if (length > OldLength)
                (void)!::ftruncate(m_Fd, OldLength);
            return error;
        }
    }
    int error = FileBytes::WriteAt(m_Fd, m_Buffer);
    if (error == 0 && ::ftruncate(m_Fd, length) != 0)
        error = errno;
    if (error == 0 && ::fdatasync(m_Fd) != 0)
        error = errno;
    if (error == 0)
        return 0;
    OldBack = FileBytes::WriteAt(m_Fd, Old) == 0 && ::ftruncate(m_Fd, OldLength) == 0 &&
              ::fdatasync(m_Fd) == 0;
    return error;
}
