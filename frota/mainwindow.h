#pragma once

#include "net/interfaces.h"

#include <QList>
#include <QMainWindow>
#include <QString>

class QTabWidget;

namespace duva
{
class UdpEndpoint;
}

namespace duva::fleet
{
class SearchSession;
}

namespace duva::frota
{

class CommissioningTab;
class ModulesTab;
class PlanTab;
class RecordTab;
class WriteRun;

// What the window is given: it holds no socket and no protocol of its own.
struct WindowParts {
    QList<NetworkInterface> adapters;
    fleet::SearchSession* session = nullptr; // null when the reply port is taken
    QString unavailableText;                 // why searching is off
    UdpEndpoint* endpoint = nullptr;         // the session's, for commissioning
};

// "Frota DUVA": the fleet window, with its tabs Modules, Plan, Commissioning and Record,
// and a menu that holds every tab's actions with their shortcuts.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(const WindowParts& parts, QWidget* parent = nullptr);

    QTabWidget* tabs() const { return m_tabs; }
    ModulesTab* modulesTab() const { return m_modules; }
    PlanTab* planTab() const { return m_plan; }
    RecordTab* recordTab() const { return m_record; }
    CommissioningTab* commissioningTab() const { return m_commissioning; }
    WriteRun* writeRun() const { return m_run; }

protected:
    // Not while writes are out: the run is cancelled, and the window closes once it ends.
    void closeEvent(QCloseEvent* event) override;

private:
    // Whatever sends keeps every other sender off: a search, a commissioning, a run of writes.
    void updateSenders();

    bool m_canSearch;
    bool m_searching = false;
    bool m_closeWhenDone = false;
    QTabWidget* m_tabs;
    ModulesTab* m_modules;
    PlanTab* m_plan;
    RecordTab* m_record;
    CommissioningTab* m_commissioning;
    WriteRun* m_run;
};

} // namespace duva::frota
