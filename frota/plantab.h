#pragma once

#include <QList>
#include <QWidget>

class QAction;
class QLabel;
class QListWidget;
class QPushButton;
class QTableView;

namespace duva::frota
{

class ModulesModel;
class PlanModel;

// The Plan tab: open a plan (CSV or JSON), or start one from the modules found, edit it in
// place and save it. Every cell the command line would refuse is marked and listed below the
// table; choosing an entry selects its cell.
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

    PlanModel* model() const { return m_model; }
    QTableView* view() const { return m_view; }
    QListWidget* refusalList() const { return m_refusals; }
    QPushButton* applyButton() const { return m_apply; }
    QLabel* statusLabel() const { return m_status; }

private:
    void chooseOpen();
    void chooseSave();
    void listRefusals();
    void showRefusal(int entry);

    ModulesModel* m_found;
    PlanModel* m_model;
    QTableView* m_view;
    QListWidget* m_refusals;
    QPushButton* m_apply;
    QLabel* m_status;
    QAction* m_open;
    QAction* m_fromModules;
    QAction* m_save;
};

} // namespace duva::frota
