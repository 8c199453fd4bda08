#include "frota/recordreport.h"

#include "frota/recordmodel.h"

#include <QCoreApplication>
#include <QFile>
#include <QFontMetrics>
#include <QLocale>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace duva::frota
{

namespace
{

// The texts a person reads, translated (translations/duva-frota_*.ts).
class Texts
{
    Q_DECLARE_TR_FUNCTIONS(RecordReport)
};

// The report's columns, as parts of the page's width.
struct ReportColumn {
    int column; // RecordModel::Column
    double width;
};
const ReportColumn columns[] = {
    {RecordModel::Serial, 0.14}, {RecordModel::Before, 0.17}, {RecordModel::After, 0.17},
    {RecordModel::Status, 0.16}, {RecordModel::Time, 0.22},   {RecordModel::Operator, 0.14},
};

} // namespace

bool writeReportPdf(const QString& path, const ReportHeading& heading,
                    const QList<fleet::RecordEntry>& entries, QString* error)
{
    // QPdfWriter says nothing when its file cannot be opened; try it first.
    {
        QFile probe(path);
        if (!probe.open(QIODevice::WriteOnly)) {
            if (error)
                *error = probe.errorString();
            return false;
        }
    }
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    writer.setResolution(300);
    writer.setTitle(Texts::tr("Commissioning report"));
    writer.setCreator(QStringLiteral("Frota DUVA"));
    QPainter painter;
    if (!painter.begin(&writer)) {
        if (error)
            *error = Texts::tr("the PDF could not be started");
        return false;
    }
    const QRect page = painter.viewport();
    QFont body(QStringLiteral("Liberation Sans"), 10);
    QFont title = body;
    title.setPointSize(16);
    title.setBold(true);
    QFont bold = body;
    bold.setBold(true);
    const int line = QFontMetrics(body, &writer).height() * 3 / 2;
    int pageNumber = 1;
    int y = 0;

    const auto footer = [&] {
        painter.setFont(body);
        painter.drawText(QRect(0, page.height() - line, page.width(), line),
                         Qt::AlignRight | Qt::AlignVCenter, Texts::tr("Page %1").arg(pageNumber));
    };
    const auto tableHeader = [&] {
        painter.setFont(bold);
        int x = 0;
        for (const ReportColumn& c : columns) {
            const int w = int(c.width * page.width());
            painter.drawText(QRect(x, y, w, line), Qt::AlignLeft | Qt::AlignVCenter,
                             RecordModel::columnTitle(c.column));
            x += w;
        }
        y += line;
        painter.drawLine(0, y, page.width(), y);
        painter.setFont(body);
    };

    painter.setFont(title);
    const int titleHeight = QFontMetrics(title, &writer).height() * 3 / 2;
    painter.drawText(QRect(0, y, page.width(), titleHeight), Qt::AlignLeft | Qt::AlignVCenter,
                     Texts::tr("Commissioning report"));
    y += titleHeight;
    painter.setFont(body);
    const QList<std::pair<QString, QString>> lines = {
        {Texts::tr("Site:"), heading.site},
        {Texts::tr("Operator:"), heading.operatorName},
        {Texts::tr("Date:"), QLocale().toString(heading.date, QLocale::LongFormat)},
        {Texts::tr("Modules:"), QString::number(entries.size())},
    };
    for (const auto& [label, value] : lines) {
        painter.setFont(bold);
        painter.drawText(QRect(0, y, page.width() / 5, line), Qt::AlignLeft | Qt::AlignVCenter,
                         label);
        painter.setFont(body);
        painter.drawText(QRect(page.width() / 5, y, page.width() * 4 / 5, line),
                         Qt::AlignLeft | Qt::AlignVCenter, value);
        y += line;
    }
    y += line;
    tableHeader();
    for (const fleet::RecordEntry& e : entries) {
        if (y + 2 * line > page.height()) {
            footer();
            writer.newPage();
            ++pageNumber;
            y = 0;
            tableHeader();
        }
        int x = 0;
        for (const ReportColumn& c : columns) {
            const int w = int(c.width * page.width());
            painter.drawText(QRect(x, y, w, line), Qt::AlignLeft | Qt::AlignVCenter,
                             RecordModel::cellText(e, c.column));
            x += w;
        }
        y += line;
    }
    footer();
    if (!painter.end()) {
        if (error)
            *error = Texts::tr("the PDF could not be finished");
        return false;
    }
    return true;
}

} // namespace duva::frota
