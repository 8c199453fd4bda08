#pragma once

#include "cli/exitstatus.h"
#include "fleet/search.h"
#include "fleet/targets.h"

#include <QString>
#include <QStringList>
#include <optional>

class QCommandLineParser;

namespace duva::cli
{

enum class Format { Table, Json, Csv };

// Why duvactl stops, and with which status.
struct Failure {
    ExitStatus status;
    QString message;
};

// Everything the command line says, checked.
struct Options {
    QString command;
    QStringList arguments;
    Format format = Format::Table;
    bool excel = false; // with Csv: ';' and a UTF-8 byte-order mark, for a spreadsheet
    QStringList filters;
    fleet::TargetChoice where;
    fleet::SearchTiming timing;
    int settleMs = 6000;
    std::optional<int> serial;
    int expect = 0; // search: ask until this many modules answered; 0: no number
    bool dryRun = false;
    bool yes = false;
    bool force = false;        // write values that would cut a module off
    QList<Ipv4Address> via;    // set, apply: free temporary addresses, one for each cycle
    bool skipMissing = false;  // apply, rollback: write the modules that answered
    std::optional<quint32> at; // commission: where fresh modules answer
    QString recordPath;        // the record of writes (--record)
    QString operatorName;      // who writes, for the record (--operator); empty: the login name
};

// The options, the commands, the fields and the exit statuses, for --help and the man page.
void describe(QCommandLineParser& parser);

// Reads the command line (without the program's name) into o; a failure when it is not one
// duvactl takes. With --help or --version nothing else is checked.
std::optional<Failure> readOptions(const QStringList& arguments, Options& o, bool& help,
                                   bool& version);

} // namespace duva::cli
