#include "Application.h"

#include "CatalogueFile.h"
#include "CommandLine.h"
#include "Dodaj.h"
#include "Edytuj.h"
#include "Main.h"

#include <QDir>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdio>

TApplication::TApplication(int& Argc, char** Argv) : QApplication(Argc, Argv) {}

bool TApplication::notify(QObject* Receiver, QEvent* Event)
{
    try {
        return QApplication::notify(Receiver, Event);
    } catch (const std::exception& e) {
        TMainForm::ShowMessage(activeWindow(), QString::fromLocal8Bit(e.what()));
    } catch (...) {
        TMainForm::ShowMessage(activeWindow(), QStringLiteral("Nieznany błąd"));
    }
    return false;
}

bool InstallPolishTranslation(QCoreApplication& Application)
{
    // Qt's own texts (context menus, standard buttons) in Polish, as the rest of the program.
    auto* translator = new QTranslator(&Application);
    if (!translator->load(QLocale(QLocale::Polish, QLocale::Poland), QStringLiteral("qtbase"),
                          QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

namespace {

void Print(std::FILE* To, const QString& Text)
{
    const QByteArray bytes = Text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), To);
    std::fflush(To);
}

// The command line is read before any window may be made: --help and --version work
// without a display, and a line that cannot be used opens no window.
TCommandLine ReadArguments(int Argc, char** Argv)
{
    QCoreApplication application(Argc, Argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(DYSKAR_VERSION));
    InstallPolishTranslation(application);
    TCommandLine line = ReadCommandLine(QCoreApplication::arguments(), QDir::currentPath());
    Print(stdout, line.Output);
    Print(stderr, line.Errors);
    return line;
}

} // namespace

int RunDyskar(int Argc, char** Argv)
{
    const TCommandLine line = ReadArguments(Argc, Argv);
    if (line.ExitNow)
        return *line.ExitNow;
    TApplication application(Argc, Argv);
    // The title on the task bar; no display name, which the toolkit would append to every
    // window's caption.
    TApplication::setApplicationName(QStringLiteral("Dyskar"));
    TApplication::setApplicationVersion(QStringLiteral(DYSKAR_VERSION));
    TApplication::setDesktopFileName(kDesktopId);
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/dyskar-48.png"));
    icon.addFile(QStringLiteral(":/icons/dyskar.png"));
    TApplication::setWindowIcon(icon);
    TApplication::setQuitOnLastWindowClosed(true);
    InstallPolishTranslation(application);

    const TCatalogueFile file = line.File.isEmpty()
                                    ? DefaultCatalogueFile(QCoreApplication::applicationFilePath())
                                    : TCatalogueFile{line.File, false};
    TMainForm main(file);
    if (main.Refused())
        return 0;
    TDodajForm dodaj(main, &main);
    TEdytujForm edytuj(main, &main);
    main.show();
    return TApplication::exec();
}
