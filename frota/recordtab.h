#pragma once

#include <QList>
#include <QString>
#include <QWidget>
#include <functional>

class QAction;
class QLabel;
class QLineEdit;
class QSortFilterProxyModel;
class QTableView;

namespace duva::frota
{

class RecordModel;
class WriteProgress;
class WriteRun;

// The Record tab: a record of writes opened from its file, its entries in a table, and its
// export as CSV, JSON or a printed commissioning report (PDF) headed by the site name and
// operator typed here. "Undo" rolls the record back as duvactl rollback does, after a
// confirmation that lists what will change.
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

    // The record open here, empty when none is.
    QString recordPath() const { return m_path; }
    // Where writes from the window are kept: the record open here or, when there is none
    // yet, one chosen now (empty when the user chose none).
    QString recordForWrites();
    // Seams for tests: the choice of a new record's file, and the question before an undo
    // (the text lists what will change; true goes on).
    void setNewRecordChooser(std::function<QString()> choose) { m_chooseNew = std::move(choose); }
    void setConfirm(std::function<bool(const QString& text)> confirm)
    {
        m_confirm = std::move(confirm);
    }

    // Undo writes through run; without it, it is off.
    void setWriting(WriteRun* run);
    // Off while something else sends (a search, a commissioning, an apply).
    void setSendingAllowed(bool allowed);
    void undo();

    RecordModel* model() const { return m_model; }
    QTableView* view() const { return m_view; }
    QLineEdit* siteEdit() const { return m_site; }
    QLineEdit* operatorEdit() const { return m_operator; }
    QLabel* statusLabel() const { return m_status; }
    QAction* undoAction() const { return m_undo; }
    WriteProgress* progress() const { return m_progress; }

private:
    void chooseOpen();
    void chooseExport(const QString& suffix);
    void enableExports();
    void updateUndo();

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
    QAction* m_undo;
    QLabel* m_status;
    QString m_path;
    std::function<QString()> m_chooseNew;
    std::function<bool(const QString&)> m_confirm;
    WriteRun* m_run = nullptr;
    WriteProgress* m_progress = nullptr;
    bool m_sendingAllowed = true;
};

} // namespace duva::frota
