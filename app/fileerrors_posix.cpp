#include "app/fileerrors.h"

#include <QFile>
#include <QSaveFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace duva::fileerrors
{

void clear()
{
    errno = 0;
}

int last()
{
    return errno;
}

int notFound()
{
    return ENOENT;
}

int isADirectory()
{
    return EISDIR;
}

QString text(int error)
{
    switch (error) {
    case ENOENT:
        return QStringLiteral("File not found");
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
        return QStringLiteral("File access denied");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("Too many open files");
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("Disk full");
    case ENAMETOOLONG:
    case EINVAL:
        return QStringLiteral("Invalid filename");
    default:
        return QStringLiteral("I/O error %1").arg(error);
    }
}

int newFileError(const QString& folder)
{
    const QByteArray probe =
        QFile::encodeName(folder + QStringLiteral("/.versao-%1.tmp").arg(::getpid()));
    const int fd = ::open(probe.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    const int error = fd < 0 ? errno : 0;
    if (fd >= 0) {
        ::close(fd);
        ::unlink(probe.constData());
    }
    return error == EEXIST ? 0 : error;
}

bool isAccessDenied(int error)
{
    return error == EACCES || error == EPERM;
}

bool mayBeHeldBriefly(int)
{
    // A rename replaces a file whoever holds it open.
    return false;
}

void keepOwner(QSaveFile& file, const QString& target)
{
    struct stat old = {};
    if (file.handle() < 0 || ::stat(QFile::encodeName(target).constData(), &old) != 0)
        return;
    // A change of owner may cut the set-id bits, which a version file never has.
    [[maybe_unused]] const int owned = ::fchown(file.handle(), old.st_uid, old.st_gid);
}

} // namespace duva::fileerrors
