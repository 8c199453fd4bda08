#pragma once

#include "tools/sim/bench.h"
#include "tools/sim/fleet.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace duva::sim
{

// Everything the command line sets. Addresses are in host order.
struct Config {
    int count = 3;
    bool sameIp = false; // every module at firstIp, as modules fresh from the factory may be
    quint32 firstIp = 0x0A4D000A; // 10.77.0.10
    quint32 mask = 0xFFFFFF00;
    std::optional<quint32> gateway; // default: .1 of the first module's /24
    std::optional<quint32> dns;     // default: the gateway
    int localPort = 5002;
    int serverPort = 5002;
    bool dhcp = false;
    bool watchdog = true;
    bool clientMode = true;
    bool autoDisconnect = false;
    int autoDisconnectTime = 10;
    QString firmwareVersion = QStringLiteral("000");
    int serial = 1031; // serial bytes 0, 4, 7
    QString serverHost = QStringLiteral("10.77.0.1");

    Faults faults;
    bool seedGiven = false;
    BenchConfig bench; // --bench: modules plugged in one at a time at the first address

    quint32 listenAddress = 0; // every interface
    bool sharePort = false;    // other simulators may listen on the same ports
    bool quiet = false;        // log no datagram, only the start and the end
    int searchPort = 1461;
    int resetPort = 69;

    bool help = false;        // --help: print helpText()
    bool showVersion = false; // --version: print the program's version
};

struct ParseResult {
    std::optional<Config> config; // no value: error says why
    QString error;
};

// Reads the arguments (without the program's name). Options take their value as the next
// argument or after "=". Every value is checked here, so that a fleet built from the result
// is always valid. With --help or --version nothing else is checked.
ParseResult parseArguments(const QStringList& arguments);

QString helpText();

// The records the modules start with: addresses and serial numbers count up from the
// first module's, every other field as configured; the opcode byte is 0.
std::vector<QByteArray> initialRecords(const Config& config);

std::optional<quint32> parseAddress(const QString& text);

} // namespace duva::sim
