#include "tools/sim/options.h"

#include "protocol/datagrams.h"
#include "protocol/exception.h"
#include "protocol/ipv4.h"

#include <QCommandLineParser>
#include <functional>

namespace duva::sim
{

namespace
{

constexpr int maxSerial = 0xFFFFFF;

std::optional<long long> parseNumber(const QString& text, long long low, long long high)
{
    if (text.isEmpty() || text.size() > 12)
        return std::nullopt;
    for (QChar c : text) {
        if (!c.isDigit() || c.unicode() > '9')
            return std::nullopt;
    }
    const long long value = text.toLongLong();
    if (value < low || value > high)
        return std::nullopt;
    return value;
}

std::optional<bool> parseSwitch(const QString& text)
{
    if (text == QLatin1String("on"))
        return true;
    if (text == QLatin1String("off"))
        return false;
    return std::nullopt;
}

struct Option {
    QString name;
    QString value; // empty for a flag
    QString help;
    // Stores the value into the config; returns an error text, empty when fine.
    std::function<QString(const QString& value, Config& config)> apply;
};

using Apply = std::function<QString(const QString&, Config&)>;

Apply number(long long low, long long high, std::function<void(Config&, long long)> store)
{
    return [=](const QString& value, Config& config) {
        const auto n = parseNumber(value, low, high);
        if (!n)
            return QStringLiteral("'%1' is not a number from %2 to %3")
                .arg(value)
                .arg(low)
                .arg(high);
        store(config, *n);
        return QString();
    };
}

Apply address(std::function<void(Config&, quint32)> store)
{
    return [=](const QString& value, Config& config) {
        const auto a = parseAddress(value);
        if (!a)
            return QStringLiteral("'%1' is not an address like 10.77.0.10").arg(value);
        store(config, *a);
        return QString();
    };
}

Apply onOff(std::function<void(Config&, bool)> store)
{
    return [=](const QString& value, Config& config) {
        const auto on = parseSwitch(value);
        if (!on)
            return QStringLiteral("'%1' is neither on nor off").arg(value);
        store(config, *on);
        return QString();
    };
}

const std::vector<Option>& options()
{
    static const std::vector<Option> table = {
        {"--count", "N", "number of modules, 1 to 254 (default 3)",
         number(1, 254, [](Config& c, long long n) { c.count = int(n); })},
        {"--first-ip", "A.B.C.D",
         "the first module's address; the others count up in the last octet, which must "
         "not pass 254 (default 10.77.0.10)",
         address([](Config& c, quint32 a) { c.firstIp = a; })},
        {"--same-ip", "",
         "every module takes the first module's address, as modules fresh from the factory "
         "may; the serial numbers still count up",
         [](const QString&, Config& c) {
             c.sameIp = true;
             return QString();
         }},
        {"--mask", "A.B.C.D", "subnet mask (default 255.255.255.0)",
         address([](Config& c, quint32 a) { c.mask = a; })},
        {"--gateway", "A.B.C.D", "gateway (default: .1 in the first module's /24)",
         address([](Config& c, quint32 a) { c.gateway = a; })},
        {"--dns", "A.B.C.D", "DNS server (default: the gateway)",
         address([](Config& c, quint32 a) { c.dns = a; })},
        {"--local-port", "N", "the modules' own port, 0 to 65535 (default 5002)",
         number(0, 65535, [](Config& c, long long n) { c.localPort = int(n); })},
        {"--server-port", "N", "port of the server used in client mode (default 5002)",
         number(0, 65535, [](Config& c, long long n) { c.serverPort = int(n); })},
        {"--dhcp", "on|off", "DHCP (default off: fixed IP)",
         onOff([](Config& c, bool on) { c.dhcp = on; })},
        {"--watchdog", "on|off", "watchdog (default on)",
         onOff([](Config& c, bool on) { c.watchdog = on; })},
        {"--client", "", "client mode (the default)",
         [](const QString&, Config& c) {
             c.clientMode = true;
             return QString();
         }},
        {"--server", "", "server mode",
         [](const QString&, Config& c) {
             c.clientMode = false;
             return QString();
         }},
        {"--auto-disconnect", "on|off", "automatic disconnection (default off)",
         onOff([](Config& c, bool on) { c.autoDisconnect = on; })},
        {"--auto-disconnect-time", "N", "its time value, 0 to 255 (default 10)",
         number(0, 255, [](Config& c, long long n) { c.autoDisconnectTime = int(n); })},
        {"--firmware-version", "XYZ",
         "firmware version text, up to 3 characters; missing ones are zero bytes (default 000)",
         [](const QString& value, Config& c) {
             if (value.size() > 3)
                 return QStringLiteral("'%1' is longer than 3 characters").arg(value);
             c.firmwareVersion = value;
             return QString();
         }},
        {"--serial", "N",
         "the first module's serial number, 0 to 16777215; the others count up (default 1031)",
         number(0, maxSerial, [](Config& c, long long n) { c.serial = int(n); })},
        {"--server-host", "TEXT",
         "server host name or address for client mode, up to 32 characters (default 10.77.0.1)",
         [](const QString& value, Config& c) {
             if (value.size() > serverHostSize)
                 return QStringLiteral("'%1' is longer than %2 characters")
                     .arg(value)
                     .arg(serverHostSize);
             c.serverHost = value;
             return QString();
         }},
        {"--delay-ms", "N", "fault: every answer waits N ms (default 0)",
         number(0, 600000, [](Config& c, long long n) { c.faults.delayMs = int(n); })},
        {"--jitter-ms", "N", "fault: every answer waits a further random 0 to N ms (default 0)",
         number(0, 600000, [](Config& c, long long n) { c.faults.jitterMs = int(n); })},
        {"--answer-twice", "", "fault: every answer is sent twice",
         [](const QString&, Config& c) {
             c.faults.answerTwice = true;
             return QString();
         }},
        {"--mute-after-write", "",
         "fault: a module that took a write answers no more searches (until a reset)",
         [](const QString&, Config& c) {
             c.faults.muteAfterWrite = true;
             return QString();
         }},
        {"--ignore-first-search", "P",
         "fault: P% of the modules, 0 to 100, spread evenly over the fleet, ignore the first "
         "search that reaches them (until a reset)",
         number(0, 100,
                [](Config& c, long long n) { c.faults.ignoreFirstSearchPercent = int(n); })},
        {"--ignore-first-write", "",
         "fault: each module drops the first write that reaches it (until a reset), as if "
         "it had been lost on the way",
         [](const QString&, Config& c) {
             c.faults.ignoreFirstWrite = true;
             return QString();
         }},
        {"--old-record-searches", "N",
         "fault: a module that took a write answers its next N searches with its old record, "
         "as one still taking the write or restarting would (default 0)",
         number(0, 1000, [](Config& c, long long n) { c.faults.oldRecordSearches = int(n); })},
        {"--drop-percent", "P", "fault: each answer is lost with chance P%, 0 to 100 (default 0)",
         number(0, 100, [](Config& c, long long n) { c.faults.dropPercent = int(n); })},
        {"--wrong-length", "N",
         "fault: answers are N bytes long, 0 to 4096, instead of 64 (the record cut or "
         "zero-padded)",
         number(0, 4096, [](Config& c, long long n) { c.faults.wrongLength = int(n); })},
        {"--seed", "S",
         "seed of the random faults, 0 to 4294967295, so that a run can be repeated "
         "(default: a random one, shown at start)",
         number(0, 0xFFFFFFFFLL,
                [](Config& c, long long n) {
                    c.faults.seed = quint32(n);
                    c.seedGiven = true;
                })},
        {"--bench", "",
         "bench mode, for commissioning: every module at the first address (as --same-ip), "
         "plugged in one at a time; a module that took a write moving it away stays connected "
         "at its new address",
         [](const QString&, Config& c) {
             c.bench.enabled = c.sameIp = true;
             return QString();
         }},
        {"--bench-gap-ms", "N",
         "bench mode: the next module is plugged in N ms after the one before moved away "
         "(default 1000)",
         number(0, 600000, [](Config& c, long long n) { c.bench.gapMs = int(n); })},
        {"--bench-pair", "K",
         "bench mode: the K-th module plugged in comes together with the next one, which is "
         "unplugged again after --bench-pair-leave-ms and comes back as the next module "
         "(default 0: never)",
         number(0, 254, [](Config& c, long long n) { c.bench.pairAt = int(n); })},
        {"--bench-pair-leave-ms", "N", "bench mode: see --bench-pair (default 3000)",
         number(0, 600000, [](Config& c, long long n) { c.bench.pairLeaveMs = int(n); })},
        {"--listen-address", "A.B.C.D",
         "listen on this local address only (default 0.0.0.0: every interface)",
         address([](Config& c, quint32 a) { c.listenAddress = a; })},
        {"--share-port", "",
         "let other simulators listen on the same ports, so that several fleets (of up to "
         "254 modules each) answer one broadcast; a datagram sent to one address reaches "
         "one of them",
         [](const QString&, Config& c) {
             c.sharePort = true;
             return QString();
         }},
        {"--quiet", "",
         "log no datagram received or sent, only the first line and the end (for large "
         "fleets, whose log would slow them down)",
         [](const QString&, Config& c) {
             c.quiet = true;
             return QString();
         }},
        {"--search-port", "N",
         "UDP port for searches and writes (default 1461; 0: any free port, shown at start)",
         number(0, 65535, [](Config& c, long long n) { c.searchPort = int(n); })},
        {"--reset-port", "N",
         "UDP port for reset datagrams (default 69; 0: any free port, shown at start)",
         number(0, 65535, [](Config& c, long long n) { c.resetPort = int(n); })},
    };
    return table;
}

void describe(QCommandLineParser& parser)
{
    parser.setApplicationDescription(QStringLiteral(
        "Simulates a fleet of DUVA modules on UDP: every module answers a search with its\n"
        "64-byte record, takes a write sent to its address, and returns to its first record\n"
        "when a reset datagram (65 zero bytes) arrives on the reset port. Every datagram\n"
        "received and sent is logged on standard output, one line each.\n"
        "Options take their value as the next argument or as --option=value."));
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption(
        {{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("show this text and exit")});
    parser.addOption({{QStringLiteral("v"), QStringLiteral("version")},
                      QStringLiteral("show the program's version and exit")});
    for (const Option& o : options()) {
        QCommandLineOption option(o.name.mid(2), o.help);
        if (!o.value.isEmpty())
            option.setValueName(o.value);
        parser.addOption(option);
    }
}

} // namespace

std::optional<quint32> parseAddress(const QString& text)
{
    const auto address = Ipv4Address::parse(text);
    return address ? std::optional<quint32>(address->toUInt32()) : std::nullopt;
}

ParseResult parseArguments(const QStringList& arguments)
{
    QCommandLineParser parser;
    describe(parser);
    Config config;
    if (!parser.parse(QStringList{QStringLiteral("duva-sim")} + arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty()) {
            const QString& name = unknown.first();
            return {std::nullopt, QStringLiteral("unknown option '%1%2' (see --help)")
                                      .arg(name.size() > 1 ? "--" : "-", name)};
        }
        return {std::nullopt, parser.errorText()};
    }
    if (!parser.positionalArguments().isEmpty()) {
        return {std::nullopt, QStringLiteral("unexpected argument '%1' (see --help)")
                                  .arg(parser.positionalArguments().first())};
    }
    config.help = parser.isSet(QStringLiteral("help"));
    config.showVersion = parser.isSet(QStringLiteral("version"));
    if (config.help || config.showVersion)
        return {config, QString()};

    for (const Option& option : options()) {
        const QString name = option.name.mid(2);
        if (!parser.isSet(name))
            continue;
        // Every value given is checked, also those that a later one overrides.
        const QStringList values =
            option.value.isEmpty() ? QStringList{QString()} : parser.values(name);
        for (const QString& value : values) {
            const QString error = option.apply(value, config);
            if (!error.isEmpty())
                return {std::nullopt, QStringLiteral("%1: %2").arg(option.name, error)};
        }
    }
    if (parser.isSet(QStringLiteral("client")) && parser.isSet(QStringLiteral("server")))
        return {std::nullopt, QStringLiteral("--client and --server exclude each other")};

    const int lastOctet = int(config.firstIp & 0xFF) + (config.sameIp ? 0 : config.count - 1);
    if ((config.firstIp & 0xFF) == 0 || lastOctet > 254) {
        return {std::nullopt,
                QStringLiteral("--first-ip %1 with --count %2: the addresses must stay within "
                               ".1 to .254 (the last would be .%3)")
                    .arg(addressText(config.firstIp))
                    .arg(config.count)
                    .arg(lastOctet)};
    }
    if (config.serial + config.count - 1 > maxSerial) {
        return {std::nullopt, QStringLiteral("--serial %1 with --count %2: the serial numbers "
                                             "must stay below 16777216")
                                  .arg(config.serial)
                                  .arg(config.count)};
    }
    for (const char* name : {"bench-gap-ms", "bench-pair", "bench-pair-leave-ms"}) {
        if (parser.isSet(QLatin1String(name)) && !config.bench.enabled)
            return {std::nullopt, QStringLiteral("--%1 needs --bench").arg(QLatin1String(name))};
    }
    if (config.bench.pairAt >= config.count) {
        return {std::nullopt, QStringLiteral("--bench-pair %1 with --count %2: a pair needs a "
                                             "module after the %1th")
                                  .arg(config.bench.pairAt)
                                  .arg(config.count)};
    }
    if (config.searchPort != 0 && config.searchPort == config.resetPort)
        return {std::nullopt, QStringLiteral("--search-port and --reset-port must differ")};
    try {
        initialRecords(config);
    } catch (const Exception& e) {
        return {std::nullopt,
                QStringLiteral("a record cannot hold these values: %1").arg(e.message())};
    }
    return {config, QString()};
}

QString helpText()
{
    QCommandLineParser parser;
    describe(parser);
    // Without a QCoreApplication the parser cannot know the program's name.
    return parser.helpText().replace(QLatin1String("<executable_name>"), QLatin1String("duva-sim"));
}

std::vector<QByteArray> initialRecords(const Config& config)
{
    const auto octets = [](quint32 a) {
        return std::array<QString, 4>{QString::number(a >> 24), QString::number((a >> 16) & 0xFF),
                                      QString::number((a >> 8) & 0xFF), QString::number(a & 0xFF)};
    };
    const quint32 gateway = config.gateway.value_or((config.firstIp & 0xFFFFFF00) | 1);
    WriteRequest request;
    request.subnetMask = octets(config.mask);
    request.gateway = octets(gateway);
    request.dnsServer = octets(config.dns.value_or(gateway));
    request.localPort = QString::number(config.localPort);
    request.serverPort = QString::number(config.serverPort);
    request.dhcp = config.dhcp;
    request.watchdog = config.watchdog;
    request.clientMode = config.clientMode;
    request.autoDisconnect = config.autoDisconnect;
    request.autoDisconnectTime = QString::number(config.autoDisconnectTime);
    request.firmwareVersion = config.firmwareVersion;
    request.serverHost = config.serverHost;

    std::vector<QByteArray> records;
    for (int i = 0; i < config.count; ++i) {
        request.ipAddress = octets(config.firstIp + (config.sameIp ? 0 : quint32(i)));
        const int serial = config.serial + i;
        request.serialBytes = {QString::number(serial >> 16), QString::number((serial >> 8) & 0xFF),
                               QString::number(serial & 0xFF)};
        QByteArray record = request.build().left(recordSize);
        record[offset::opcode] = 0;
        records.push_back(record);
    }
    return records;
}

} // namespace duva::sim
