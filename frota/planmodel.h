#pragma once

#include "fleet/plan.h"
#include "fleet/searchsession.h"

#include "frota/writestate.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QStringList>

namespace duva::frota
{

// A plan being edited: one row per module, a column per field (serialNumber first, then the
// record's fields), each cell the text the plan gives; an empty cell changes nothing. A cell
// that duvactl apply would refuse is marked (background, tooltip) with the command line's
// message, at once, and is listed by refusals().
class PlanModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    struct Refusal {
        int row;
        int column;
        QString message;
    };

    explicit PlanModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // The plan's rows as readPlan read them, in place of the table's.
    void setPlan(const fleet::Plan& plan);
    // A plan that keeps the modules as they are: their serial numbers and current values.
    void setModules(const QList<fleet::ModuleReply>& modules);
    // The table as a plan file, which readPlan reads back to the same rows.
    QByteArray toCsv() const;
    QByteArray toJson() const;

    const QList<Refusal>& refusals() const { return m_refusals; }
    static QStringList columnNames();

    // A write's state for a row, shown in its row header while it is written or undone.
    void setRowState(int row, WriteState state);
    void clearRowStates();
    const WriteState* rowState(int row) const;

signals:
    void refusalsChanged();

private:
    void recheck();
    QString cellMessage(int row, int column) const;

    QList<QStringList> m_cells;
    QList<Refusal> m_refusals;
    QHash<int, WriteState> m_states;
};

} // namespace duva::frota
