#include "frota/planmodel.h"

#include "cli/csv.h"
#include "fleet/fields.h"

#include <QBrush>
#include <QColor>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace duva::frota
{

namespace
{
const QString serialColumn = QStringLiteral("serialNumber");
const QString addressColumn = QStringLiteral("ipAddress");
} // namespace

PlanModel::PlanModel(QObject* parent) : QAbstractTableModel(parent) {}

QStringList PlanModel::columnNames()
{
    static const QStringList names = [] {
        QStringList all{serialColumn};
        for (const fleet::Field& f : fleet::fields())
            if (f.name != serialColumn)
                all << f.name;
        return all;
    }();
    return names;
}

int PlanModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_cells.size());
}

int PlanModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(columnNames().size());
}

QString PlanModel::cellMessage(int row, int column) const
{
    // The table's row r is the saved CSV file's row r + 2, the header being row 1.
    return fleet::planCellRefusal(fleet::planRowName(row + 2), columnNames()[column],
                                  m_cells[row][column]);
}

QVariant PlanModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_cells.size())
        return {};
    const QString& text = m_cells[index.row()][index.column()];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
    case Qt::AccessibleTextRole:
        return text;
    case Qt::BackgroundRole:
        return cellMessage(index.row(), index.column()).isEmpty()
                   ? QVariant()
                   : QVariant(QBrush(QColor(255, 200, 200)));
    case Qt::ToolTipRole:
    case Qt::AccessibleDescriptionRole: {
        const QString message = cellMessage(index.row(), index.column());
        return message.isEmpty() ? QVariant() : QVariant(message);
    }
    default:
        return {};
    }
}

bool PlanModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || index.row() >= m_cells.size())
        return false;
    // Blanks around a cell mean nothing, as in a spreadsheet's plan.
    const QString text = value.toString().trimmed();
    QString& cell = m_cells[index.row()][index.column()];
    if (cell == text)
        return true;
    cell = text;
    emit dataChanged(index, index);
    recheck();
    return true;
}

Qt::ItemFlags PlanModel::flags(const QModelIndex& index) const
{
    return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
}

QVariant PlanModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section < columnNames().size() ? QVariant(columnNames()[section]) : QVariant();
    return rowHeaderText(section + 2,
                         rowState(section)); // the saved file's row, as messages name it
}

void PlanModel::setPlan(const fleet::Plan& plan)
{
    beginResetModel();
    m_states.clear();
    m_cells.clear();
    const QStringList names = columnNames();
    for (const fleet::PlanRow& row : plan.rows) {
        QStringList cells(names.size());
        if (row.serialNumber)
            cells[0] = QString::number(*row.serialNumber);
        if (row.ipAddress)
            cells[names.indexOf(addressColumn)] = row.ipAddress->toString();
        for (const fleet::Change& change : row.changes)
            cells[names.indexOf(change.field)] = change.value;
        m_cells << cells;
    }
    endResetModel();
    recheck();
}

void PlanModel::setModules(const QList<fleet::ModuleReply>& modules)
{
    beginResetModel();
    m_states.clear();
    m_cells.clear();
    const QStringList names = columnNames();
    for (const fleet::ModuleReply& m : modules) {
        QStringList cells;
        for (const QString& name : names)
            cells << fleet::findField(name)->text(m.record);
        m_cells << cells;
    }
    endResetModel();
    recheck();
}

QByteArray PlanModel::toCsv() const
{
    QString text = cli::csvLine(columnNames()) + QLatin1Char('\n');
    for (const QStringList& cells : m_cells)
        text += cli::csvLine(cells) + QLatin1Char('\n');
    return text.toUtf8();
}

QByteArray PlanModel::toJson() const
{
    QJsonArray rows;
    const QStringList names = columnNames();
    for (const QStringList& cells : m_cells) {
        QJsonObject row;
        for (int c = 0; c < names.size(); ++c)
            if (!cells[c].isEmpty())
                row.insert(names[c], cells[c]);
        rows.append(row);
    }
    return QJsonDocument(rows).toJson();
}

void PlanModel::recheck()
{
    QList<Refusal> found;
    for (int r = 0; r < m_cells.size(); ++r)
        for (int c = 0; c < m_cells[r].size(); ++c)
            if (QString message = cellMessage(r, c); !message.isEmpty())
                found.append({r, c, message});
    const bool changed =
        found.size() != m_refusals.size() ||
        !std::equal(found.begin(), found.end(), m_refusals.begin(),
                    [](const Refusal& a, const Refusal& b) {
                        return a.row == b.row && a.column == b.column && a.message == b.message;
                    });
    m_refusals = found;
    if (changed)
        emit refusalsChanged();
}

void PlanModel::setRowState(int row, WriteState state)
{
    m_states.insert(row, state);
    emit headerDataChanged(Qt::Vertical, row, row);
}

void PlanModel::clearRowStates()
{
    m_states.clear();
    if (rowCount() > 0)
        emit headerDataChanged(Qt::Vertical, 0, rowCount() - 1);
}

const WriteState* PlanModel::rowState(int row) const
{
    const auto it = m_states.constFind(row);
    return it == m_states.constEnd() ? nullptr : &it.value();
}

} // namespace duva::frota
