#include "CatalogueFile.h"

#include "Catalogue.h"
#include "SystemError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>

#include <sys/stat.h>

bool IsInstalled(const QString& ExecutablePath)
{
    const QString folder = QFileInfo(ExecutablePath).absolutePath();
    return QFileInfo::exists(folder + QStringLiteral("/../share/applications/") + kDesktopId +
                             QStringLiteral(".desktop"));
}

TCatalogueFile DefaultCatalogueFile(const QString& ExecutablePath, const QString& DataHome)
{
    const QString beside = Catalogue::DataFilePath(ExecutablePath);
    // Decided by where the program stands, not by whether its folder may be written: root may
    // write /usr/bin, and must not leave there a catalogue that no package owns.
    if (Catalogue::SomethingAt(beside) || !IsInstalled(ExecutablePath) || DataHome.isEmpty())
        return {beside, false};
    return {QDir(DataHome).filePath(QStringLiteral("dyskar/Dyskar.dat")), true};
}

TCatalogueFile DefaultCatalogueFile(const QString& ExecutablePath)
{
    return DefaultCatalogueFile(
        ExecutablePath, QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
}

bool MakeFolderOf(const QString& Path, QString& Error)
{
    const QString folder = QFileInfo(Path).absolutePath();
    const QStringList parts = folder.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString made;
    for (const QString& part : parts) {
        made += QLatin1Char('/') + part;
        if (::mkdir(QFile::encodeName(made).constData(), 0700) == 0 || errno == EEXIST)
            continue;
        Error = QStringLiteral("nie można utworzyć folderu %1: %2")
                    .arg(QDir::toNativeSeparators(made), SystemErrorText(errno));
        return false;
    }
    return true;
}
