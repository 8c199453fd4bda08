#include "app/versionfile.h"

#include "protocol/cp1252.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace duva
{

namespace
{

// The runtime's texts for the file errors a technician may meet.
QString ioErrorText(int error)
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

[[noreturn]] void fail(int error)
{
    throw InOutError(ioErrorText(error));
}

// A file descriptor, closed when it goes out of scope.
class Fd
{
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
    // Closes now, reporting a failure (a write the system could not complete).
    void close()
    {
        const int fd = m_fd;
        m_fd = -1;
        if (::close(fd) != 0)
            fail(errno);
    }

private:
    int m_fd;
};

int openOrFail(const QByteArray& name, int flags, mode_t mode = 0)
{
    const int fd = ::open(name.constData(), flags | O_CLOEXEC, mode);
    if (fd < 0)
        fail(errno);
    return fd;
}

void writeAll(int fd, const QByteArray& bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail(errno);
        }
        done += n;
    }
}

// The temporary file beside the version file, removed unless it replaced it.
class TemporaryBeside
{
public:
    explicit TemporaryBeside(const QByteArray& target) : m_name(target + ".XXXXXX") {}
    ~TemporaryBeside()
    {
        if (!m_kept && m_fd >= 0)
            ::unlink(m_name.constData());
    }
    // The new file's descriptor, or -1 with errno set.
    int open()
    {
        m_fd = ::mkostemp(m_name.data(), O_CLOEXEC);
        return m_fd;
    }
    const QByteArray& name() const { return m_name; }
    void keep() { m_kept = true; }

private:
    QByteArray m_name;
    int m_fd = -1;
    bool m_kept = false;
};

} // namespace

QString readFirstLine(const QString& path)
{
    Fd file(openOrFail(QFile::encodeName(path), O_RDONLY));
    QByteArray line;
    char buffer[512];
    // A huge file of one line must neither hold the window nor fill the memory.
    while (line.size() < firstLineLimit) {
        const ssize_t n = ::read(file.get(), buffer,
                                 std::min(sizeof buffer, size_t(firstLineLimit - line.size())));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail(errno);
        }
        if (n == 0)
            break;
        const char* end =
            std::find_if(buffer, buffer + n, [](char c) { return c == '\n' || c == '\r'; });
        line.append(buffer, end - buffer);
        if (end != buffer + n)
            break;
    }
    return fromCp1252(line);
}

void storeText(const QString& path, const QString& text)
{
    const QByteArray name = QFile::encodeName(path);
    // The file must exist and be writable where it is; it is never created here.
    {
        Fd existing(openOrFail(name, O_RDONLY));
    }
    {
        Fd writable(openOrFail(name, O_WRONLY));
    }
    const QByteArray bytes = toCp1252OrThrow(text);

    // The new content goes into a file of its own, which then replaces the old one in one
    // step: a write that fails half-way leaves the old content as it was.
    char resolved[PATH_MAX];
    if (!::realpath(name.constData(), resolved))
        fail(errno);
    const QByteArray target(resolved);
    struct stat old = {};
    if (::stat(target.constData(), &old) != 0)
        fail(errno);

    TemporaryBeside temporary(target);
    const int fd = temporary.open();
    if (fd < 0) {
        // No file may be made beside it (a folder this user cannot write to), but the file
        // itself is writable: it is rewritten in place, as it always was. Only this way may
        // a write that fails half-way cost the old content.
        if (errno != EACCES)
            fail(errno);
        Fd inPlace(openOrFail(target, O_WRONLY | O_TRUNC));
        writeAll(inPlace.get(), bytes);
        if (::fsync(inPlace.get()) != 0)
            fail(errno);
        inPlace.close();
        return;
    }
    Fd file(fd);
    writeAll(file.get(), bytes);
    // The file keeps its owner where that is allowed (storing as root must not take it from
    // the technician), then its permissions, which a change of owner may have cut.
    [[maybe_unused]] const int owned = ::fchown(file.get(), old.st_uid, old.st_gid);
    if (::fchmod(file.get(), old.st_mode & 07777) != 0 || ::fsync(file.get()) != 0)
        fail(errno);
    file.close();
    if (::rename(temporary.name().constData(), target.constData()) != 0)
        fail(errno);
    temporary.keep();
}

} // namespace duva
