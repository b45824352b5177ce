#include "CatalogueSafety.h"

#include "DialogParts.h"
#include "FileBytes.h"
#include "KeptVersions.h"
#include "RollbackJournal.h"
#include "UserFolders.h"

#include <QDir>
#include <QFile>

#include <cstdlib>

QString TCatalogueSafety::VersionsFolder()
{
    return UserFolders::Data() + QStringLiteral("/kopie");
}

bool TCatalogueSafety::Open(QWidget* Window)
{
    const QString path = QDir::toNativeSeparators(m_Catalogue);
    if (m_Lock.Take(m_Catalogue) == TCatalogueLock::lkHeldElsewhere) {
        // Working an hour in each of two windows loses one of the hours: say so now.
        return DialogParts::AskUser(
            Window, QStringLiteral("Katalog %1 jest już otwarty w innym oknie programu Dyskar.\n"
                                   "Zmiany zapisane w jednym oknie mogą zastąpić zmiany z "
                                   "drugiego.\nOtworzyć go mimo to?")
                        .arg(path));
    }
    Recover(Window);
    return true;
}

void TCatalogueSafety::Recover(QWidget* Window)
{
    TRollbackJournal journal(FileBytes::RealPath(QFile::encodeName(m_Catalogue).toStdString()));
    const TRollbackJournal::TRecovery recovered = journal.Recover();
    const QString path = QDir::toNativeSeparators(m_Catalogue);
    switch (recovered.Outcome) {
    case TRollbackJournal::joRolledBack:
        DialogParts::ShowMessage(Window, QStringLiteral("Ostatni zapis pliku %1 został przerwany. "
                                                        "Katalog jest taki, jak przed tym zapisem.")
                                             .arg(path));
        break;
    case TRollbackJournal::joOtherFile:
        DialogParts::ShowMessage(
            Window,
            QStringLiteral("Znaleziono dziennik przerwanego zapisu pliku %1 (%2), ale w tym "
                           "miejscu stoi teraz inny plik. Dziennik pozostawiono bez zmian.")
                .arg(path, QDir::toNativeSeparators(journal.Path())));
        break;
    case TRollbackJournal::joFailed:
        DialogParts::ShowMessage(
            Window, QStringLiteral("Nie można przywrócić pliku %1 sprzed przerwanego zapisu: %2.\n"
                                   "Dziennik %3 zachowano; przy następnym uruchomieniu programu "
                                   "nastąpi kolejna próba.")
                        .arg(path, recovered.Error, QDir::toNativeSeparators(journal.Path())));
        break;
    case TRollbackJournal::joNone:
    case TRollbackJournal::joFinished:
        break;
    }
}

TSafeFileWriter::TCare TCatalogueSafety::CareForSave(QString& VersionError)
{
    TSafeFileWriter::TCare care;
    care.Journal = true;
    if (!m_VersionKept)
        care.BeforeChange = [this, &VersionError](bool InPlace) {
            VersionError = TKeptVersions(m_Catalogue, VersionsFolder()).Keep(!InPlace);
            m_VersionKept = VersionError.isEmpty();
        };
    return care;
}

void TCatalogueSafety::Saved()
{
    if (m_Lock.Held())
        m_Lock.Follow(m_Catalogue);
}
