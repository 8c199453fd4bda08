#include "frota/modulesmodel.h"

#include "fleet/recordfields.h"
#include "frota/duplicates.h"

#include <QApplication>
#include <QBrush>
#include <QColor>
#include <QCoreApplication>
#include <QIcon>
#include <QStyle>

namespace duva::frota
{

namespace
{

const QList<fleet::FieldDescription>& fields()
{
    return fleet::fieldDescriptions();
}

const int fromColumn = int(fleet::fieldDescriptions().size());
const int repliesColumn = fromColumn + 1;

quint32 addressAt(const ModuleRecord& record, int at)
{
    quint32 a = 0;
    for (int i = 0; i < 4; ++i)
        a = a << 8 | record.byte(at + i);
    return a;
}

quint32 addressOf(const QString& dotted)
{
    quint32 a = 0;
    for (const QString& part : dotted.split(QLatin1Char('.')))
        a = a << 8 | part.toUInt();
    return a;
}

} // namespace

ModulesModel::ModulesModel(QObject* parent) : QAbstractTableModel(parent) {}

QStringList ModulesModel::columnNames()
{
    QStringList names;
    for (const fleet::FieldDescription& f : fields())
        names << f.name;
    return names << QStringLiteral("from") << QStringLiteral("replies");
}

int ModulesModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_modules.size());
}

int ModulesModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : repliesColumn + 1;
}

QVariant ModulesModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_modules.size())
        return {};
    const fleet::ModuleReply& m = m_modules[index.row()];
    const QString& reason = m_reasons[index.row()];
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        if (column == fromColumn)
            return m.from;
        if (column == repliesColumn)
            return QString::number(m.replies);
        {
            const QString text = fields()[column].text(m.record);
            // A mode byte that is neither client (1) nor server (0).
            if (text.isEmpty() && fields()[column].kind == fleet::FieldKind::Mode)
                return QCoreApplication::translate("ModulesModel", "neither");
            return text;
        }
    case SortRole:
        if (column == fromColumn)
            return addressOf(m.from);
        if (column == repliesColumn)
            return m.replies;
        switch (fields()[column].kind) {
        case fleet::FieldKind::Address:
            return addressAt(m.record, fields()[column].offset);
        case fleet::FieldKind::Number:
            return fields()[column].json(m.record).toInteger();
        default:
            return fields()[column].text(m.record);
        }
    case MarkedRole:
        return !reason.isEmpty();
    case Qt::ToolTipRole:
        return reason.isEmpty() ? QVariant() : QVariant(reason);
    case Qt::BackgroundRole:
        return reason.isEmpty() ? QVariant() : QVariant(QBrush(QColor(255, 224, 178)));
    case Qt::ForegroundRole:
        return reason.isEmpty() ? QVariant() : QVariant(QBrush(Qt::black));
    case Qt::DecorationRole:
        if (column == 0 && !reason.isEmpty() && qobject_cast<QApplication*>(qApp))
            return QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
        return {};
    case Qt::TextAlignmentRole:
        return column == repliesColumn ||
                       (column < fromColumn && fields()[column].kind == fleet::FieldKind::Number)
                   ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter))
                   : QVariant();
    default:
        return {};
    }
}

QVariant ModulesModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical)
        return role == Qt::DisplayRole ? QVariant(section + 1) : QVariant();
    if (role != Qt::DisplayRole || section < 0 || section > repliesColumn)
        return {};
    return columnNames().at(section);
}

void ModulesModel::clear()
{
    beginResetModel();
    m_modules.clear();
    m_reasons.clear();
    m_duplicates.clear();
    m_marked = 0;
    endResetModel();
}

void ModulesModel::append(const fleet::ModuleReply& module)
{
    const int row = int(m_modules.size());
    beginInsertRows({}, row, row);
    m_modules.append(module);
    m_reasons.append(QString());
    endInsertRows();
    remark(m_duplicates.add(m_modules, row));
}

void ModulesModel::update(int row, const fleet::ModuleReply& module)
{
    if (row < 0 || row >= m_modules.size())
        return;
    QList<int> touched = m_duplicates.remove(m_modules, row);
    m_modules[row] = module;
    for (const int r : m_duplicates.add(m_modules, row))
        if (!touched.contains(r))
            touched << r;
    emit dataChanged(index(row, 0), index(row, repliesColumn));
    remark(touched);
}

int ModulesModel::markedCount() const
{
    return m_marked;
}

void ModulesModel::remark(const QList<int>& rows)
{
    for (const int row : rows) {
        const QString reason = m_duplicates.reason(m_modules, row);
        if (reason != m_reasons[row]) {
            m_marked += int(!reason.isEmpty()) - int(!m_reasons[row].isEmpty());
            m_reasons[row] = reason;
            emit dataChanged(index(row, 0), index(row, repliesColumn));
        }
    }
}

} // namespace duva::frota
