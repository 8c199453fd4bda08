#include "cli/options.h"

#include <QCoreApplication>

#include "fleet/fields.h"

#include <QCommandLineParser>

namespace duva::cli
{

namespace
{
// The texts a person reads, translated (translations/duvactl_*.ts).
class Texts
{
    Q_DECLARE_TR_FUNCTIONS(Options)
};
} // namespace

namespace
{

const char* description = QT_TRANSLATE_NOOP(
    "Options",
    "Finds, shows and configures DUVA Ethernet modules from the command line.\n"
    "\n"
    "Commands:\n"
    "  search                      list every module that answers a search\n"
    "  show ADDRESS | --serial N   print one module's record\n"
    "  set ADDRESS | --serial N FIELD=VALUE...\n"
    "                              write one module and confirm it: search for its record,\n"
    "                              print what changes, send one write to its address, and\n"
    "                              search about every 500 ms until a reply carries exactly\n"
    "                              the record written, for at most the settle time\n"
    "  apply PLAN.csv | PLAN.json  configure many modules: each row picks a module by\n"
    "                              serialNumber (or, without one, by its current ipAddress)\n"
    "                              and gives the fields to change; an empty cell changes\n"
    "                              nothing. Nothing is sent until every row is valid and\n"
    "                              every module named has answered. `duvactl search --csv`\n"
    "                              writes such a plan. A spreadsheet's CSV is read too:\n"
    "                              UTF-8 or cp1252, ',' ';' or tab between cells, blanks\n"
    "                              around cells, and cells that lost the leading zeros of\n"
    "                              the module's value (000 saved as 0) change nothing.\n"
    "  commission PLAN --at ADDRESS\n"
    "                              give fresh modules, plugged in one at a time and\n"
    "                              answering at ADDRESS, their rows of the plan: a row with\n"
    "                              a serialNumber is for that module, the others go out in\n"
    "                              plan order, and empty cells keep the module's value.\n"
    "                              Nothing is written while two modules answer there. Each\n"
    "                              module is confirmed at its new address; Ctrl+C stops, and\n"
    "                              the same command with the same --record goes on.\n"
    "  reset --yes                 broadcast the reset datagram to UDP port 69 on every /24\n"
    "                              network of the local /16, as the window's \"RST 69\"\n"
    "  rollback RECORD.json | RECORD.csv\n"
    "                              write back the record each module had before the\n"
    "                              confirmed writes of a record that --record kept, finding\n"
    "                              each module by its serial number wherever it answers now,\n"
    "                              in the same safe order and with the same confirmation as\n"
    "                              apply; refused before anything is sent where it would\n"
    "                              put two modules on one address\n"
    "\n"
    "set, apply, commission and rollback --record FILE.json | FILE.csv add one entry for\n"
    "each module to the record of writes, on disk before the next module is written: the\n"
    "time, the operator, the computer, the interface, the program's version, the plan's\n"
    "row, the serial number, the record before and after, the status and the writes sent.\n"
    "A later run appends to it.\n"
    "\n"
    "Fields: ipAddress, subnetMask, gateway, dnsServer (A.B.C.D, each 0-255), localPort,\n"
    "serverPort (0-65535), dhcp, watchdog, autoDisconnect (0/1, true/false, on/off, sim/não\n"
    "or verdadeiro/falso, in any case), clientMode (client or server; client mode needs a\n"
    "serverHost), autoDisconnectTime (0-255), firmwareVersion (exactly 3 characters),\n"
    "serialNumber (0-16777215), serverHost (at most 32 characters); texts in Windows\n"
    "Latin-1 (cp1252). Search also prints `from`, the address the reply came from, and\n"
    "`replies`, the most identical replies that came from there to one request: 1 normally;\n"
    "more when a module answers twice or several modules carry one record. A plan may carry\n"
    "both columns, which are ignored.\n"
    "\n"
    "A search goes to the broadcast address of every running IPv4 interface but loopback,\n"
    "with replies on UDP port 5001. A request's round ends a quiet period after the last\n"
    "reply, or at the total wait. It asks again while nobody answered, while a round still\n"
    "brought new modules, or while a module that the command names is missing: three\n"
    "requests in all at most. Modules that share an address or a serial number, and replies\n"
    "that this computer dropped, are warned about on standard error.\n");

} // namespace

void describe(QCommandLineParser& parser)
{
    parser.setApplicationDescription(Texts::tr(description) + QLatin1Char('\n') +
                                     QCoreApplication::translate("ExitStatus", exitStatusHelp()));
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption({{"h", "help"}, Texts::tr("Show this text and exit.")});
    parser.addOption({{"v", "version"}, Texts::tr("Show the program's version and exit.")});
    parser.addOption({"json", Texts::tr("Print JSON.")});
    parser.addOption({"csv", Texts::tr("Print comma-separated values (a plan for apply).")});
    parser.addOption(
        {"excel", Texts::tr("Print CSV for a spreadsheet in a Portuguese locale: ';' and a "
                            "UTF-8 byte-order mark (Excel opens it as columns; apply reads "
                            "it back, as it reads a plan that a spreadsheet saved).")});
    parser.addOption(
        {"filter",
         Texts::tr("search: list only the modules whose FIELD shows VALUE (repeatable; all "
                   "must match)."),
         Texts::tr("FIELD=VALUE")});
    parser.addOption({"interface",
                      Texts::tr("Search (or reset) through this interface only: its system name "
                                "(eth0), or on Windows the name the Network Connections list "
                                "shows (Ethernet, Wi-Fi)."),
                      Texts::tr("NAME")});
    parser.addOption(
        {"network", Texts::tr("Search A.B.C.255 only, through an interface in A.B.C."), "A.B.C"});
    parser.addOption(
        {"extended",
         Texts::tr("Also broadcast to the 256 /24 networks of each /16, 1 ms apart, as the "
                   "window's extended range.")});
    parser.addOption({"serial", Texts::tr("show, set: the module with this serial number."), "N"});
    parser.addOption({"settle-ms",
                      Texts::tr("set, apply, commission, rollback: the longest wait for a module "
                                "to show what was written, searching about every 500 ms "
                                "(default 6000)."),
                      "MS"});
    parser.addOption({"quiet-ms",
                      Texts::tr("A search ends this long after the last reply (default 500)."),
                      "MS"});
    parser.addOption({"timeout-ms",
                      Texts::tr("A search ends this long after its request at the latest "
                                "(default 3000)."),
                      "MS"});
    parser.addOption(
        {"expect",
         Texts::tr("search: ask again until N modules have answered or the total wait "
                   "(--timeout-ms, from the first request) ends, then say \"N of M\" on "
                   "standard error; fewer than N gives exit status 6."),
         "N"});
    parser.addOption(
        {"dry-run", Texts::tr("set, apply, rollback: search and print the writes (with "
                              "their 65 bytes) instead of sending them.")});
    parser.addOption(
        {"force", Texts::tr("set, apply: write values that would cut a module off all the "
                            "same (an address that is its subnet's network or broadcast "
                            "address, this computer's or the module's gateway, a broken "
                            "mask, a gateway outside the subnet, a serial number that "
                            "another module carries).")});
    parser.addOption({"yes", Texts::tr("reset: really send the reset broadcast.")});
    parser.addOption(
        {"via",
         Texts::tr(
             "set, apply, rollback: a free address (no module may answer there) through which "
             "modules that swap addresses move, one module of each cycle first to "
             "it and, once confirmed there, on to its new address; one for each "
             "cycle (repeatable)."),
         "A.B.C.D"});
    parser.addOption(
        {"skip-missing", Texts::tr("apply, rollback: write the modules that answered, list the "
                                   "rows whose module did not, and end with status 6.")});
    parser.addOption(
        {"at", Texts::tr("commission: the address that fresh modules answer from."), "A.B.C.D"});
    parser.addOption({"record",
                      Texts::tr("set, apply, commission, rollback: add an entry for each module "
                                "to this record of writes (.json or .csv), opened before "
                                "anything is sent; a later run appends, and commission skips "
                                "the rows it shows confirmed."),
                      Texts::tr("FILE")});
    parser.addOption({"operator",
                      Texts::tr("set, apply, commission, rollback: the operator's name in the "
                                "record (default: the login name)."),
                      Texts::tr("NAME")});
    parser.addPositionalArgument(
        Texts::tr("command"),
        Texts::tr("search, show, set, apply, commission, reset or rollback (see above)."),
        Texts::tr("command [arguments...]"));
}

std::optional<Failure> readOptions(const QStringList& arguments, Options& o, bool& help,
                                   bool& version)
{
    QCommandLineParser parser;
    describe(parser);
    if (!parser.parse(QStringList{QStringLiteral("duvactl")} + arguments))
        return Failure{ExitStatus::Usage, parser.errorText()};
    help = parser.isSet(QStringLiteral("help"));
    version = parser.isSet(QStringLiteral("version"));
    if (help || version)
        return std::nullopt;

    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty())
        return Failure{ExitStatus::Usage, Texts::tr("no command given (search, show, set, "
                                                    "apply, commission, reset or rollback)")};
    o.command = positional.first();
    o.arguments = positional.mid(1);
    static const QStringList commands = {"search",     "show",  "set",     "apply",
                                         "commission", "reset", "rollback"};
    if (!commands.contains(o.command))
        return Failure{ExitStatus::Usage,
                       Texts::tr("unknown command '%1' (search, show, set, apply, commission, "
                                 "reset or rollback)")
                           .arg(o.command)};

    QStringList formats;
    for (const char* format : {"json", "csv", "excel"}) {
        if (parser.isSet(format))
            formats << QStringLiteral("--%1").arg(QString::fromLatin1(format));
    }
    if (formats.size() > 1)
        return Failure{ExitStatus::Usage,
                       Texts::tr("%1 exclude each other").arg(formats.join(Texts::tr(" and ")))};
    o.excel = parser.isSet("excel");
    o.format = parser.isSet("json")                           ? Format::Json
               : parser.isSet("csv") || parser.isSet("excel") ? Format::Csv
                                                              : Format::Table;
    o.filters = parser.values("filter");
    o.where.interfaceName = parser.value("interface");
    o.where.network = parser.value("network");
    o.where.extended = parser.isSet("extended");
    o.dryRun = parser.isSet("dry-run");
    o.yes = parser.isSet("yes");
    o.force = parser.isSet("force");
    o.skipMissing = parser.isSet("skip-missing");
    o.recordPath = parser.value("record");
    o.operatorName = parser.value("operator");
    for (const QString& via : parser.values("via")) {
        const auto address = Ipv4Address::parse(via);
        if (!address)
            return Failure{ExitStatus::Usage,
                           Texts::tr("--via: '%1' is not an IPv4 address").arg(via)};
        o.via << *address;
    }
    if (parser.isSet("at")) {
        o.at = fleet::parseAddress(parser.value("at"));
        if (!o.at)
            return Failure{ExitStatus::Usage,
                           Texts::tr("--at: '%1' is not an IPv4 address").arg(parser.value("at"))};
    }
    o.recordPath = parser.value("record");
    o.operatorName = parser.value("operator");

    const auto number = [&](const char* name, qint64 low, qint64 high,
                            int& into) -> std::optional<Failure> {
        if (!parser.isSet(name))
            return std::nullopt;
        const QString value = parser.value(name);
        const auto n = fleet::parseWhole(value, low, high);
        if (!n)
            return Failure{ExitStatus::Usage, Texts::tr("--%1: '%2' is not a whole number "
                                                        "from %3 to %4")
                                                  .arg(QString::fromLatin1(name), value)
                                                  .arg(low)
                                                  .arg(high)};
        into = int(*n);
        return std::nullopt;
    };
    int serial = -1;
    for (const auto& failure :
         {number("settle-ms", 0, 600000, o.settleMs),
          number("quiet-ms", 1, 60000, o.timing.quietMs),
          number("timeout-ms", 1, 600000, o.timing.totalMs), number("serial", 0, 0xFFFFFF, serial),
          number("expect", 1, 0xFFFFFF, o.expect)}) {
        if (failure)
            return failure;
    }
    if (serial >= 0)
        o.serial = serial;

    const auto only = [&](const char* option, QStringList allowed) -> std::optional<Failure> {
        if (parser.isSet(option) && !allowed.contains(o.command))
            return Failure{
                ExitStatus::Usage,
                Texts::tr("--%1 does not apply to %2").arg(QString::fromLatin1(option), o.command)};
        return std::nullopt;
    };
    const QStringList writing{"set", "apply", "rollback"};
    for (const auto& failure :
         {only("filter", {"search"}), only("expect", {"search"}), only("serial", {"show", "set"}),
          only("settle-ms", {"set", "apply", "commission", "rollback"}), only("dry-run", writing),
          only("yes", {"reset"}), only("csv", {"search", "show"}),
          only("excel", {"search", "show"}), only("force", {"set", "apply", "commission"}),
          only("via", writing), only("skip-missing", {"apply", "rollback"}),
          only("at", {"commission"}), only("record", {"set", "apply", "commission", "rollback"}),
          only("operator", {"set", "apply", "commission", "rollback"}),
          only("json", {"search", "show", "set", "apply", "commission", "rollback"})}) {
        if (failure)
            return failure;
    }
    return std::nullopt;
}

} // namespace duva::cli
