#include "Application.h"

#include "Dodaj.h"
#include "Edytuj.h"
#include "Main.h"

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

int RunDyskar(int Argc, char** Argv)
{
    TApplication application(Argc, Argv);
    TApplication::setApplicationName(QStringLiteral("Dyskar"));
    TApplication::setApplicationDisplayName(QStringLiteral("Dyskar"));
    TApplication::setQuitOnLastWindowClosed(true);

    TMainForm main;
    TDodajForm dodaj(main, &main);
    TEdytujForm edytuj(main, &main);
    main.show();
    return TApplication::exec();
}
