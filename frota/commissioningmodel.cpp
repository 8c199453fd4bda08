#include "frota/commissioningmodel.h"

#include <QCoreApplication>
#include <QLocale>

namespace duva::frota
{

int CommissioningModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_modules.size());
}

int CommissioningModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CommissioningModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_modules.size())
        return {};
    const DoneModule& m = m_modules.at(index.row());
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole) {
        switch (index.column()) {
        case Serial:
            return QString::number(m.serialNumber);
        case Address:
            return m.address;
        case Row:
            return m.where;
        case Time:
            return QLocale().toString(m.time.time(), QLocale::LongFormat);
        case Seconds:
            return QLocale().toString(m.seconds, 'f', 1);
        }
    }
    if (role == Qt::TextAlignmentRole && (index.column() == Serial || index.column() == Seconds))
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant CommissioningModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case Serial:
        return QCoreApplication::translate("CommissioningModel", "Serial number");
    case Address:
        return QCoreApplication::translate("CommissioningModel", "Address");
    case Row:
        return QCoreApplication::translate("CommissioningModel", "Plan row");
    case Time:
        return QCoreApplication::translate("CommissioningModel", "Confirmed at");
    case Seconds:
        return QCoreApplication::translate("CommissioningModel", "Seconds");
    }
    return {};
}

void CommissioningModel::append(const DoneModule& module)
{
    beginInsertRows({}, int(m_modules.size()), int(m_modules.size()));
    m_modules << module;
    endInsertRows();
}

void CommissioningModel::clear()
{
    beginResetModel();
    m_modules.clear();
    endResetModel();
}

} // namespace duva::frota
