#include "CatalogueLock.h"

#include "UserFolders.h"

#include <QFile>

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A lock of the open file itself, not of the process: two opens in one process exclude each
// other too. Older kernels without such locks take flock, which behaves alike.
bool LockWhole(int Fd)
{
    struct flock lock = {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    if (::fcntl(Fd, F_OFD_SETLK, &lock) == 0)
        return true;
    if (errno != EINVAL)
        return false;
    return ::flock(Fd, LOCK_EX | LOCK_NB) == 0;
}

} // namespace

QString TCatalogueLock::NameOf(const QString& Catalogue)
{
    const std::string path = QFile::encodeName(Catalogue).toStdString();
    struct stat st = {};
    if (::stat(path.c_str(), &st) == 0)
        return UserFolders::Runtime() +
               QStringLiteral("/lock-%1-%2").arg(quint64(st.st_dev)).arg(quint64(st.st_ino));
    return UserFolders::Runtime() + QStringLiteral("/lock-path-") + UserFolders::PathTag(path);
}

int TCatalogueLock::Lock(const QString& Name, TResult& Result)
{
    Result = lkFailed;
    if (!UserFolders::Make(UserFolders::Runtime()))
        return -1;
    const int fd = ::open(QFile::encodeName(Name).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return -1;
    if (LockWhole(fd)) {
        Result = lkTaken;
        return fd;
    }
    if (errno == EAGAIN || errno == EACCES || errno == EWOULDBLOCK)
        Result = lkHeldElsewhere;
    ::close(fd);
    return -1;
}

TCatalogueLock::TResult TCatalogueLock::Take(const QString& Catalogue)
{
    Release();
    TResult result = lkFailed;
    m_Name = NameOf(Catalogue);
    m_Fd = Lock(m_Name, result);
    return result;
}

bool TCatalogueLock::Follow(const QString& Catalogue)
{
    const QString name = NameOf(Catalogue);
    if (m_Fd >= 0 && name == m_Name)
        return true;
    TResult result = lkFailed;
    const int fd = Lock(name, result);
    if (result == lkHeldElsewhere)
        return false;
    Release();
    m_Fd = fd;
    m_Name = name;
    return true;
}

void TCatalogueLock::Release()
{
    if (m_Fd < 0)
        return;
    // The lock's file stays: removing it could let two copies lock two files of one name. It
    // lies in the runtime folder, which the system empties at the end of the session.
    ::close(m_Fd);
    m_Fd = -1;
}

bool TCatalogueLock::HeldElsewhere(const QString& Catalogue)
{
    TResult result = lkFailed;
    const int fd = Lock(NameOf(Catalogue), result);
    if (fd >= 0)
        ::close(fd); // closing the probe's own open lets its lock go
    return result == lkHeldElsewhere;
}
