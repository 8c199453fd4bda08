#include "cli/fields.h"

#include <QCoreApplication>

#include "protocol/cp1252.h"

namespace duva::cli
{

namespace
{
// The texts a person reads, translated (translations/duvactl_*.ts).
class Texts
{
    Q_DECLARE_TR_FUNCTIONS(Fields)
};
} // namespace

const QString fromColumn = QStringLiteral("from");
const QString repliesColumn = QStringLiteral("replies");

namespace
{

using Octets = std::array<quint8, 4>;

QString dotted(const ModuleRecord& r, int at)
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg(r.byte(at))
        .arg(r.byte(at + 1))
        .arg(r.byte(at + 2))
        .arg(r.byte(at + 3));
}

Field address(const char* name, int at, Octets RecordValues::*member)
{
    return {QString::fromLatin1(name), [at](const ModuleRecord& r) { return dotted(r, at); },
            [at](const ModuleRecord& r) { return QJsonValue(dotted(r, at)); },
            [member](const QString& value, RecordValues& v) {
                const auto a = parseAddress(value);
                if (!a)
                    return Texts::tr("is not an IPv4 address: four numbers from 0 to 255 "
                                     "joined by dots");
                v.*member = {quint8(*a >> 24), quint8(*a >> 16), quint8(*a >> 8), quint8(*a)};
                return QString();
            }};
}

Field number(const char* name, int high, const char* what,
             std::function<int(const ModuleRecord&)> read,
             std::function<void(RecordValues&, int)> write)
{
    return {QString::fromLatin1(name),
            [read](const ModuleRecord& r) { return QString::number(read(r)); },
            [read](const ModuleRecord& r) { return QJsonValue(read(r)); },
            [high, what, write](const QString& value, RecordValues& v) {
                const auto n = parseWhole(value, 0, high);
                if (!n)
                    return Texts::tr("is not %1: a whole number from 0 to %2")
                        .arg(Texts::tr(what))
                        .arg(high);
                write(v, int(*n));
                return QString();
            }};
}

// As scripts and spreadsheets write booleans, in English and Portuguese, in any case
// (Calc and Excel write TRUE, VERDADEIRO).
std::optional<bool> parseBoolean(const QString& text)
{
    static const QStringList yes = {"1", "true", "on", "sim", "verdadeiro"};
    static const QStringList no = {"0", "false", "off", QString::fromUtf8("não"), "nao", "falso"};
    const QString word = text.toLower();
    if (yes.contains(word))
        return true;
    if (no.contains(word))
        return false;
    return std::nullopt;
}

QString booleanText(bool on)
{
    return on ? QStringLiteral("true") : QStringLiteral("false");
}

Field flag(const char* name, std::function<bool(const ModuleRecord&)> read,
           bool RecordValues::*member)
{
    return {QString::fromLatin1(name),
            [read](const ModuleRecord& r) { return booleanText(read(r)); },
            [read](const ModuleRecord& r) { return QJsonValue(read(r)); },
            [member](const QString& value, RecordValues& v) {
                const auto on = parseBoolean(value);
                if (!on)
                    return Texts::tr("is not a boolean: 1, true, on, sim or verdadeiro; 0, "
                                     "false, off, não or falso");
                v.*member = *on;
                return QString();
            }};
}

// Code-page bytes of a text of at most maxChars characters (exactly, when exact).
QString storeText(const QString& value, int chars, bool exact, QByteArray& out)
{
    if (exact ? value.size() != chars : value.size() > chars)
        return exact ? Texts::tr("is not exactly %1 characters long").arg(chars)
                     : Texts::tr("is longer than %1 characters").arg(chars);
    bool ok = false;
    const QByteArray bytes = toCp1252(value, &ok);
    if (!ok)
        return Texts::tr("has a character that the modules cannot store (they take "
                         "Windows Latin-1, cp1252, text only)");
    out = bytes;
    return QString();
}

QString clientModeText(const ModuleRecord& r)
{
    const auto mode = r.clientMode();
    if (!mode)
        return QString(); // neither: the byte holds something else
    return *mode ? QStringLiteral("client") : QStringLiteral("server");
}

} // namespace

const QList<Field>& fields()
{
    static const QList<Field> table = {
        address("ipAddress", offset::ipAddress, &RecordValues::ipAddress),
        address("subnetMask", offset::subnetMask, &RecordValues::subnetMask),
        address("gateway", offset::gateway, &RecordValues::gateway),
        address("dnsServer", offset::dnsServer, &RecordValues::dnsServer),
        number(
            "localPort", 65535, QT_TRANSLATE_NOOP("Fields", "a port"),
            [](const ModuleRecord& r) { return r.localPort(); },
            [](RecordValues& v, int n) { v.localPort = quint16(n); }),
        number(
            "serverPort", 65535, QT_TRANSLATE_NOOP("Fields", "a port"),
            [](const ModuleRecord& r) { return r.serverPort(); },
            [](RecordValues& v, int n) { v.serverPort = quint16(n); }),
        flag("dhcp", &ModuleRecord::dhcp, &RecordValues::dhcp),
        flag("watchdog", &ModuleRecord::watchdog, &RecordValues::watchdog),
        {QStringLiteral("clientMode"), clientModeText,
         [](const ModuleRecord& r) {
             const QString t = clientModeText(r);
             return t.isEmpty() ? QJsonValue() : QJsonValue(t);
         },
         [](const QString& value, RecordValues& v) {
             if (value != QLatin1String("client") && value != QLatin1String("server"))
                 return Texts::tr("is neither client nor server");
             v.clientMode = value == QLatin1String("client");
             return QString();
         }},
        flag("autoDisconnect", &ModuleRecord::autoDisconnect, &RecordValues::autoDisconnect),
        number(
            "autoDisconnectTime", 255, QT_TRANSLATE_NOOP("Fields", "a time value"),
            [](const ModuleRecord& r) { return r.autoDisconnectTime(); },
            [](RecordValues& v, int n) { v.autoDisconnectTime = quint8(n); }),
        {QStringLiteral("firmwareVersion"), &ModuleRecord::firmwareVersion,
         [](const ModuleRecord& r) { return QJsonValue(r.firmwareVersion()); },
         [](const QString& value, RecordValues& v) {
             return storeText(value, 3, true, v.firmwareVersion);
         }},
        number(
            "serialNumber", 0xFFFFFF, QT_TRANSLATE_NOOP("Fields", "a serial number"),
            [](const ModuleRecord& r) { return r.serialNumber(); },
            [](RecordValues& v, int n) { v.setSerialNumber(n); }),
        {QStringLiteral("serverHost"), &ModuleRecord::serverHost,
         [](const ModuleRecord& r) { return QJsonValue(r.serverHost()); },
         [](const QString& value, RecordValues& v) {
             return storeText(value, serverHostSize, false, v.serverHost);
         }},
    };
    return table;
}

const Field* findField(const QString& name)
{
    for (const Field& f : fields()) {
        if (f.name == name)
            return &f;
    }
    return nullptr;
}

QString fieldNames()
{
    QStringList names;
    for (const Field& f : fields())
        names << f.name;
    return names.join(QStringLiteral(", "));
}

QString checkValue(const Field& field, const QString& value)
{
    RecordValues scratch;
    const QString why = field.store(value, scratch);
    return why.isEmpty() ? QString() : QStringLiteral("'%1' %2").arg(value, why);
}

std::optional<qint64> parseWhole(const QString& text, qint64 low, qint64 high)
{
    if (text.isEmpty() || text.size() > 12)
        return std::nullopt;
    qint64 n = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        n = n * 10 + (c.unicode() - '0');
    }
    if (n < low || n > high)
        return std::nullopt;
    return n;
}

std::optional<quint32> parseAddress(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return std::nullopt;
    quint32 address = 0;
    for (const QString& part : parts) {
        const auto octet = part.size() <= 3 ? parseWhole(part, 0, 255) : std::nullopt;
        if (!octet)
            return std::nullopt;
        address = address << 8 | quint32(*octet);
    }
    return address;
}

QString hexRows(const QByteArray& bytes)
{
    QStringList rows;
    for (int at = 0; at < bytes.size(); at += 16)
        rows << QString::fromLatin1(bytes.mid(at, 16).toHex(' ').toUpper());
    return rows.join(QLatin1Char('\n'));
}

} // namespace duva::cli
