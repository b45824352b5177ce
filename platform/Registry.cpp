#include "Registry.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

TRegistry::TRegistry() : TRegistry(DefaultFile()) {}

TRegistry::TRegistry(const QString& File)
    : m_Store(std::make_unique<QSettings>(File, QSettings::IniFormat))
{
}

TRegistry::~TRegistry() = default;

QString TRegistry::DefaultFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Dyskar/Rejestr.ini");
}

bool TRegistry::OpenKey(const std::string& Key, bool CanCreate)
{
    // Separators at either end and doubled ones name the same key.
    const QStringList parts =
        QString::fromStdString(Key).split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return false;
    // An INI file holds a key through its values; a new key needs nothing written yet.
    (void)CanCreate;
    m_Key = parts.join(QLatin1Char('/'));
    return true;
}

void TRegistry::CloseKey()
{
    m_Key.clear();
}

QString TRegistry::ValuePath(const std::string& Name) const
{
    return m_Key + QLatin1Char('/') + QString::fromStdString(Name);
}

std::optional<std::string> TRegistry::ReadString(const std::string& Name) const
{
    if (m_Key.isEmpty())
        return std::nullopt;
    const QVariant value = m_Store->value(ValuePath(Name));
    if (!value.isValid())
        return std::nullopt;
    return value.toString().toStdString();
}

void TRegistry::WriteString(const std::string& Name, const std::string& Value)
{
    const std::string failed = "Failed to set data for '" + Name + "'";
    if (m_Key.isEmpty())
        throw ERegistryException(failed);
    // The settings folder may not exist yet.
    QDir().mkpath(QFileInfo(m_Store->fileName()).absolutePath());
    m_Store->setValue(ValuePath(Name), QString::fromStdString(Value));
    m_Store->sync();
    if (m_Store->status() != QSettings::NoError)
        throw ERegistryException(failed);
}
