#pragma once

#include <QList>
#include <QWidget>

class QAction;
class QLabel;
class QLineEdit;
class QSortFilterProxyModel;
class QTableView;

namespace duva::frota
{

class RecordModel;

// The Record tab: a record of writes opened from its file, its entries in a table, and its
// export as CSV, JSON or a printed commissioning report (PDF) headed by the site name and
// operator typed here.
class RecordTab : public QWidget
{
    Q_OBJECT
public:
    explicit RecordTab(QWidget* parent = nullptr);

    // Open, Export CSV, Export JSON, Export PDF: for the window's menus.
    QList<QAction*> tabActions() const;

    bool openRecord(const QString& path, QString* error);
    bool exportCsv(const QString& path, QString* error) const;
    bool exportJson(const QString& path, QString* error) const;
    bool exportPdf(const QString& path, QString* error) const;

    RecordModel* model() const { return m_model; }
    QTableView* view() const { return m_view; }
    QLineEdit* siteEdit() const { return m_site; }
    QLineEdit* operatorEdit() const { return m_operator; }

private:
    void chooseOpen();
    void chooseExport(const QString& suffix);
    void enableExports();

    RecordModel* m_model;
    QSortFilterProxyModel* m_proxy;
    QTableView* m_view;
    QLineEdit* m_site;
    QLineEdit* m_operator;
    QLabel* m_file;
    QAction* m_open;
    QAction* m_exportCsv;
    QAction* m_exportJson;
    QAction* m_exportPdf;
};

} // namespace duva::frota
