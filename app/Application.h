#pragma once

#include <QApplication>

// The application object: any error that escapes an event handler is shown to the user and
// the program goes on.
class TApplication final : public QApplication
{
    Q_OBJECT
public:
    TApplication(int& Argc, char** Argv);
    bool notify(QObject* Receiver, QEvent* Event) override;
};

// Loads Qt's Polish translation into the application; false when it is not installed.
bool InstallPolishTranslation(QCoreApplication& Application);

// Start-up in order: application and title, main window (loads the catalogue), the two
// dialogs, then the message loop until the main window closes.
int RunDyskar(int Argc, char** Argv);
