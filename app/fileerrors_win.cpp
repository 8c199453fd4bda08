#include "app/fileerrors.h"

#include <QSaveFile>
#include <windows.h>

namespace duva::fileerrors
{

void clear()
{
    ::SetLastError(ERROR_SUCCESS);
}

int last()
{
    return int(::GetLastError());
}

int notFound()
{
    return ERROR_FILE_NOT_FOUND;
}

int isADirectory()
{
    // What opening a folder as a file gives on Windows.
    return ERROR_ACCESS_DENIED;
}

QString text(int error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
        return QStringLiteral("File not found");
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
        return QStringLiteral("File access denied");
    case ERROR_TOO_MANY_OPEN_FILES:
        return QStringLiteral("Too many open files");
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return QStringLiteral("Disk full");
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_FILENAME_EXCED_RANGE:
        return QStringLiteral("Invalid filename");
    default:
        return QStringLiteral("I/O error %1").arg(error);
    }
}

int newFileError(const QString& folder)
{
    const QString probe = folder + QStringLiteral("/~versao-%1.tmp").arg(::GetCurrentProcessId());
    const HANDLE file =
        ::CreateFileW(reinterpret_cast<const wchar_t*>(probe.utf16()), GENERIC_WRITE, 0, nullptr,
                      CREATE_NEW, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    // Read before any other call can change it.
    const DWORD error = file == INVALID_HANDLE_VALUE ? ::GetLastError() : ERROR_SUCCESS;
    if (file != INVALID_HANDLE_VALUE)
        ::CloseHandle(file);
    return error == ERROR_FILE_EXISTS ? 0 : int(error);
}

bool isAccessDenied(int error)
{
    return error == ERROR_ACCESS_DENIED;
}

bool mayBeHeldBriefly(int error)
{
    // Replacing a file that another program has open without sharing its deletion fails with
    // one or the other, depending on how that program opened it.
    return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION;
}

void keepOwner(QSaveFile&, const QString&) {}

} // namespace duva::fileerrors
