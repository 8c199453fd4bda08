#pragma once

#include "fleet/writerecord.h"

#include <QDate>
#include <QList>
#include <QString>

namespace duva::frota
{

// What heads the printed report.
struct ReportHeading {
    QString site;         // as the technician typed it
    QString operatorName; // who commissioned the modules
    QDate date;
};

// Writes a commissioning report to hand over: the heading, then a table of the modules
// (serial number, address before and after, status, time), on as many A4 pages as it
// takes, each page numbered. False, with error saying why, when the file cannot be written.
bool writeReportPdf(const QString& path, const ReportHeading& heading,
                    const QList<fleet::RecordEntry>& entries, QString* error);

} // namespace duva::frota
