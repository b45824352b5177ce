#include "SafeFileWriter.h"

#include "SystemError.h"

#include <QFile>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::size_t kWriteChunk = 1 << 20;
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
    if (m_Fd >= 0) {
        ::close(m_Fd);
        m_Fd = -1;
        ::unlink(m_Temp.c_str());
    }
}

bool TSafeFileWriter::Open()
{
    m_Failed = false;
    m_Error.clear();
    m_Buffer.clear();
    m_Written = 0;
    // Through a symbolic link, the file it points at is the one replaced.
    m_Target = m_Path;
    if (char* real = ::realpath(m_Path.c_str(), nullptr)) {
        m_Target = real;
        std::free(real);
    }
    struct stat old = {};
    const bool existed = ::stat(m_Target.c_str(), &old) == 0;
    if (existed && S_ISDIR(old.st_mode))
        return Fail(EISDIR);
    // A file that nobody may write to is left as it is, also for the administrator.
    if (existed && (old.st_mode & 0222) == 0)
        return Fail(QStringLiteral("plik jest tylko do odczytu"));
    if (existed && ::access(m_Target.c_str(), W_OK) != 0)
        return Fail(errno);
    m_Temp = m_Target + kTempSuffix;
    const mode_t mode = existed ? (old.st_mode & 07777) : 0666;
    m_Fd = ::open(m_Temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, mode);
    if (m_Fd < 0)
        return Fail(errno);
    if (existed) {
        // The new file takes the old one's place with its permissions and, where we may,
        // its owner and group.
        if (::fchown(m_Fd, old.st_uid, old.st_gid) != 0)
            (void)!::fchown(m_Fd, static_cast<uid_t>(-1), old.st_gid);
        if (::fchmod(m_Fd, mode) != 0)
            return Fail(errno);
    }
    m_Buffer.reserve(kWriteChunk);
    return true;
}

bool TSafeFileWriter::FlushBuffer()
{
    if (m_Failed || m_Fd < 0)
        return false;
    std::size_t done = 0;
    while (done < m_Buffer.size()) {
        const ssize_t n = ::write(m_Fd, m_Buffer.data() + done, m_Buffer.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return Fail(n < 0 ? errno : ENOSPC);
        done += static_cast<std::size_t>(n);
    }
    m_Written += static_cast<long long>(done);
    m_Buffer.clear();
    return true;
}

void TSafeFileWriter::Write(std::string_view Bytes)
{
    if (m_Failed)
        return;
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
    if (!FlushBuffer())
        return false;
    struct stat written = {};
    if (::fstat(m_Fd, &written) != 0)
        return Fail(errno);
    if (written.st_size != m_Written)
        return Fail(EIO);
    if (::fdatasync(m_Fd) != 0)
        return Fail(errno);
    const int fd = m_Fd;
    m_Fd = -1;
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(m_Temp.c_str());
        return Fail(error);
    }
    if (::rename(m_Temp.c_str(), m_Target.c_str()) != 0) {
        const int error = errno;
        ::unlink(m_Temp.c_str());
        return Fail(error);
    }
    // The rename itself reaches the disk only with the folder.
    const int dir = ::open(DirectoryOf(m_Target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}
