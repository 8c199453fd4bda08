#include "fleet/recordfields.h"
#include "fleet/writerecord.h"
#include "records.h"
#include "testsupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QtTest>

using namespace duva;
using namespace duva::fleet;
using namespace duva::test;

namespace
{

// Every member distinct between the entries and from the defaults; texts that a CSV must
// quote.
QList<RecordEntry> sampleEntries()
{
    RecordEntry confirmed;
    confirmed.time = QDateTime(QDate(2026, 12, 9), QTime(14, 5, 6, 789), QTimeZone(-3 * 3600));
    confirmed.context = {QStringLiteral("Ana \"Bia\" Souza"), QStringLiteral("bancada-3"),
                         QStringLiteral("enp3s0"), QStringLiteral("1.74"),
                         QStringLiteral("commission")};
    confirmed.planRow = 7;
    confirmed.serialNumber = 1031;
    // A flag byte that the field's form cannot show (neither 0 nor 1) must still come back.
    QByteArray odd = moduleRecord(ip("192.168.1.250"), 1031, 2).bytes();
    odd[offset::dhcp] = 7;
    odd[offset::clientMode] = 9;
    confirmed.before = *ModuleRecord::fromBytes(odd);
    confirmed.after = moduleRecord(ip("10.77.0.61"), 1031, 3);
    confirmed.status = EntryStatus::Confirmed;
    confirmed.writesSent = 2;

    RecordEntry refused;
    refused.time = QDateTime(QDate(2027, 1, 2), QTime(3, 4, 5, 6), QTimeZone(5 * 3600 + 1800));
    refused.context = {QStringLiteral("técnico, turno B"), QStringLiteral("notebook"),
                       QStringLiteral("Ethernet 2"), QStringLiteral("1.75"),
                       QStringLiteral("apply")};
    refused.planRow = 12;
    refused.serialNumber = 2044;
    refused.before = moduleRecord(ip("10.77.0.12"), 2044, 5);
    refused.status = EntryStatus::Refused;
    refused.writesSent = 0;
    refused.reason = QStringLiteral("two modules answer at 10.77.0.12,\nso nothing was sent");
    return {confirmed, refused};
}

void compareEntries(const QList<RecordEntry>& got, const QList<RecordEntry>& expected)
{
    QCOMPARE(got.size(), expected.size());
    for (int i = 0; i < got.size(); ++i) {
        const RecordEntry& g = got.at(i);
        const RecordEntry& e = expected.at(i);
        QCOMPARE(g.time, e.time);
        QCOMPARE(g.time.offsetFromUtc(), e.time.offsetFromUtc());
        QCOMPARE(g.context.operatorName, e.context.operatorName);
        QCOMPARE(g.context.computer, e.context.computer);
        QCOMPARE(g.context.interfaceName, e.context.interfaceName);
        QCOMPARE(g.context.toolVersion, e.context.toolVersion);
        QCOMPARE(g.context.command, e.context.command);
        QCOMPARE(g.planRow, e.planRow);
        QCOMPARE(g.serialNumber, e.serialNumber);
        QCOMPARE(g.before.has_value(), e.before.has_value());
        if (e.before)
            QCOMPARE(g.before->bytes(), e.before->bytes());
        QCOMPARE(g.after.has_value(), e.after.has_value());
        if (e.after)
            QCOMPARE(g.after->bytes(), e.after->bytes());
        QCOMPARE(g.status, e.status);
        QCOMPARE(g.writesSent, e.writesSent);
        QCOMPARE(g.reason, e.reason);
    }
}

// A disk that fills up: the first `budget` bytes are written, then every write fails.
class FailingSaveFile : public QSaveFile
{
public:
    FailingSaveFile(const QString& path, qint64 budget) : QSaveFile(path), m_budget(budget) {}

protected:
    qint64 writeData(const char* data, qint64 length) override
    {
        if (m_budget <= 0) {
            setErrorString(QStringLiteral("No space left on device"));
            return -1;
        }
        const qint64 n = QSaveFile::writeData(data, std::min(length, m_budget));
        m_budget -= n;
        return n;
    }

private:
    qint64 m_budget;
};

} // namespace

class TestWriteRecord : public QObject
{
    Q_OBJECT
private slots:
    void roundTripKeepsEveryFieldAndByte_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("json") << QStringLiteral("record.json");
        QTest::newRow("csv") << QStringLiteral("record.CSV");
    }
    void roundTripKeepsEveryFieldAndByte()
    {
        QFETCH(QString, name);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        WriteRecordFile file(path);
        QVERIFY2(file.open(), qPrintable(file.error()));
        const QList<RecordEntry> entries = sampleEntries();
        QVERIFY2(file.append(entries), qPrintable(file.error()));
        const RecordContents back = readRecord(path);
        QVERIFY2(back.error.isEmpty(), qPrintable(back.error));
        compareEntries(back.entries, entries);
    }

    // What other tools read: the fields by name beside the bytes, the time with its offset.
    void formsShowFieldsByName()
    {
        const QList<RecordEntry> entries = sampleEntries();
        const QJsonObject top =
            QJsonDocument::fromJson(recordText(entries, RecordFormat::Json)).object();
        QCOMPARE(top.value("format").toString(), QStringLiteral("duva-write-record"));
        const QJsonObject first = top.value("entries").toArray().at(0).toObject();
        QCOMPARE(first.value("time").toString(), QStringLiteral("2026-12-09T14:05:06.789-03:00"));
        QCOMPARE(first.value("status").toString(), QStringLiteral("confirmed"));
        const QJsonObject after = first.value("after").toObject();
        QCOMPARE(after.value("ipAddress").toString(), QStringLiteral("10.77.0.61"));
        QCOMPARE(after.value("serverPort").toInt(), 6003);
        QCOMPARE(after.value("clientMode").toString(), QStringLiteral("client"));
        QCOMPARE(after.value("serverHost").toString(), QStringLiteral("host-3.duva.com.br"));
        QVERIFY(first.value("before").toObject().value("clientMode").isNull()); // neither
        QVERIFY(top.value("entries").toArray().at(1).toObject().value("after").isNull());

        const QList<QByteArray> lines = recordText(entries, RecordFormat::Csv).split('\n');
        QCOMPARE(lines.size(), 5); // header, two rows (one reason spans two lines), end
        QVERIFY(lines.at(0).startsWith("time,operator,computer,interface,toolVersion,command,"));
        QVERIFY(lines.at(0).contains(",after.serverHost,after.bytes\r"));
        QVERIFY(lines.at(1).contains(",\"Ana \"\"Bia\"\" Souza\",bancada-3,enp3s0,"));
        QVERIFY(lines.at(1).contains(",10.77.0.61,255.255.248.0,"));
    }

    // A second run adds to the file; keys that a later version wrote survive in JSON.
    void secondRunAppends_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("json") << QStringLiteral("r.json");
        QTest::newRow("csv") << QStringLiteral("r.csv");
    }
    void secondRunAppends()
    {
        QFETCH(QString, name);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        const QList<RecordEntry> entries = sampleEntries();
        {
            WriteRecordFile first(path);
            QVERIFY(first.open());
            QVERIFY(first.append(entries.at(0)));
        }
        const bool json = name.endsWith(QLatin1String(".json"));
        if (json) {
            QJsonObject top = QJsonDocument::fromJson(contentOf(path)).object();
            QJsonArray list = top.value("entries").toArray();
            QJsonObject e = list.at(0).toObject();
            e.insert("laterKey", "kept");
            list.replace(0, e);
            top.insert("entries", list);
            QVERIFY(writeFile(path, QJsonDocument(top).toJson()));
        }
        WriteRecordFile second(path);
        QVERIFY2(second.open(), qPrintable(second.error()));
        QCOMPARE(second.entryCount(), 1);
        QVERIFY(second.append(QList<RecordEntry>{}));
        // The earlier run's part of the file, up to where this run's entries go.
        QByteArray earlier = contentOf(path);
        if (json)
            earlier.chop(QByteArray("\n    ]\n}\n").size());

        // A module's entry kept while its write is open, then given its outcome in place.
        RecordEntry pending = entries.at(1);
        pending.status = EntryStatus::NotConfirmed;
        pending.reason = QStringLiteral("written; no confirmation yet");
        QVERIFY(second.append(pending));
        QCOMPARE(second.entryCount(), 2);
        QVERIFY2(second.replace(1, entries.at(1)), qPrintable(second.error()));
        QCOMPARE(second.entryCount(), 2);
        compareEntries(readRecord(path).entries, entries);
        QVERIFY(contentOf(path).startsWith(earlier));
        // An earlier run's entry, or one never written, is not this run's to replace.
        for (const int index : {0, 2, -1}) {
            QVERIFY(!second.replace(index, pending));
            QVERIFY2(second.error().contains("not one this run wrote"), qPrintable(second.error()));
        }
        compareEntries(readRecord(path).entries, entries);
        if (json) {
            const QJsonObject top = QJsonDocument::fromJson(contentOf(path)).object();
            QCOMPARE(top.value("entries").toArray().at(0).toObject().value("laterKey").toString(),
                     QStringLiteral("kept"));
        }
    }

    // Two runs at once would each overwrite the other's entries: the second is refused
    // until the first ends.
    void oneRunAtATime()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("r.json");
        auto first = std::make_unique<WriteRecordFile>(path);
        QVERIFY(first->open());
        QVERIFY(first->append(sampleEntries().at(0)));
        WriteRecordFile second(path);
        QVERIFY(!second.open());
        QVERIFY2(second.error().contains("another run"), qPrintable(second.error()));
        first.reset();
        QVERIFY2(second.open(), qPrintable(second.error()));
        QCOMPARE(second.entryCount(), 1);
    }

    // A file that is not a record is left alone: never overwritten.
    void otherFilesAreNeverOverwritten_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("why");
        QTest::newRow("text") << "plan.json" << QByteArray("ipAddress\n10.77.0.9\n") << "not JSON";
        QTest::newRow("other JSON")
            << "fleet.json" << QByteArray("[{\"ipAddress\": \"x\"}]") << "not a record of writes";
        QTest::newRow("newer version")
            << "r.json" << QByteArray(R"({"format":"duva-write-record","version":2,"entries":[]})")
            << "version 2";
        QTest::newRow("broken entry")
            << "r.json"
            << QByteArray(R"({"format":"duva-write-record","version":1,"entries":[{"time":"x"}]})")
            << "entry 1:";
        QTest::newRow("a plan's CSV")
            << "plan.csv" << QByteArray("ipAddress,serialNumber\r\n") << "not a record of writes";
        QTest::newRow("other suffix") << "record.txt" << QByteArray() << ".json or a .csv";
    }
    void otherFilesAreNeverOverwritten()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, why);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        QVERIFY(writeFile(path, content));
        WriteRecordFile file(path);
        QVERIFY(!file.open());
        QVERIFY2(file.error().contains(why), qPrintable(file.error()));
        QVERIFY(!file.append(sampleEntries()));
        QCOMPARE(contentOf(path), content);
    }

    // The disk fills up (or the program dies) in the middle of writing an entry: the file
    // keeps every earlier entry, whole, and the failure is reported.
    void failedWriteKeepsEarlierEntries_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<qint64>("budget");
        QTest::addColumn<bool>("replacing"); // the failing write replaces the entry, not adds
        QTest::newRow("json, cut short") << QStringLiteral("r.json") << qint64(300) << false;
        QTest::newRow("json, nothing written") << QStringLiteral("r.json") << qint64(0) << false;
        QTest::newRow("csv, cut short") << QStringLiteral("r.csv") << qint64(500) << false;
        QTest::newRow("json, replace cut short") << QStringLiteral("r.json") << qint64(700) << true;
        QTest::newRow("csv, replace cut short") << QStringLiteral("r.csv") << qint64(400) << true;
    }
    void failedWriteKeepsEarlierEntries()
    {
        QFETCH(QString, name);
        QFETCH(qint64, budget);
        QFETCH(bool, replacing);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        bool failing = false;
        WriteRecordFile file(path, [&](const QString& p) -> std::unique_ptr<QSaveFile> {
            if (failing)
                return std::make_unique<FailingSaveFile>(p, budget);
            return std::make_unique<QSaveFile>(p);
        });
        QVERIFY(file.open());
        const QList<RecordEntry> entries = sampleEntries();
        QVERIFY(file.append(entries.at(0)));
        const QByteArray before = contentOf(path);

        failing = true;
        QVERIFY(replacing ? !file.replace(0, entries.at(1)) : !file.append(entries.at(1)));
        QVERIFY2(file.error().contains(QLatin1String("No space left on device")),
                 qPrintable(file.error()));
        QCOMPARE(contentOf(path), before);
        compareEntries(readRecord(path).entries, {entries.at(0)});
        // No leftovers: the record, and the lock that this run holds.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files, QDir::Name),
                 (QStringList{name, name + ".lock"}));
        QCOMPARE(file.entryCount(), 1);

        failing = false; // room again: the next entry follows the first, whole
        QVERIFY(file.append(entries.at(1)));
        compareEntries(readRecord(path).entries, entries);
        if (replacing) { // and the entry that could not be replaced still can be
            QVERIFY(file.replace(0, entries.at(1)));
            compareEntries(readRecord(path).entries, {entries.at(1), entries.at(1)});
        }
    }
};

QTEST_GUILESS_MAIN(TestWriteRecord)
#include "tst_writerecord.moc"
