#pragma once

#include "fleet/commissioningdriver.h"
#include "fleet/commissioningrecord.h"
#include "fleet/writerecord.h"
#include "net/interfaces.h"

#include <QList>
#include <QString>
#include <QWidget>
#include <memory>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

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

class CommissioningModel;

// Commissioning: fresh modules, plugged in one at a time at their factory address, get the
// plan's rows one after another and are confirmed at their new address, as duvactl commission
// does it, with a record that a later start (of this window or of duvactl) goes on from. A
// large status says what to do; each confirmed module beeps and joins the list of done ones.
class CommissioningTab : public QWidget
{
    Q_OBJECT
public:
    // The endpoint is the one bound to the reply port (null when another program holds it:
    // unavailableText says which); the session searches over it, so a commissioning waits
    // for its search to end.
    CommissioningTab(const QList<NetworkInterface>& adapters, UdpEndpoint* endpoint,
                     fleet::SearchSession* session, const QString& unavailableText,
                     QWidget* parent = nullptr);
    ~CommissioningTab() override;

    // Shorter waits for tests; before start().
    void setTiming(const fleet::CommissionTiming& timing, int quietMs, int totalMs);
    // Called on every beep (a seam for tests); QApplication::beep() by default.
    void setBeep(std::function<void()> beep) { m_beep = std::move(beep); }

    bool isRunning() const;
    // While another part of the window sends, Start is off.
    void setBlocked(bool blocked);
    QLineEdit* addressEdit() const { return m_address; }
    QLineEdit* planEdit() const { return m_plan; }
    QLineEdit* recordEdit() const { return m_record; }
    QPushButton* startButton() const { return m_start; }
    QPushButton* stopButton() const { return m_stop; }
    QLabel* statusLabel() const { return m_status; }
    QLabel* detailLabel() const { return m_detail; }
    CommissioningModel* model() const { return m_model; }

    void start();
    void stop();

signals:
    void statusChanged(const QString& status);
    void runningChanged(bool running);

private:
    void choosePlan();
    void chooseRecord();
    void planChanged(const QString& path);
    void say(const QString& status, const QString& detail = QString());
    void refuse(const QString& why);
    void show(const fleet::CommissionEvent& e);
    bool keep(const fleet::CommissionEvent& e);
    void ended();
    void updateButtons();

    QList<NetworkInterface> m_adapters;
    UdpEndpoint* m_endpoint;
    fleet::SearchSession* m_session;
    QString m_unavailableText;
    fleet::CommissionTiming m_timing;
    int m_quietMs = 500;
    int m_totalMs = 3000;
    std::function<void()> m_beep;

    QLineEdit* m_address;
    QLineEdit* m_plan;
    QLineEdit* m_record;
    QPushButton* m_start;
    QPushButton* m_stop;
    QLabel* m_status;
    QLabel* m_detail;
    QTableView* m_view;
    CommissioningModel* m_model;
    bool m_recordChosen = false; // typed or chosen: a new plan no longer moves it

    // One run
    QString m_at;
    QList<fleet::CommissionRow> m_rows;
    QStringList m_where;
    fleet::RecordContext m_context;
    std::unique_ptr<fleet::WriteRecordFile> m_recordFile;
    std::optional<fleet::CommissioningRecord> m_keeper; // keeps this run's entries in it
    std::unique_ptr<fleet::CommissioningDriver> m_driver;
    int m_resumed = 0;
    int m_confirmed = 0;
    bool m_stopping = false;
    bool m_blocked = false;
};

} // namespace duva::frota
