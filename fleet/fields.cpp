#include "fleet/fields.h"

#include <QCoreApplication>

#include "protocol/cp1252.h"
#include "protocol/ipv4.h"

namespace duva::fleet
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

// What a number field holds, for its message.
const char* numberMeaning(const QString& name)
{
    if (name == QLatin1String("serialNumber"))
        return QT_TRANSLATE_NOOP("Fields", "a serial number");
    if (name == QLatin1String("autoDisconnectTime"))
        return QT_TRANSLATE_NOOP("Fields", "a time value");
    return QT_TRANSLATE_NOOP("Fields", "a port");
}

// Code-page bytes of a text of at most chars characters (exactly, when exact).
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

// The field's bytes that value gives, checked by the field's kind and limits; returns why
// value is refused, empty when taken.
QString fieldBytes(const RecordField& field, const QString& value, QByteArray& out)
{
    switch (field.kind) {
    case FieldKind::Address: {
        const auto a = parseAddress(value);
        if (!a)
            return Texts::tr("is not an IPv4 address: four numbers from 0 to 255 "
                             "joined by dots");
        out = field.bytes(*a);
        return QString();
    }
    case FieldKind::Number: {
        const auto n = parseWhole(value, 0, field.high);
        if (!n)
            return Texts::tr("is not %1: a whole number from 0 to %2")
                .arg(Texts::tr(numberMeaning(field.name)))
                .arg(field.high);
        out = field.bytes(quint32(*n));
        return QString();
    }
    case FieldKind::Flag: {
        const auto on = parseBoolean(value);
        if (!on)
            return Texts::tr("is not a boolean: 1, true, on, sim or verdadeiro; 0, "
                             "false, off, não or falso");
        out = field.bytes(*on ? 1 : 0);
        return QString();
    }
    case FieldKind::Mode:
        if (value != QLatin1String("client") && value != QLatin1String("server"))
            return Texts::tr("is neither client nor server");
        out = field.bytes(value == QLatin1String("client") ? 1 : 0);
        return QString();
    case FieldKind::Text:
        return storeText(value, int(field.high), field.exact, out);
    }
    return QString();
}

} // namespace

QString Field::store(const QString& value, RecordValues& values) const
{
    QByteArray bytes;
    const QString why = fieldBytes(*this, value, bytes);
    if (why.isEmpty())
        values.setField(*this, bytes);
    return why;
}

const QList<Field>& fields()
{
    static const QList<Field> table = [] {
        QList<Field> all;
        for (const RecordField& f : recordFields())
            all.append(Field{f});
        return all;
    }();
    return table;
}

const Field* findField(const QString& name)
{
    // fields() holds the table's fields in the table's order.
    const RecordField* f = findRecordField(name);
    return f ? &fields().at(int(f - recordFields().constData())) : nullptr;
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
    const auto address = Ipv4Address::parse(text);
    return address ? std::optional<quint32>(address->toUInt32()) : std::nullopt;
}

QString hexRows(const QByteArray& bytes)
{
    QStringList rows;
    for (int at = 0; at < bytes.size(); at += 16)
        rows << QString::fromLatin1(bytes.mid(at, 16).toHex(' ').toUpper());
    return rows.join(QLatin1Char('\n'));
}

} // namespace duva::fleet
