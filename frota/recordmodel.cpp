#include "frota/recordmodel.h"

#include <QCoreApplication>
#include <QLocale>

namespace duva::frota
{

RecordModel::RecordModel(QObject* parent) : QAbstractTableModel(parent) {}

int RecordModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

int RecordModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : Columns;
}

QString RecordModel::statusText(fleet::EntryStatus status)
{
    switch (status) {
    case fleet::EntryStatus::Confirmed:
        return QCoreApplication::translate("RecordModel", "confirmed");
    case fleet::EntryStatus::NotConfirmed:
        return QCoreApplication::translate("RecordModel", "not confirmed");
    case fleet::EntryStatus::Refused:
        return QCoreApplication::translate("RecordModel", "refused");
    case fleet::EntryStatus::Skipped:
        return QCoreApplication::translate("RecordModel", "skipped");
    }
    return {};
}

QString RecordModel::cellText(const fleet::RecordEntry& e, int column)
{
    switch (column) {
    case Time:
        // In the computer's own time zone, as the technician's watch shows it.
        return QLocale().toString(e.time.toLocalTime(), QLocale::ShortFormat);
    case Operator:
        return e.context.operatorName;
    case Serial:
        return QString::number(e.serialNumber);
    case Before:
        return e.before ? e.before->ipAddressText() : QString();
    case After:
        return e.after ? e.after->ipAddressText() : QString();
    case Status:
        return statusText(e.status);
    case WritesSent:
        return QString::number(e.writesSent);
    case Reason:
        return e.reason;
    default:
        return {};
    }
}

QString RecordModel::columnTitle(int column)
{
    switch (column) {
    case Time:
        return QCoreApplication::translate("RecordModel", "Time");
    case Operator:
        return QCoreApplication::translate("RecordModel", "Operator");
    case Serial:
        return QCoreApplication::translate("RecordModel", "Serial number");
    case Before:
        return QCoreApplication::translate("RecordModel", "Address before");
    case After:
        return QCoreApplication::translate("RecordModel", "Address after");
    case Status:
        return QCoreApplication::translate("RecordModel", "Status");
    case WritesSent:
        return QCoreApplication::translate("RecordModel", "Writes sent");
    case Reason:
        return QCoreApplication::translate("RecordModel", "Reason");
    default:
        return {};
    }
}

QVariant RecordModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_entries.size())
        return {};
    const fleet::RecordEntry& e = m_entries[index.row()];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return cellText(e, index.column());
    case SortRole:
        switch (index.column()) {
        case Time:
            return e.time;
        case Serial:
            return e.serialNumber;
        case WritesSent:
            return e.writesSent;
        default:
            return cellText(e, index.column());
        }
    case Qt::ToolTipRole:
        return e.reason.isEmpty() ? QVariant() : QVariant(e.reason);
    default:
        return {};
    }
}

QVariant RecordModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    return orientation == Qt::Horizontal ? QVariant(columnTitle(section))
                                         : QVariant(rowHeaderText(section + 1, rowState(section)));
}

void RecordModel::setEntries(const QList<fleet::RecordEntry>& entries)
{
    beginResetModel();
    m_states.clear();
    m_entries = entries;
    endResetModel();
}

void RecordModel::setRowState(int row, WriteState state)
{
    m_states.insert(row, state);
    emit headerDataChanged(Qt::Vertical, row, row);
}

void RecordModel::clearRowStates()
{
    m_states.clear();
    if (rowCount() > 0)
        emit headerDataChanged(Qt::Vertical, 0, rowCount() - 1);
}

const WriteState* RecordModel::rowState(int row) const
{
    const auto it = m_states.constFind(row);
    return it == m_states.constEnd() ? nullptr : &it.value();
}

} // namespace duva::frota
