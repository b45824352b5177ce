#include "SystemError.h"

#include <cerrno>

QString SystemErrorText(int Errno)
{
    switch (Errno) {
    case EACCES:
    case EPERM:
        return QStringLiteral("brak uprawnień");
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("brak miejsca na dysku");
    case EFBIG:
        return QStringLiteral("plik byłby większy, niż pozwala system");
    case EROFS:
        return QStringLiteral("system plików jest tylko do odczytu");
    case ENOENT:
        return QStringLiteral("folder nie istnieje");
    case ENOTDIR:
        return QStringLiteral("część ścieżki nie jest folderem");
    case EISDIR:
        return QStringLiteral("w miejscu pliku jest folder");
    case EIO:
        return QStringLiteral("błąd odczytu lub zapisu na urządzeniu");
    case ENAMETOOLONG:
        return QStringLiteral("ścieżka jest za długa");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("otwartych jest za dużo plików");
    case ELOOP:
        return QStringLiteral("ścieżka zawiera pętlę dowiązań");
    case EBUSY:
    case ETXTBSY:
        return QStringLiteral("plik jest zajęty");
    case ENOMEM:
        return QStringLiteral("brak pamięci");
    default:
        return QStringLiteral("błąd systemu nr %1").arg(Errno);
    }
}
