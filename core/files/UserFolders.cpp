#include "UserFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <sys/stat.h>

namespace UserFolders {

namespace {

// An XDG folder from its variable, when that names an absolute path; else Fallback in HOME.
QString XdgFolder(const char* Variable, const char* Fallback)
{
    const QString set = qEnvironmentVariable(Variable);
    if (!set.isEmpty() && QDir::isAbsolutePath(set))
        return set;
    return QDir::homePath() + QLatin1Char('/') + QLatin1String(Fallback);
}

} // namespace

QString State()
{
    return XdgFolder("XDG_STATE_HOME", ".local/state") + QStringLiteral("/dyskar");
}

QString Runtime()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir::isAbsolutePath(runtime) && QFileInfo(runtime).isDir())
        return runtime + QStringLiteral("/dyskar");
    return State();
}

QString Data()
{
    return XdgFolder("XDG_DATA_HOME", ".local/share") + QStringLiteral("/dyskar");
}

bool Make(const QString& Folder)
{
    QString made;
    for (const QString& part : Folder.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        made += QLatin1Char('/') + part;
        if (::mkdir(QFile::encodeName(made).constData(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    struct stat st = {};
    if (::stat(QFile::encodeName(Folder).constData(), &st) != 0)
        return false;
    if (!S_ISDIR(st.st_mode)) {
        errno = ENOTDIR;
        return false;
    }
    return true;
}

std::uint64_t Fnv1a(const char* Bytes, std::size_t Size, std::uint64_t Hash)
{
    for (std::size_t i = 0; i < Size; ++i) {
        Hash ^= static_cast<unsigned char>(Bytes[i]);
        Hash *= 1099511628211ull;
    }
    return Hash;
}

QString PathTag(const std::string& Path)
{
    return QStringLiteral("%1").arg(Fnv1a(Path.data(), Path.size()), 16, 16, QLatin1Char('0'));
}

} // namespace UserFolders
