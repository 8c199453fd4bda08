// The record reader on any bytes: only exactly 64 bytes make a record, and then every field
// reader gives what its bytes say; the byte dump of any bytes lists each byte once, in order.

#include "fuzzcheck.h"
#include "protocol/datagrams.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace duva;
    const QByteArray bytes = fuzz::bytesOf(data, size);

    const QStringList dump = dumpBytes(bytes);
    FUZZ_CHECK(dump.size() == bytes.size(), QString::number(dump.size()));
    for (int i = 0; i < bytes.size(); ++i) {
        bool ok = false;
        FUZZ_CHECK(dump[i].toInt(&ok) == quint8(bytes[i]) && ok, dump[i]);
    }

    const auto record = ModuleRecord::fromBytes(bytes);
    FUZZ_CHECK(record.has_value() == (size == recordSize), QString::number(size));
    if (!record)
        return 0;
    const auto at = [&bytes](int i) { return int(quint8(bytes[i])); };

    QStringList octets;
    for (int i = 0; i < 4; ++i) {
        FUZZ_CHECK(record->ipAddress(i) == QString::number(at(offset::ipAddress + i)), "");
        FUZZ_CHECK(record->subnetMask(i) == QString::number(at(offset::subnetMask + i)), "");
        FUZZ_CHECK(record->gateway(i) == QString::number(at(offset::gateway + i)), "");
        FUZZ_CHECK(record->dnsServer(i) == QString::number(at(offset::dnsServer + i)), "");
        octets << record->ipAddress(i);
    }
    FUZZ_CHECK(record->ipAddressText() == octets.join(u'.'), record->ipAddressText());

    const int local = record->localPort();
    const int server = record->serverPort();
    FUZZ_CHECK(local >= 0 && local <= 65535 && local >> 8 == at(offset::localPort) &&
                   (local & 0xFF) == at(offset::localPort + 1),
               QString::number(local));
    FUZZ_CHECK(server >= 0 && server <= 65535 && server >> 8 == at(offset::serverPort) &&
                   (server & 0xFF) == at(offset::serverPort + 1),
               QString::number(server));
    FUZZ_CHECK(record->dhcp() == (at(offset::dhcp) == 1), "");
    FUZZ_CHECK(record->watchdog() == (at(offset::watchdog) == 0x80), "");
    const int mode = at(offset::clientMode);
    FUZZ_CHECK(record->clientMode() ==
                   (mode > 1 ? std::optional<bool>() : std::optional<bool>(mode == 1)),
               "");
    FUZZ_CHECK(record->autoDisconnect() == (at(offset::autoDisconnect) == 1), "");
    FUZZ_CHECK(record->autoDisconnectTime() == at(offset::autoDisconnectTime), "");

    // The version: up to three characters, one per byte, ending at a NUL.
    const QString version = record->firmwareVersion();
    int versionLength = 0;
    while (versionLength < 3 && at(offset::firmwareVersion + versionLength) != 0)
        ++versionLength;
    FUZZ_CHECK(version.size() == versionLength, fuzz::describe(version));

    const auto serial = record->serialBytes();
    for (int i = 0; i < 3; ++i)
        FUZZ_CHECK(serial[i] == at(offset::serialBytes + i), "");
    FUZZ_CHECK(record->serialNumber() == (serial[0] << 16 | serial[1] << 8 | serial[2]), "");

    // The host: no NUL, no blank or control character at either end, never longer than the
    // bytes it came from.
    const QString host = record->serverHost();
    FUZZ_CHECK(host.size() <= serverHostSize && !host.contains(QChar(0)), fuzz::describe(host));
    FUZZ_CHECK(host.isEmpty() || (host.front().unicode() > 32 && host.back().unicode() > 32),
               fuzz::describe(host));
    return 0;
}
