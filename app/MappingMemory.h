#pragma once

#include "ImportMapping.h"

#include <QString>
#include <QStringList>

#include <optional>

// The last mapping used for each header, kept in the user's configuration folder so that the
// next file of the same kind is offered it again.
class TMappingMemory
{
public:
    // The store in the user's configuration folder, or the given file.
    TMappingMemory();
    explicit TMappingMemory(const QString& File);

    static QString DefaultFile();

    // The mapping last used for a file with this header, if it still fits the file's columns.
    std::optional<Csv::TMapping> Offer(const QStringList& Header, int Columns) const;
    // False when it could not be kept (the import goes on regardless).
    bool Remember(const QStringList& Header, const Csv::TMapping& Mapping) const;

private:
    QString m_File;
};
