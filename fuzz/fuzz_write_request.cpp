// The write request built from any field texts, checked against the record it carries: read
// back as a module record, every field says what its text said. A request that cannot be
// built reports the first bad field in byte order.
//
// Input: a byte of flags (dhcp, watchdog, client mode, auto-disconnect), then up to 24 texts
// separated by newlines, in byte order: 16 address octets, local port, server port,
// auto-disconnect time, version, 3 serial bytes, server host. Missing numbers are "0".

#include "fuzzcheck.h"
#include "protocol/conversion.h"
#include "protocol/cp1252.h"
#include "protocol/datagrams.h"
#include "protocol/exception.h"

#include <vector>

namespace
{

using namespace duva;

struct Field {
    QString* text;
    int maxChars; // 0: a number; otherwise a text of that many characters at most
};

// What the first bad field in order gives, or an empty text when every field is good.
QString firstFailure(const std::vector<Field>& fields)
{
    for (const Field& f : fields) {
        if (f.maxChars == 0) {
            try {
                strToInt(*f.text);
            } catch (const ConversionError&) {
                return conversionErrorText(*f.text);
            }
        } else {
            bool ok = false;
            toCp1252(f.text->left(f.maxChars), &ok);
            if (!ok)
                return encodingErrorText(*f.text);
        }
    }
    return QString();
}

// What a module shows of a host text: the first 32 characters without NULs, trimmed of
// blanks and control characters at both ends.
QString shownHost(const QString& text)
{
    QString host = text.left(serverHostSize);
    host.remove(QChar(0));
    while (!host.isEmpty() && host.front().unicode() <= 32)
        host.remove(0, 1);
    while (!host.isEmpty() && host.back().unicode() <= 32)
        host.chop(1);
    return host;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    WriteRequest request;
    const quint8 flags = size > 0 ? data[0] : 0;
    request.dhcp = flags & 1;
    request.watchdog = flags & 2;
    request.clientMode = flags & 4;
    request.autoDisconnect = flags & 8;

    std::vector<Field> fields;
    for (auto* group :
         {&request.ipAddress, &request.subnetMask, &request.gateway, &request.dnsServer}) {
        for (QString& t : *group)
            fields.push_back({&t, 0});
    }
    fields.push_back({&request.localPort, 0});
    fields.push_back({&request.serverPort, 0});
    fields.push_back({&request.autoDisconnectTime, 0});
    fields.push_back({&request.firmwareVersion, 3});
    for (QString& t : request.serialBytes)
        fields.push_back({&t, 0});
    fields.push_back({&request.serverHost, serverHostSize});
    for (const Field& f : fields) {
        if (f.maxChars == 0)
            *f.text = QStringLiteral("0");
    }

    const QByteArray rest = size > 0 ? fuzz::bytesOf(data + 1, size - 1) : QByteArray();
    const QList<QByteArray> parts = rest.split('\n');
    for (size_t i = 0; i < fields.size() && i < size_t(parts.size()); ++i)
        *fields[i].text = QString::fromUtf8(parts[qsizetype(i)]);

    const QString expectedFailure = firstFailure(fields);
    QByteArray d;
    try {
        d = request.build();
    } catch (const Exception& e) {
        FUZZ_CHECK(e.message() == expectedFailure,
                   QStringLiteral("reported %1, first bad field gives %2")
                       .arg(e.message(), expectedFailure));
        return 0;
    }
    FUZZ_CHECK(expectedFailure.isEmpty(), expectedFailure);
    FUZZ_CHECK(d.size() == requestSize && quint8(d[offset::trailer]) == requestTrailer &&
                   quint8(d[offset::opcode]) == writeOpcode,
               QString::number(d.size()));

    const auto record = ModuleRecord::fromBytes(d.left(recordSize));
    FUZZ_CHECK(record.has_value(), "");
    const auto low8 = [](const QString& t) { return QString::number(strToInt(t) & 0xFF); };
    for (int i = 0; i < 4; ++i) {
        FUZZ_CHECK(record->ipAddress(i) == low8(request.ipAddress[i]), request.ipAddress[i]);
        FUZZ_CHECK(record->subnetMask(i) == low8(request.subnetMask[i]), request.subnetMask[i]);
        FUZZ_CHECK(record->gateway(i) == low8(request.gateway[i]), request.gateway[i]);
        FUZZ_CHECK(record->dnsServer(i) == low8(request.dnsServer[i]), request.dnsServer[i]);
    }
    // A port keeps the low 8 bits of n / 256 and of n.
    const auto port = [](const QString& t) {
        const int n = strToInt(t);
        return ((n / 256) & 0xFF) * 256 + (n & 0xFF);
    };
    FUZZ_CHECK(record->localPort() == port(request.localPort), request.localPort);
    FUZZ_CHECK(record->serverPort() == port(request.serverPort), request.serverPort);
    FUZZ_CHECK(record->dhcp() == request.dhcp && record->watchdog() == request.watchdog &&
                   record->clientMode() == request.clientMode &&
                   record->autoDisconnect() == request.autoDisconnect,
               QString::number(flags));
    FUZZ_CHECK(QString::number(record->autoDisconnectTime()) == low8(request.autoDisconnectTime),
               request.autoDisconnectTime);

    QString version = request.firmwareVersion.left(3);
    if (version.contains(QChar(0)))
        version.truncate(version.indexOf(QChar(0)));
    FUZZ_CHECK(record->firmwareVersion() == version, fuzz::describe(request.firmwareVersion));

    for (int i = 0; i < 3; ++i)
        FUZZ_CHECK(QString::number(record->serialBytes()[i]) == low8(request.serialBytes[i]),
                   request.serialBytes[i]);
    FUZZ_CHECK(record->serverHost() == shownHost(request.serverHost),
               fuzz::describe(request.serverHost));
    return 0;
}
