#pragma once

#include <QString>

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

class QSettings;

// A registry value could not be read or written.
class ERegistryException : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The user's part of the registry: keys named by paths with backslashes, holding string
// values by name. Kept in an INI file in the user's settings folder ($XDG_CONFIG_HOME), so that
// a person can read it and a test can point it elsewhere.
class TRegistry
{
public:
    // The store in the user's settings folder, or the given INI file.
    TRegistry();
    explicit TRegistry(const QString& File);
    ~TRegistry();
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    static QString DefaultFile();

    // Opens the key below the user's hive; a missing key is created when CanCreate is set.
    // False when the path names no key.
    bool OpenKey(const std::string& Key, bool CanCreate);
    void CloseKey();
    std::optional<std::string> ReadString(const std::string& Name) const;
    // Written at once; a value that cannot be stored raises "Failed to set data for 'Name'".
    void WriteString(const std::string& Name, const std::string& Value);

private:
    QString ValuePath(const std::string& Name) const;

    std::unique_ptr<QSettings> m_Store;
    QString m_Key; // the open key as a settings group, empty when none is open
};
