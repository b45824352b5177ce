#include "MappingMemory.h"

#include "Registry.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {

// Headers are told apart by their captions, trimmed, in their order.
QString KeyOf(const QStringList& Header)
{
    QStringList captions;
    for (const QString& caption : Header)
        captions << caption.trimmed();
    while (!captions.isEmpty() && captions.back().isEmpty())
        captions.removeLast();
    const QByteArray joined = captions.join(QChar(0x1f)).toUtf8();
    return QString::fromLatin1(
        QCryptographicHash::hash(joined, QCryptographicHash::Sha256).toHex().left(32));
}

} // namespace

TMappingMemory::TMappingMemory() : TMappingMemory(DefaultFile()) {}

TMappingMemory::TMappingMemory(const QString& File) : m_File(File) {}

QString TMappingMemory::DefaultFile()
{
    // Beside the program's other settings.
    return QFileInfo(TRegistry::DefaultFile()).absolutePath() + QStringLiteral("/Importy.ini");
}

std::optional<Csv::TMapping> TMappingMemory::Offer(const QStringList& Header, int Columns) const
{
    if (!QFileInfo::exists(m_File))
        return std::nullopt;
    QSettings store(m_File, QSettings::IniFormat);
    store.beginGroup(KeyOf(Header));
    if (!store.contains(QStringLiteral("kolumny")))
        return std::nullopt;
    Csv::TMapping mapping;
    const QStringList words = store.value(QStringLiteral("kolumny")).toString().split(u',');
    if (words.size() > std::max(Columns, int(Header.size())))
        return std::nullopt;
    for (const QString& word : words)
        mapping.Columns.push_back(Csv::TargetOfWord(word));
    mapping.HeaderRow = store.value(QStringLiteral("naglowek"), true).toBool();
    return mapping;
}

bool TMappingMemory::Remember(const QStringList& Header, const Csv::TMapping& Mapping) const
{
    QDir().mkpath(QFileInfo(m_File).absolutePath());
    QSettings store(m_File, QSettings::IniFormat);
    store.beginGroup(KeyOf(Header));
    QStringList words;
    for (const Csv::TTarget target : Mapping.Columns)
        words << (target == Csv::TTarget::Nothing ? QStringLiteral("-") : Csv::TargetWord(target));
    // The captions are kept beside the mapping for a person who reads the file.
    store.setValue(QStringLiteral("naglowek-pliku"), Header.join(QStringLiteral("; ")));
    store.setValue(QStringLiteral("kolumny"), words.join(u','));
    store.setValue(QStringLiteral("naglowek"), Mapping.HeaderRow);
    store.endGroup();
    store.sync();
    return store.status() == QSettings::NoError;
}
