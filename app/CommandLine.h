#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// What the command line asks for: a catalogue to open instead of the default one, or nothing
// but a text (the usage, the version, or why the line cannot be used) and an exit status.
struct TCommandLine
{
    std::optional<int> ExitNow; // set when the program ends without a window
    QString Output;             // for standard output
    QString Errors;             // for standard error
    QString File;               // the catalogue named, absolute; empty for the default one
};

// Reads the arguments (the program's name first), in Polish; relative paths are taken from
// CurrentFolder. Needs an application object, with the translations installed before.
TCommandLine ReadCommandLine(const QStringList& Arguments, const QString& CurrentFolder);
