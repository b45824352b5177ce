#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <QTemporaryDir>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <string>

namespace TestSupport {

inline QByteArray ReadAll(const QString& Path)
{
    QFile f(Path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

inline bool WriteAll(const QString& Path, const QByteArray& Bytes)
{
    QFile f(Path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(Bytes) == Bytes.size();
}

// Whether file permissions bind this process, which they do not for an administrator who
// keeps the capability to override them.
inline bool PermissionsBind()
{
    QTemporaryDir dir;
    const QByteArray folder = QFile::encodeName(dir.path());
    ::chmod(folder.constData(), 0555);
    const bool bind = !QFile(dir.filePath("probe")).open(QIODevice::WriteOnly);
    ::chmod(folder.constData(), 0755);
    return bind;
}

// While alive, files of this process cannot grow beyond Limit bytes: a full disk without root.
class TFileSizeLimit
{
public:
    explicit TFileSizeLimit(rlim_t Limit)
    {
        m_OldHandler = signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_Old);
        rlimit now = m_Old;
        now.rlim_cur = Limit;
        setrlimit(RLIMIT_FSIZE, &now);
    }
    ~TFileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_Old);
        signal(SIGXFSZ, m_OldHandler);
    }
    TFileSizeLimit(const TFileSizeLimit&) = delete;
    TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;

private:
    rlimit m_Old{};
    sighandler_t m_OldHandler;
};

} // namespace TestSupport
