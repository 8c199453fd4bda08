#pragma once

#include "frota/modulesexport.h"
#include "net/interfaces.h"

#include <QList>
#include <QWidget>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QSortFilterProxyModel;
class QTableView;
class QTimer;

namespace duva::fleet
{
class SearchSession;
}

namespace duva::frota
{

class ModulesModel;

// The Modules tab: search every adapter or one, the modules found in a sortable table with
// a filter, and their export as CSV.
class ModulesTab : public QWidget
{
    Q_OBJECT
public:
    // session is null when the reply port is taken: then searching is off and
    // unavailableText says why.
    ModulesTab(const QList<NetworkInterface>& adapters, fleet::SearchSession* session,
               const QString& unavailableText, QWidget* parent = nullptr);

    // Search (F5), Cancel, Export CSV, Export for Excel, Filter: for the window's menus.
    QList<QAction*> tabActions() const;

    // Starts a search through the adapter chosen; the table fills as replies arrive.
    void search();
    bool exportTo(const QString& path, CsvFlavour flavour, QString* error);

    ModulesModel* model() const { return m_model; }
    QSortFilterProxyModel* proxy() const { return m_proxy; }
    QTableView* view() const { return m_view; }
    QComboBox* adapterBox() const { return m_adapters; }
    // Where a search goes with the adapter chosen now (host order).
    QList<Ipv4Address> chosenBroadcasts() const;
    QLineEdit* filterEdit() const { return m_filter; }
    QLabel* statusLabel() const { return m_status; }

signals:
    void searchingChanged(bool searching);

private:
    void searchFinished();
    void chooseExport(CsvFlavour flavour);
    void showCount();
    // Widens the columns to their contents: of the rows in view, or of every row.
    void fitColumns(bool shownRowsOnly);
    // The modules in the order and with the filter the table shows.
    QList<fleet::ModuleReply> shownModules() const;

    fleet::SearchSession* m_session;
    QList<NetworkInterface> m_adapterList;
    ModulesModel* m_model;
    QSortFilterProxyModel* m_proxy;
    QTableView* m_view;
    QComboBox* m_adapters;
    QLineEdit* m_filter;
    QLabel* m_status;
    QAction* m_search;
    QAction* m_cancel;
    QAction* m_exportCsv;
    QAction* m_exportExcel;
    QAction* m_findFilter;
    QTimer* m_fitShown;
};

} // namespace duva::frota
