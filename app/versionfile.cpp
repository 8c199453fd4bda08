#include "app/versionfile.h"

#include "app/fileerrors.h"
#include "protocol/cp1252.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>

namespace duva
{

namespace
{

[[noreturn]] void fail(int error)
{
    throw InOutError(fileerrors::text(error));
}

// The failure of an operation on path that gave no error number of its own (a folder under
// the file's name, a file gone meanwhile) is told by what is there.
[[noreturn]] void failOn(const QString& path)
{
    const int error = fileerrors::last();
    if (error == 0 && QFileInfo(path).isDir())
        fail(fileerrors::isADirectory());
    if (error == 0 && !QFileInfo::exists(path))
        fail(fileerrors::notFound());
    fail(error);
}

// Opens path with mode, failing as the runtime does. A folder is no text file, although some
// systems open one for reading.
void openOrFail(QFile& file, QIODevice::OpenMode mode)
{
    if (QFileInfo(file.fileName()).isDir())
        fail(fileerrors::isADirectory());
    fileerrors::clear();
    if (!file.open(mode))
        failOn(file.fileName());
}

} // namespace

QString readFirstLine(const QString& path)
{
    QFile file(path);
    openOrFail(file, QIODevice::ReadOnly);
    QByteArray line;
    char buffer[512];
    // A huge file of one line must neither hold the window nor fill the memory.
    while (line.size() < firstLineLimit) {
        fileerrors::clear();
        const qint64 n =
            file.read(buffer, std::min<qint64>(sizeof buffer, firstLineLimit - line.size()));
        if (n < 0)
            failOn(path);
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
    // The file must exist and be writable where it is; it is never created here.
    {
        QFile existing(path);
        openOrFail(existing, QIODevice::ReadOnly);
    }
    {
        QFile writable(path);
        openOrFail(writable, QIODevice::WriteOnly | QIODevice::Append | QIODevice::ExistingOnly);
    }
    const QByteArray bytes = toCp1252OrThrow(text);

    // The new content goes into a file of its own beside the old one (through a link: beside
    // its target), which then replaces it in one step: a write that fails half-way leaves the
    // old content as it was. Where no file may be made beside it (a folder this user cannot
    // write to) but the file itself is writable, it is rewritten in place, as it always was;
    // only then may a write that fails half-way cost the old content.
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    fileerrors::clear();
    // Unbuffered, so that each write reports what it wrote: a buffered write that the system
    // takes only in part (a full disk, a size limit) is not reported by the commit, which would
    // then put the cut content in place.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        failOn(path);
    fileerrors::keepOwner(file, path);
    for (qint64 done = 0; done < bytes.size();) {
        fileerrors::clear();
        const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0)
            failOn(path);
        done += n;
    }
    fileerrors::clear();
    if (!file.commit())
        failOn(path);
}

} // namespace duva
