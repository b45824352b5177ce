#include "Application.h"

#include "Dodaj.h"
#include "Edytuj.h"
#include "Main.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

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

int RunDyskar(int Argc, char** Argv)
{
    TApplication application(Argc, Argv);
    // The title on the task bar; no display name, which the toolkit would append to every
    // window's caption.
    TApplication::setApplicationName(QStringLiteral("Dyskar"));
    TApplication::setQuitOnLastWindowClosed(true);
    InstallPolishTranslation(application);

    TMainForm main;
    TDodajForm dodaj(main, &main);
    TEdytujForm edytuj(main, &main);
    main.show();
    return TApplication::exec();
}
