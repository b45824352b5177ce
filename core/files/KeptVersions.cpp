#include "KeptVersions.h"

#include "FileBytes.h"
#include "SafeFileWriter.h"
#include "SystemError.h"
#include "UserFolders.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <system_error>
#include <thread>

#include <fcntl.h>

#include <unistd.h>

TKeptVersions::TKeptVersions(const QString& Catalogue, const QString& Folder)
    : m_Catalogue(Catalogue), m_Folder(Folder)
{
    QString base = QFileInfo(Catalogue).fileName();
    if (base.endsWith(QStringLiteral(".dat"), Qt::CaseInsensitive))
        base.chop(4);
    m_Prefix =
        base + QLatin1Char('-') +
        UserFolders::PathTag(FileBytes::RealPath(QFile::encodeName(Catalogue).toStdString())) +
        QLatin1Char('-');
}

QString TKeptVersions::NewName() const
{
    // The time of day to the millisecond: the names sort as the versions came.
    QDateTime when = QDateTime::currentDateTime();
    for (;;) {
        const QString name = m_Folder + QLatin1Char('/') + m_Prefix +
                             when.toString(QStringLiteral("yyyyMMdd-HHmmss-zzz")) +
                             QStringLiteral(".dat");
        if (!QFileInfo::exists(name))
            return name;
        when = when.addMSecs(1);
    }
}

QString TKeptVersions::Keep(bool ByLink)
{
    if (!UserFolders::Make(m_Folder))
        return QStringLiteral("nie można utworzyć folderu %1: %2")
            .arg(QDir::toNativeSeparators(m_Folder), SystemErrorText(errno));
    const QString name = NewName();
    const std::string from = FileBytes::RealPath(QFile::encodeName(m_Catalogue).toStdString());
    QString error;
    if (!ByLink || ::link(from.c_str(), QFile::encodeName(name).constData()) != 0)
        error = Copy(name); // another file system, or the old file is about to change
    if (error.isEmpty())
        DropOld();
    return error;
}

QString TKeptVersions::Copy(const QString& To) const
{
    QFile source(m_Catalogue);
    if (!source.open(QIODevice::ReadOnly))
        return source.errorString();
    const QByteArray bytes = source.readAll();
    if (source.error() != QFileDevice::NoError)
        return source.errorString();
    TSafeFileWriter copy(To);
    if (!copy.Open())
        return copy.ErrorString();
    copy.Write(std::string_view(bytes.constData(), std::size_t(bytes.size())));
    return copy.Commit() ? QString() : copy.ErrorString();
}

QStringList TKeptVersions::Kept() const
{
    QStringList kept =
        QDir(m_Folder).entryList({m_Prefix + QStringLiteral("*.dat")}, QDir::Files, QDir::Name);
    for (QString& name : kept)
        name = m_Folder + QLatin1Char('/') + name;
    return kept;
}

void TKeptVersions::DropOld() const
{
    // Giving back a large file's room can take longer than a save: each old version is held
    // open while its name goes, and closed on a thread of its own.
    const QStringList kept = Kept();
    for (qsizetype i = 0; i + kKept < kept.size(); ++i) {
        const QByteArray name = QFile::encodeName(kept[i]);
        const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        ::unlink(name.constData());
        if (fd < 0)
            continue;
        try {
            std::thread([fd] { ::close(fd); }).detach();
        } catch (const std::system_error&) {
            ::close(fd);
        }
    }
}
