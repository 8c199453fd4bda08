#pragma once

#include <QAbstractTableModel>
#include <QDateTime>
#include <QList>
#include <QString>

namespace duva::frota
{

// One module that a commissioning confirmed.
struct DoneModule {
    int serialNumber = 0;
    QString address;    // as written and confirmed
    QString where;      // the plan's row
    QDateTime time;     // when it was confirmed
    double seconds = 0; // from its first answer to its confirmation
};

// The modules done, in the order they were confirmed.
class CommissioningModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { Serial, Address, Row, Time, Seconds, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    void append(const DoneModule& module);
    void clear();
    const QList<DoneModule>& modules() const { return m_modules; }

private:
    QList<DoneModule> m_modules;
};

} // namespace duva::frota
