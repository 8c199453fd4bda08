// The version file: its first line is read as cp1252 text, and a store replaces the whole
// content of an existing file without ever creating one, keeping the old content when a write
// fails wherever the new content can be prepared beside it.

#include "app/versionfile.h"
#include "testsupport.h"

#include <QFileInfo>
#include <QTest>
#include <memory>
#ifndef Q_OS_WIN
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace duva;
using duva::test::contentOf;
using duva::test::writeFile;

namespace
{

// The message of the InOutError that operation throws; empty if it throws none.
template <class Operation> QString inOutErrorOf(Operation operation)
{
    try {
        operation();
    } catch (const InOutError& e) {
        return e.message().isEmpty() ? QStringLiteral("<empty message>") : e.message();
    }
    return QString();
}

// The names in dir, so that a leftover temporary file shows.
QStringList entriesOf(const QString& dir)
{
    return QDir(dir).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

#ifndef Q_OS_WIN
// Runs operation with the effective user "nobody", so that file permissions apply also when
// the tests run as root. Returns false when that is not possible. Root's groups stay, so
// the files' group bits must say the same as their bits for others.
template <class Operation> bool asNobody(Operation operation)
{
    if (::geteuid() != 0)
        return false;
    if (::seteuid(65534) != 0)
        return false;
    operation();
    if (::seteuid(0) != 0)
        qFatal("cannot return to the root user");
    return true;
}
#endif

} // namespace

class TestVersionFile : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_path = m_dir->filePath(QString::fromLatin1(versionFileName));
    }
    void cleanup()
    {
        // A test that made the directory read-only must not stop its removal.
        QFile::setPermissions(m_dir->path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                 QFileDevice::ExeOwner);
        m_dir.reset();
    }

    void readsTheFirstLineWithoutItsEnd_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("expected");
        QTest::newRow("LF") << QByteArray("1.5\n2.0\n") << QStringLiteral("1.5");
        QTest::newRow("CR LF") << QByteArray("1.5\r\n2.0\r\n") << QStringLiteral("1.5");
        QTest::newRow("CR") << QByteArray("1.5\r2.0") << QStringLiteral("1.5");
        QTest::newRow("no line end") << QByteArray("1.5") << QStringLiteral("1.5");
        QTest::newRow("empty file") << QByteArray() << QString();
        QTest::newRow("empty first line") << QByteArray("\n1.5\n") << QString();
        QTest::newRow("longer than 3") << QByteArray("1.74 beta\n") << QStringLiteral("1.74 beta");
        QTest::newRow("cp1252") << QByteArray("vers\xE3o \xE7\x80\n")
                                << QStringLiteral("versão ç€");
        // A line longer than any read buffer still comes back whole, and only the first.
        const QByteArray longLine(5000, 'x');
        QTest::newRow("long line") << (longLine + "\nsecond") << QString::fromLatin1(longLine);
    }
    void readsTheFirstLineWithoutItsEnd()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, expected);
        QVERIFY(writeFile(m_path, content));
        const QString line = readFirstLine(m_path);
        QCOMPARE(line, expected);
        QCOMPARE(contentOf(m_path), content); // reading leaves the file alone
    }

    void aHugeOneLineFileGivesTheStartOfItsLine()
    {
        // 100 MB without a line end; sparse, so that the test itself stays quick.
        QVERIFY(writeFile(m_path, "1.74 "));
        QVERIFY(QFile::resize(m_path, 100 * 1000 * 1000));
        const QString line = readFirstLine(m_path);
        QCOMPARE(line.size(), firstLineLimit);
        QVERIFY(line.startsWith(QStringLiteral("1.74 ")));
    }

    void readFailuresAreInOutErrors()
    {
        QCOMPARE(inOutErrorOf([&] { readFirstLine(m_path); }), QStringLiteral("File not found"));
        QVERIFY(!QFileInfo::exists(m_path));

        // A directory under the file's name opens but cannot be read as text.
        QVERIFY(QDir(m_dir->path()).mkdir(QString::fromLatin1(versionFileName)));
        const QString message = inOutErrorOf([&] { readFirstLine(m_path); });
        QVERIFY2(!message.isEmpty(), "reading a directory must fail");
        QVERIFY2(message != QStringLiteral("File not found"), qPrintable(message));
    }

    void storesExactlyTheTextWithoutLineEnd_data()
    {
        QTest::addColumn<QByteArray>("old");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("shorter than the old content")
            << QByteArray("1.74 old version\r\nmore lines\r\n") << QStringLiteral("1.6")
            << QByteArray("1.6");
        QTest::newRow("longer than the old content")
            << QByteArray("1") << QStringLiteral("1.74 beta") << QByteArray("1.74 beta");
        QTest::newRow("empty text") << QByteArray("1.5\n") << QString() << QByteArray();
        QTest::newRow("cp1252") << QByteArray("1.5\n") << QStringLiteral("ç€")
                                << QByteArray("\xE7\x80");
    }
    void storesExactlyTheTextWithoutLineEnd()
    {
        QFETCH(QByteArray, old);
        QFETCH(QString, text);
        QFETCH(QByteArray, expected);
        QVERIFY(writeFile(m_path, old));
        storeText(m_path, text);
        QCOMPARE(contentOf(m_path), expected);
        QCOMPARE(readFirstLine(m_path), text);
        QCOMPARE(entriesOf(m_dir->path()), onlyTheFile());
    }

    void aMissingFileIsNeverCreated()
    {
        QCOMPARE(inOutErrorOf([&] { storeText(m_path, QStringLiteral("1.6")); }),
                 QStringLiteral("File not found"));
        QVERIFY(!QFileInfo::exists(m_path));
        QCOMPARE(entriesOf(m_dir->path()), QStringList());
    }

    void aTextOutsideTheCodePageKeepsTheOldContent()
    {
        QVERIFY(writeFile(m_path, "1.5\n"));
        bool thrown = false;
        try {
            storeText(m_path, QStringLiteral("1Ω6"));
        } catch (const Exception&) {
            thrown = true;
        }
        QVERIFY2(thrown, "a text the file's code page cannot hold must not be stored");
        QCOMPARE(contentOf(m_path), QByteArray("1.5\n"));
        QCOMPARE(entriesOf(m_dir->path()), onlyTheFile());
    }

    // Under Wine, where the tests run as root, the cases that a user's permissions decide need
    // their folders prepared by the run (tests/windows/versionfile-cases.sh, which also takes
    // away root's power over permissions): a read-only file is refused, and a writable file in
    // a folder that cannot be written is rewritten in place. On Linux the test below does the
    // same as another user.
    void aStoreInFoldersThatTheRunPrepared_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("read-only file")
            << "read-only-file" << QStringLiteral("File access denied") << QByteArray("1.5\n");
        QTest::newRow("writable file in a folder that cannot be written")
            << "read-only-folder" << QString() << QByteArray("1.6");
    }
    void aStoreInFoldersThatTheRunPrepared()
    {
        QFETCH(QString, folder);
        QFETCH(QString, message);
        QFETCH(QByteArray, content);
        const QString prepared = qEnvironmentVariable("DUVA_VERSIONFILE_FOLDERS");
        if (prepared.isEmpty())
            QSKIP("needs the folders that tests/windows/versionfile-cases.sh prepares");
        const QString dir = prepared + QLatin1Char('/') + folder;
        const QString path = dir + QLatin1Char('/') + QString::fromLatin1(versionFileName);
        QCOMPARE(inOutErrorOf([&] { storeText(path, QStringLiteral("1.6")); }), message);
        QCOMPARE(contentOf(path), content);
        QCOMPARE(entriesOf(dir), onlyTheFile());
    }

#ifndef Q_OS_WIN
    void aStoreAsAnotherUserThanRoot_data()
    {
        QTest::addColumn<int>("fileMode");
        QTest::addColumn<int>("directoryMode");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QByteArray>("content");
        // Only the file's own permission refuses.
        QTest::newRow("read-only file in an open directory")
            << 0x4444 << 0x7777 << QStringLiteral("File access denied") << QByteArray("1.5\n");
        // No file may be made beside it: the writable file is rewritten in place.
        QTest::newRow("writable file in a read-only directory")
            << 0x6666 << 0x5555 << QString() << QByteArray("1.6");
    }
    void aStoreAsAnotherUserThanRoot()
    {
        QFETCH(int, fileMode);
        QFETCH(int, directoryMode);
        QFETCH(QString, message);
        QFETCH(QByteArray, content);
        QVERIFY(writeFile(m_path, "1.5\n"));
        QFile::setPermissions(m_path, QFileDevice::Permissions(fileMode));
        QFile::setPermissions(m_dir->path(), QFileDevice::Permissions(directoryMode));
        QString got;
        const auto store = [&] {
            got = inOutErrorOf([&] { storeText(m_path, QStringLiteral("1.6")); });
        };
        if (::geteuid() == 0) {
            // A root user of a user namespace may not become another user, and overrides
            // the permissions of its own files: nothing can refuse it here.
            if (!asNobody(store))
                QSKIP("root of a user namespace: no other user to test permissions as");
        } else {
            store();
        }
        QCOMPARE(got, message);
        QCOMPARE(contentOf(m_path), content);
        QCOMPARE(entriesOf(m_dir->path()), onlyTheFile());
    }

    void aWriteThatFailsHalfWayKeepsTheOldContent()
    {
        QVERIFY(writeFile(m_path, "1.5\n"));
        rlimit old = {};
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &old), 0);
        // Files may grow to one byte only: the second byte of the text cannot be written.
        // The signal the system sends for it is ignored, so that the write reports an error.
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = old;
        small.rlim_cur = 1;
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
        const QString message = inOutErrorOf([&] { storeText(m_path, QStringLiteral("1.6")); });
        ::setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);

        QVERIFY2(!message.isEmpty(), "a failed write must be reported");
        QCOMPARE(contentOf(m_path), QByteArray("1.5\n"));
        QCOMPARE(entriesOf(m_dir->path()), onlyTheFile());
    }

    void aStoreKeepsTheFilesModeAndOwner()
    {
        QVERIFY(writeFile(m_path, "1.5\n"));
        const QByteArray name = QFile::encodeName(m_path);
        QCOMPARE(::chmod(name.constData(), 0640), 0);
        // Root stores into a file that another user owns: otherwise the technician could no
        // longer store the version once root had.
        // (Not so for the root user of a user namespace, who may not give files away.)
        const bool root = ::geteuid() == 0 && ::chown(name.constData(), 65534, 65534) == 0;
        storeText(m_path, QStringLiteral("1.6"));
        struct stat after = {};
        QCOMPARE(::stat(name.constData(), &after), 0);
        QCOMPARE(after.st_mode & 07777, mode_t(0640));
        if (root) {
            QCOMPARE(after.st_uid, uid_t(65534));
            QCOMPARE(after.st_gid, gid_t(65534));
        }
        QCOMPARE(contentOf(m_path), QByteArray("1.6"));
    }

    void aSymlinkedFileStaysALinkAndItsTargetIsStored()
    {
        const QString target = m_dir->filePath(QStringLiteral("real-version.txt"));
        QVERIFY(writeFile(target, "1.5\n"));
        QVERIFY(QFile::link(target, m_path));
        storeText(m_path, QStringLiteral("1.6"));
        QVERIFY(QFileInfo(m_path).isSymLink());
        QCOMPARE(QFileInfo(m_path).symLinkTarget(), target);
        QCOMPARE(contentOf(target), QByteArray("1.6"));
        QCOMPARE(entriesOf(m_dir->path()), (QStringList{QStringLiteral("real-version.txt"),
                                                        QString::fromLatin1(versionFileName)}));
    }

#endif

private:
    static QStringList onlyTheFile()
    {
        return {QString::fromLatin1(versionFileName)};
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
};

QTEST_GUILESS_MAIN(TestVersionFile)
#include "tst_versionfile.moc"
