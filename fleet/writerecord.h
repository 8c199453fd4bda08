#pragma once

#include "protocol/datagrams.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QLockFile;
class QSaveFile;

namespace duva::fleet
{

enum class EntryStatus { Confirmed, NotConfirmed, Refused, Skipped };
QString statusName(EntryStatus status); // "confirmed", "not confirmed", "refused", "skipped"
std::optional<EntryStatus> statusFromName(const QString& name);

// Who wrote, from where, with what: the same for every entry of one run.
struct RecordContext {
    QString operatorName; // --operator, else the login name
    QString computer;
    QString interfaceName; // the network interface the writes went through
    QString toolVersion;
    QString command; // set, apply, commission, rollback

    // The login name (USER, else USERNAME) where operatorName is empty, this computer's
    // host name and this program's version.
    static RecordContext current(const QString& operatorName, const QString& interfaceName,
                                 const QString& command);
};

// One module written (or meant to be): one entry of the record.
struct RecordEntry {
    QDateTime time; // written with its offset from UTC
    RecordContext context;
    int planRow = 0;      // the plan's row (1: the first after the header); 0 when there is no plan
    int serialNumber = 0; // as the module carried it before the write
    std::optional<ModuleRecord> before; // as the module showed it before the write
    std::optional<ModuleRecord> after;  // as written: a confirmed module showed exactly this
    EntryStatus status = EntryStatus::Skipped;
    int writesSent = 0;
    QString reason; // why it was refused, skipped or not confirmed
};

enum class RecordFormat { Json, Csv };
// By the file's suffix, .json or .csv (any case); no value for anything else.
std::optional<RecordFormat> recordFormatOf(const QString& path);

// The file's whole text for these entries. JSON: {"format": "duva-write-record",
// "version": 1, "entries": [...]}; CSV: a header and one row per entry, each record as one
// column per field plus its 64 bytes in hex.
QByteArray recordText(const QList<RecordEntry>& entries, RecordFormat format);

struct RecordContents {
    QList<RecordEntry> entries;
    QString error; // empty when the text is a whole record
};
RecordContents parseRecord(const QByteArray& text, RecordFormat format);
// The file's entries; a file that does not exist is an error here.
RecordContents readRecord(const QString& path);

// A record file that only grows. Every append replaces the whole file through QSaveFile: the
// new text goes to a temporary file, is synced to disk and then renamed over the old one, so
// that a crash or Ctrl+C at any moment leaves either the earlier or the new record, each a
// complete document that JSON and spreadsheet tools open. Appending in place would be cheaper
// but could leave half an entry behind; rewriting costs time in proportion to the file, which
// for a record of a few thousand modules is small beside a module's settle period.
class WriteRecordFile
{
public:
    // The seam for tests: makes the file that one append writes. The default is a QSaveFile
    // for the path.
    using MakeFile = std::function<std::unique_ptr<QSaveFile>(const QString& path)>;

    explicit WriteRecordFile(QString path, MakeFile makeFile = {});
    ~WriteRecordFile();

    // Takes in what the file holds already, so that this run appends to it, and holds it
    // (a lock file beside it, PATH.lock) until this object goes. False (error() says why)
    // when the suffix is neither .json nor .csv, when another run holds the file (each would
    // overwrite the other's entries), or when the file exists and is not a record: it is
    // never overwritten then.
    bool open();
    // Puts the entries on disk, after every earlier one, before it returns. False (error()
    // says why) when they could not be written: the file keeps what it held, and so does
    // this object.
    bool append(const QList<RecordEntry>& entries);
    bool append(const RecordEntry& entry) { return append(QList<RecordEntry>{entry}); }
    // Puts entry in place of the one at index (0: the file's first), which this run appended:
    // an entry kept while its module's outcome was open gets its final status in place, not
    // beside it. Entries of earlier runs are never touched. False (error() says why) for an
    // index this run did not append, or when the file could not be written: it keeps what it
    // held then, and so does this object.
    bool replace(int index, const RecordEntry& entry);

    const QString& path() const { return m_path; }
    QString error() const { return m_error; }
    int entryCount() const { return m_count; } // the last appended entry's index + 1

private:
    // Replaces the file with text; false with m_error set when it cannot.
    bool writeText(const QByteArray& text);
    // The whole file: the earlier runs' part, then runTexts.
    QByteArray fileText(const QList<QByteArray>& runTexts) const;

    QString m_path;
    MakeFile m_makeFile;
    std::unique_ptr<QLockFile> m_lock;
    RecordFormat m_format = RecordFormat::Json;
    // The file as earlier runs left it: each JSON entry's text (keys a later version added
    // survive), or the CSV text with its header; then this run's entries, each JSON entry's
    // text or CSV row.
    QList<QByteArray> m_jsonEntries;
    QByteArray m_csvText;
    QList<QByteArray> m_runTexts;
    int m_count = 0;
    bool m_open = false;
    QString m_error;
};

} // namespace duva::fleet
