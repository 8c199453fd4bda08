#pragma once

#include "fleet/writerecord.h"
#include "frota/writestate.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QList>

namespace duva::frota
{

// The entries of a record of writes, one row each: time, operator, serial number, the
// address before and after, status, writes sent and why.
class RecordModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { Time, Operator, Serial, Before, After, Status, WritesSent, Reason, Columns };
    static constexpr int SortRole = Qt::UserRole;

    explicit RecordModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    void setEntries(const QList<fleet::RecordEntry>& entries);
    const QList<fleet::RecordEntry>& entries() const { return m_entries; }

    // The cell as the table and the printed report show it.
    static QString cellText(const fleet::RecordEntry& entry, int column);
    static QString columnTitle(int column);
    // The status in the user's language.
    static QString statusText(fleet::EntryStatus status);

    // A write's state for a row, shown in its row header while it is written or undone.
    void setRowState(int row, WriteState state);
    void clearRowStates();
    const WriteState* rowState(int row) const;

private:
    QList<fleet::RecordEntry> m_entries;
    QHash<int, WriteState> m_states;
};

} // namespace duva::frota
