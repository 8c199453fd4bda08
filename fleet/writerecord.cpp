#include "fleet/writerecord.h"

#include "buildinfo.h"
#include "fleet/csvcells.h"
#include "fleet/recordfields.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QSaveFile>
#include <QSysInfo>

namespace duva::fleet
{

namespace
{

// The texts a person reads, translated (translations/*.ts); the record's own keys, headings
// and statuses stay as they are, for the tools that read it back.
class Texts
{
    Q_DECLARE_TR_FUNCTIONS(WriteRecord)
};

const QString formatName = QStringLiteral("duva-write-record");
constexpr int formatVersion = 1;

const std::array<std::pair<EntryStatus, const char*>, 4> statusNames = {{
    {EntryStatus::Confirmed, "confirmed"},
    {EntryStatus::NotConfirmed, "not confirmed"},
    {EntryStatus::Refused, "refused"},
    {EntryStatus::Skipped, "skipped"},
}};

// The entry's columns other than the two records, in the order of both forms.
const QStringList& entryColumns()
{
    static const QStringList columns = {
        QStringLiteral("time"),       QStringLiteral("operator"),     QStringLiteral("computer"),
        QStringLiteral("interface"),  QStringLiteral("toolVersion"),  QStringLiteral("command"),
        QStringLiteral("planRow"),    QStringLiteral("serialNumber"), QStringLiteral("status"),
        QStringLiteral("writesSent"), QStringLiteral("reason"),
    };
    return columns;
}

QString timeText(const QDateTime& time)
{
    // With its offset written out: the same instant reads back, and a reader sees the local
    // time the technician saw.
    return time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODateWithMs);
}

QStringList entryCells(const RecordEntry& e)
{
    return {timeText(e.time),
            e.context.operatorName,
            e.context.computer,
            e.context.interfaceName,
            e.context.toolVersion,
            e.context.command,
            QString::number(e.planRow),
            QString::number(e.serialNumber),
            statusName(e.status),
            QString::number(e.writesSent),
            e.reason};
}

QJsonObject entryJson(const RecordEntry& e)
{
    QJsonObject object;
    const QStringList cells = entryCells(e);
    for (int i = 0; i < cells.size(); ++i)
        object.insert(entryColumns().at(i), cells.at(i));
    object.insert(QStringLiteral("planRow"), e.planRow);
    object.insert(QStringLiteral("serialNumber"), e.serialNumber);
    object.insert(QStringLiteral("writesSent"), e.writesSent);
    object.insert(QStringLiteral("before"),
                  e.before ? QJsonValue(recordToJson(*e.before)) : QJsonValue());
    object.insert(QStringLiteral("after"),
                  e.after ? QJsonValue(recordToJson(*e.after)) : QJsonValue());
    return object;
}

QStringList csvHeader()
{
    QStringList header = entryColumns();
    for (const char* which : {"before", "after"}) {
        for (const RecordField& f : recordFields())
            header << QStringLiteral("%1.%2").arg(QLatin1String(which), f.name);
        header << QStringLiteral("%1.bytes").arg(QLatin1String(which));
    }
    return header;
}

QStringList recordCells(const std::optional<ModuleRecord>& record)
{
    QStringList cells;
    for (const RecordField& f : recordFields())
        cells << (record ? f.text(*record) : QString());
    cells << (record ? QString::fromLatin1(record->bytes().toHex()) : QString());
    return cells;
}

QByteArray csvRow(const RecordEntry& e)
{
    return csvRecordLine(entryCells(e) + recordCells(e.before) + recordCells(e.after)).toUtf8();
}

// The entry that entryCells() and two records' hex bytes give back.
std::optional<RecordEntry> entryFromCells(const QStringList& cells, const QString& beforeHex,
                                          const QString& afterHex, QString* error)
{
    RecordEntry e;
    e.time = QDateTime::fromString(cells.at(0), Qt::ISODateWithMs);
    e.context = {cells.at(1), cells.at(2), cells.at(3), cells.at(4), cells.at(5)};
    bool rowOk = false;
    bool serialOk = false;
    bool sentOk = false;
    e.planRow = cells.at(6).toInt(&rowOk);
    e.serialNumber = cells.at(7).toInt(&serialOk);
    const auto status = statusFromName(cells.at(8));
    e.writesSent = cells.at(9).toInt(&sentOk);
    e.reason = cells.at(10);
    if (!e.time.isValid() || !rowOk || !serialOk || !sentOk || !status) {
        *error = Texts::tr("an entry's time, planRow, serialNumber, status or writesSent "
                           "cannot be read");
        return std::nullopt;
    }
    e.status = *status;
    for (auto [hex, record] : {std::pair{&beforeHex, &e.before}, std::pair{&afterHex, &e.after}}) {
        if (hex->isEmpty())
            continue;
        QJsonObject holder{{QStringLiteral("bytes"), *hex}};
        *record = recordFromJson(holder, error);
        if (!*record)
            return std::nullopt;
    }
    return e;
}

std::optional<RecordEntry> entryFromJson(const QJsonObject& o, QString* error)
{
    QStringList cells;
    for (const QString& column : entryColumns()) {
        const QJsonValue v = o.value(column);
        cells << (v.isDouble() ? QString::number(v.toInteger()) : v.toString());
    }
    const auto hexOf = [&o](const char* key) {
        const QJsonValue v = o.value(QLatin1String(key));
        // A record that is missing stays missing; one that is there must be whole.
        return v.isNull() || v.isUndefined()
                   ? QString()
                   : v.toObject().value(QStringLiteral("bytes")).toString(QStringLiteral("-"));
    };
    return entryFromCells(cells, hexOf("before"), hexOf("after"), error);
}

RecordContents parseJson(const QByteArray& text)
{
    RecordContents contents;
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(text, &parseError);
    const QJsonObject top = document.object();
    if (document.isNull()) {
        contents.error = Texts::tr("not JSON: %1 at byte %2")
                             .arg(parseError.errorString())
                             .arg(parseError.offset);
        return contents;
    }
    if (top.value(QStringLiteral("format")).toString() != formatName ||
        !top.value(QStringLiteral("entries")).isArray()) {
        contents.error = Texts::tr("not a record of writes (no \"format\": \"%1\" with "
                                   "\"entries\")")
                             .arg(formatName);
        return contents;
    }
    const int version = top.value(QStringLiteral("version")).toInt();
    if (version != formatVersion) {
        contents.error = Texts::tr("a record of version %1, which this version of the "
                                   "program does not read")
                             .arg(version);
        return contents;
    }
    const QJsonArray entries = top.value(QStringLiteral("entries")).toArray();
    for (int i = 0; i < entries.size(); ++i) {
        QString why;
        const auto entry = entryFromJson(entries.at(i).toObject(), &why);
        if (!entry) {
            contents.error = Texts::tr("entry %1: %2").arg(i + 1).arg(why);
            return contents;
        }
        contents.entries << *entry;
    }
    return contents;
}

RecordContents parseCsv(const QByteArray& text)
{
    RecordContents contents;
    const CsvRows table = readCsvRows(QString::fromUtf8(text));
    if (!table.error.isEmpty()) {
        contents.error = table.error;
        return contents;
    }
    const QStringList header = csvHeader();
    if (table.rows.isEmpty() || table.rows.first() != header) {
        contents.error = Texts::tr("not a record of writes (the first line is not its "
                                   "header)");
        return contents;
    }
    const int columns = entryColumns().size();
    const int beforeBytes = header.indexOf(QStringLiteral("before.bytes"));
    const int afterBytes = header.indexOf(QStringLiteral("after.bytes"));
    for (int i = 1; i < table.rows.size(); ++i) {
        const QStringList& row = table.rows.at(i);
        QString why = Texts::tr("it has %1 cells, not %2").arg(row.size()).arg(header.size());
        const auto entry =
            row.size() == header.size()
                ? entryFromCells(row.mid(0, columns), row.at(beforeBytes), row.at(afterBytes), &why)
                : std::nullopt;
        if (!entry) {
            contents.error = Texts::tr("line %1: %2").arg(i + 1).arg(why);
            return contents;
        }
        contents.entries << *entry;
    }
    return contents;
}

// One entry as it stands in the document's list: indented JSON, each entry serialized once,
// so that an append rewrites the file without serializing every earlier entry again.
QByteArray entryText(const QJsonObject& entry)
{
    QList<QByteArray> lines = QJsonDocument(entry).toJson(QJsonDocument::Indented).split('\n');
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QByteArray& line : lines)
        line.prepend("        ");
    return lines.join('\n');
}

// The document around the entries' texts, each from entryText().
QByteArray jsonText(const QList<QByteArray>& entries)
{
    return "{\n    \"format\": \"" + formatName.toUtf8() +
           "\",\n    \"version\": " + QByteArray::number(formatVersion) +
           ",\n    \"entries\": [\n" + entries.join(",\n") + (entries.isEmpty() ? "" : "\n") +
           "    ]\n}\n";
}

} // namespace

QString statusName(EntryStatus status)
{
    for (const auto& [s, name] : statusNames) {
        if (s == status)
            return QString::fromLatin1(name);
    }
    return QString();
}

std::optional<EntryStatus> statusFromName(const QString& name)
{
    for (const auto& [s, text] : statusNames) {
        if (name == QLatin1String(text))
            return s;
    }
    return std::nullopt;
}

RecordContext RecordContext::current(const QString& operatorName, const QString& interfaceName,
                                     const QString& command)
{
    QString login = qEnvironmentVariable("USER");
    if (login.isEmpty())
        login = qEnvironmentVariable("USERNAME"); // Windows
    return {operatorName.isEmpty() ? login : operatorName, QSysInfo::machineHostName(),
            interfaceName, QString::fromLatin1(programVersion), command};
}

std::optional<RecordFormat> recordFormatOf(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("json"))
        return RecordFormat::Json;
    if (suffix == QLatin1String("csv"))
        return RecordFormat::Csv;
    return std::nullopt;
}

QByteArray recordText(const QList<RecordEntry>& entries, RecordFormat format)
{
    if (format == RecordFormat::Json) {
        QList<QByteArray> texts;
        for (const RecordEntry& e : entries)
            texts << entryText(entryJson(e));
        return jsonText(texts);
    }
    QByteArray text = csvRecordLine(csvHeader()).toUtf8();
    for (const RecordEntry& e : entries)
        text += csvRow(e);
    return text;
}

RecordContents parseRecord(const QByteArray& text, RecordFormat format)
{
    return format == RecordFormat::Json ? parseJson(text) : parseCsv(text);
}

RecordContents readRecord(const QString& path)
{
    const auto format = recordFormatOf(path);
    if (!format)
        return {{}, Texts::tr("%1: a record is a .json or a .csv file").arg(path)};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {{}, QStringLiteral("%1: %2").arg(path, file.errorString())};
    RecordContents contents = parseRecord(file.readAll(), *format);
    if (!contents.error.isEmpty())
        contents.error = QStringLiteral("%1: %2").arg(path, contents.error);
    return contents;
}

WriteRecordFile::WriteRecordFile(QString path, MakeFile makeFile)
    : m_path(std::move(path)), m_makeFile(std::move(makeFile))
{
    if (!m_makeFile)
        m_makeFile = [](const QString& p) { return std::make_unique<QSaveFile>(p); };
}

WriteRecordFile::~WriteRecordFile() = default;

bool WriteRecordFile::open()
{
    const auto format = recordFormatOf(m_path);
    if (!format) {
        m_error =
            QCoreApplication::translate("WriteRecord", "%1: a record is a .json or a .csv file")
                .arg(m_path);
        return false;
    }
    m_format = *format;
    if (!m_lock) {
        auto lock = std::make_unique<QLockFile>(m_path + QStringLiteral(".lock"));
        // Held as long as the run lasts; a lock left by a program that died is taken over.
        lock->setStaleLockTime(0);
        if (!lock->tryLock()) {
            m_error = lock->error() == QLockFile::LockFailedError
                          ? QCoreApplication::translate("WriteRecord",
                                                        "%1: another run is writing this record")
                                .arg(m_path)
                          : QCoreApplication::translate("WriteRecord", "%1: cannot make %1.lock")
                                .arg(m_path);
            return false;
        }
        m_lock = std::move(lock);
    }
    m_jsonEntries.clear();
    m_csvText.clear();
    m_runTexts.clear();
    m_count = 0;
    QFile file(m_path);
    if (file.exists()) {
        if (!file.open(QIODevice::ReadOnly)) {
            m_error = QStringLiteral("%1: %2").arg(m_path, file.errorString());
            return false;
        }
        const QByteArray text = file.readAll();
        // An empty file (made by the technician beforehand, say) is an empty record.
        if (!text.trimmed().isEmpty()) {
            const RecordContents contents = parseRecord(text, m_format);
            if (!contents.error.isEmpty()) {
                m_error = QCoreApplication::translate("WriteRecord", "%1: %2; it is left as it is")
                              .arg(m_path, contents.error);
                return false;
            }
            m_count = contents.entries.size();
            if (m_format == RecordFormat::Json) {
                // As read, so that keys a later version wrote survive.
                const QJsonArray read = QJsonDocument::fromJson(text)
                                            .object()
                                            .value(QStringLiteral("entries"))
                                            .toArray();
                for (const QJsonValue& entry : read)
                    m_jsonEntries << entryText(entry.toObject());
            } else {
                m_csvText = text.endsWith('\n') ? text : text + "\r\n";
            }
        }
    }
    m_open = true;
    m_error.clear();
    return true;
}

bool WriteRecordFile::append(const QList<RecordEntry>& entries)
{
    if (!m_open) {
        m_error = QStringLiteral("%1: the record is not open").arg(m_path);
        return false;
    }
    QList<QByteArray> runTexts = m_runTexts;
    for (const RecordEntry& e : entries)
        runTexts << (m_format == RecordFormat::Json ? entryText(entryJson(e)) : csvRow(e));
    if (!writeText(fileText(runTexts)))
        return false;
    m_runTexts = runTexts;
    m_count += entries.size();
    return true;
}

bool WriteRecordFile::replace(int index, const RecordEntry& entry)
{
    const int first = m_count - int(m_runTexts.size());
    if (!m_open || index < first || index >= m_count) {
        m_error =
            QCoreApplication::translate("WriteRecord", "%1: entry %2 is not one this run wrote")
                .arg(m_path)
                .arg(index + 1);
        return false;
    }
    QList<QByteArray> runTexts = m_runTexts;
    runTexts[index - first] =
        m_format == RecordFormat::Json ? entryText(entryJson(entry)) : csvRow(entry);
    if (!writeText(fileText(runTexts)))
        return false;
    m_runTexts = runTexts;
    return true;
}

QByteArray WriteRecordFile::fileText(const QList<QByteArray>& runTexts) const
{
    if (m_format == RecordFormat::Json)
        return jsonText(m_jsonEntries + runTexts);
    return (m_csvText.isEmpty() ? csvRecordLine(csvHeader()).toUtf8() : m_csvText) +
           runTexts.join(QByteArray());
}

bool WriteRecordFile::writeText(const QByteArray& text)
{
    const std::unique_ptr<QSaveFile> file = m_makeFile(m_path);
    // Unbuffered: every byte goes through write() now, so that a failure shows here and not
    // in a flush that commit() makes.
    bool ok = file->open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    // A short write (a disk filling up) goes on until a write fails and says why.
    for (qint64 written = 0; ok && written < text.size();) {
        const qint64 n = file->write(text.constData() + written, text.size() - written);
        ok = n > 0;
        written += n;
    }
    // commit() syncs the new file to disk, then renames it over the old one; without it the
    // temporary file is removed and the old one stays.
    ok = ok && file->commit();
    if (!ok) {
        m_error =
            QCoreApplication::translate("WriteRecord", "%1: the record could not be written: %2")
                .arg(m_path, file->errorString());
        return false; // the QSaveFile goes without commit(): its temporary file is removed
    }
    m_error.clear();
    return true;
}

} // namespace duva::fleet
