#include "fleet/spreadsheet.h"

#include "protocol/cp1252.h"

#include <QStringDecoder>

namespace duva::fleet
{

namespace
{

bool allDigits(const QString& text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) {
        return c >= QLatin1Char('0') && c <= QLatin1Char('9');
    });
}

// The longest text any field holds (serverHost).
constexpr int longestText = 32;

} // namespace

QString decodeCsvText(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (utf8.hasError())
        text = fromCp1252(bytes); // every byte is a character there
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

bool onlyLostLeadingZeros(const QString& cell, const QString& current)
{
    if (!allDigits(cell) || cell.size() >= current.size() || !current.endsWith(cell))
        return false;
    const QStringView dropped = QStringView(current).left(current.size() - cell.size());
    return std::all_of(dropped.begin(), dropped.end(),
                       [](QChar c) { return c == QLatin1Char('0'); });
}

bool mayHaveLostLeadingZeros(const QString& cell, const std::function<bool(const QString&)>& takes)
{
    if (!allDigits(cell))
        return false;
    for (int zeros = 1; cell.size() + zeros <= longestText; ++zeros) {
        if (takes(QString(zeros, QLatin1Char('0')) + cell))
            return true;
    }
    return false;
}

} // namespace duva::fleet
