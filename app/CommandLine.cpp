#include "CommandLine.h"

#include <QCommandLineParser>
#include <QDir>

TCommandLine ReadCommandLine(const QStringList& Arguments, const QString& CurrentFolder)
{
    TCommandLine line;
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Dyskar: katalog prywatnej kolekcji płyt CD. Bez argumentu otwiera "
                       "katalog domyślny."));
    // Options of our own: Qt's help option offers Qt's options too, and its text is not Polish.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Wyświetla tę pomoc i kończy."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Wyświetla wersję programu i kończy."));
    parser.addOption(help);
    parser.addOption(version);
    parser.addPositionalArgument(QStringLiteral("PLIK"),
                                 QStringLiteral("Katalog do otwarcia zamiast domyślnego."),
                                 QStringLiteral("[PLIK]"));
    if (!parser.parse(Arguments)) {
        line.Errors = QStringLiteral("dyskar: %1\nWięcej: dyskar --help\n").arg(parser.errorText());
        line.ExitNow = 2;
        return line;
    }
    if (parser.isSet(help)) {
        line.Output = parser.helpText();
        line.ExitNow = 0;
        return line;
    }
    if (parser.isSet(version)) {
        line.Output = QStringLiteral("dyskar %1\n").arg(QCoreApplication::applicationVersion());
        line.ExitNow = 0;
        return line;
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        line.Errors = QStringLiteral("dyskar: można podać tylko jeden plik katalogu, podano %1.\n"
                                     "Więcej: dyskar --help\n")
                          .arg(files.size());
        line.ExitNow = 2;
        return line;
    }
    if (!files.isEmpty())
        line.File = QDir::cleanPath(QDir(CurrentFolder).absoluteFilePath(files.first()));
    return line;
}
