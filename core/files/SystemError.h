#pragma once

#include <QString>

// What a failed file operation means to the user, in Polish, from the system's error number.
QString SystemErrorText(int Errno);
