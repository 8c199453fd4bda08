#include "app/versionfile.h"

#include "app/fileerrors.h"
#include "protocol/cp1252.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <chrono>
#include <thread>

namespace duva
{

namespace
{

[[noreturn]] void fail(int error)
{
    throw InOutError(fileerrors::text(error));
}

// The failure of an operation on path, with the error number it left, read straight after it
// (any later call may change it). One that gave none (a folder under the file's name, a file
// gone meanwhile) is told by what is there.
[[noreturn]] void failWith(const QString& path, int error)
{
    if (error == 0 && QFileInfo(path).isDir())
        fail(fileerrors::isADirectory());
    if (error == 0 && !QFileInfo::exists(path))
        fail(fileerrors::notFound());
    fail(error);
}

[[noreturn]] void failOn(const QString& path)
{
    failWith(path, fileerrors::last());
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

namespace
{

// A replacement that another program's brief hold refuses is tried this many times, this far
// apart: half a second in all, while the window waits.
constexpr int replaceAttempts = 10;
constexpr auto replacePause = std::chrono::milliseconds(50);

// Writes bytes through device, each write reporting what it wrote.
template <class Device> void writeAll(Device& device, const QString& path, const QByteArray& bytes)
{
    for (qint64 done = 0; done < bytes.size();) {
        fileerrors::clear();
        const qint64 n = device.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0)
            failOn(path);
        done += n;
    }
}

// The file rewritten where it is.
void rewriteInPlace(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    openOrFail(file, QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::ExistingOnly |
                         QIODevice::Unbuffered);
    writeAll(file, path, bytes);
    fileerrors::clear();
    if (!file.flush())
        failOn(path);
}

// One attempt at storing bytes; false, with the error, when the replacement was refused in a
// way that another program holding the file for a moment may cause.
bool storeOnce(const QString& path, const QByteArray& bytes, int& heldError)
{
    QSaveFile file(path);
    // Qt rewrites in place by itself where no file may be made beside (on Unix only).
    file.setDirectWriteFallback(true);
    fileerrors::clear();
    // Unbuffered, so that each write reports what it wrote: a buffered write that the system
    // takes only in part (a full disk, a size limit) is not reported by the commit, which would
    // then put the cut content in place.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        const int error = fileerrors::last();
        // Where this user may make no file in the folder (of a link's target), the file is
        // rewritten in place.
        const QString target = QFileInfo(path).canonicalFilePath();
        const int folderError = fileerrors::newFileError(QFileInfo(target).absolutePath());
        if (!fileerrors::isAccessDenied(folderError))
            failWith(path, folderError != 0 ? folderError : error);
        rewriteInPlace(path, bytes);
        return true;
    }
    fileerrors::keepOwner(file, path);
    writeAll(file, path, bytes);
    fileerrors::clear();
    if (file.commit())
        return true;
    const int error = fileerrors::last();
    if (!fileerrors::mayBeHeldBriefly(error))
        failWith(path, error);
    heldError = error;
    return false;
}

} // namespace

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
    // only then may a write that fails half-way cost the old content. A replacement that a
    // virus scanner or a synchronising client refuses while it reads the file is tried again.
    for (int attempt = 1;; ++attempt) {
        int heldError = 0;
        if (storeOnce(path, bytes, heldError))
            return;
        if (attempt == replaceAttempts)
            fail(heldError);
        std::this_thread::sleep_for(replacePause);
    }
}

} // namespace duva
