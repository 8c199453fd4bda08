#pragma once

#include "fleet/searchsession.h"
#include "frota/duplicates.h"

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

namespace duva::frota
{

// The modules a search found, one row each: a column per field of the record, then the
// address the reply came from and the replies to one request. A row that shares its address
// or serial number with another is marked (background, warning icon) and says why in its
// tooltip. SortRole gives values that sort as numbers and addresses, not as text.
class ModulesModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    static constexpr int SortRole = Qt::UserRole;
    static constexpr int MarkedRole = Qt::UserRole + 1; // bool: shares an address or serial

    explicit ModulesModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    void clear();
    void append(const fleet::ModuleReply& module);
    void update(int row, const fleet::ModuleReply& module);

    const QList<fleet::ModuleReply>& modules() const { return m_modules; }
    int markedCount() const;

    // The column names, as the CSV export writes them.
    static QStringList columnNames();

private:
    // Recomputes these rows' reasons and reports the rows whose reason changed.
    void remark(const QList<int>& rows);

    QList<fleet::ModuleReply> m_modules;
    QStringList m_reasons;
    DuplicateIndex m_duplicates;
    int m_marked = 0;
};

} // namespace duva::frota
