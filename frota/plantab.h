#pragma once

#include <QList>
#include <QWidget>

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableView;

namespace duva::frota
{

class ModulesModel;
class PlanModel;
class RecordTab;
class WriteProgress;
class WriteRun;

// The Plan tab: open a plan (CSV or JSON), or start one from the modules found, edit it in
// place and save it. Every cell the command line would refuse is marked and listed below the
// table; choosing an entry selects its cell. "Apply" writes it as duvactl apply does, each
// module kept in the Record tab's record, each row showing its write's state.
class PlanTab : public QWidget
{
    Q_OBJECT
public:
    PlanTab(ModulesModel* found, QWidget* parent = nullptr);

    // Open plan, From modules found, Save plan: for the window's menus.
    QList<QAction*> tabActions() const;

    // False, with error saying why, when the file cannot be read or is not a valid plan.
    bool openFile(const QString& path, QString* error);
    bool saveFile(const QString& path, QString* error) const;
    void startFromModules();

    // Apply writes through run and keeps each module in record's record; without them it is
    // off.
    void setWriting(WriteRun* run, RecordTab* record);
    // Off while something else sends (a search, a commissioning, an undo).
    void setSendingAllowed(bool allowed);
    void apply();

    PlanModel* model() const { return m_model; }
    QTableView* view() const { return m_view; }
    QListWidget* refusalList() const { return m_refusals; }
    QPushButton* applyButton() const { return m_apply; }
    QLabel* statusLabel() const { return m_status; }
    QLineEdit* viaEdit() const { return m_via; }
    QCheckBox* skipMissingBox() const { return m_skipMissing; }
    WriteProgress* progress() const { return m_progress; }

private:
    void chooseOpen();
    void chooseSave();
    void listRefusals();
    void showRefusal(int entry);
    void updateApply();

    ModulesModel* m_found;
    PlanModel* m_model;
    QTableView* m_view;
    QListWidget* m_refusals;
    QPushButton* m_apply;
    QLabel* m_status;
    QLineEdit* m_via;
    QCheckBox* m_skipMissing;
    WriteRun* m_run = nullptr;
    RecordTab* m_record = nullptr;
    WriteProgress* m_progress = nullptr;
    bool m_sendingAllowed = true;
    QAction* m_open;
    QAction* m_fromModules;
    QAction* m_save;
};

} // namespace duva::frota
