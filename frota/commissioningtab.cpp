#include "frota/commissioningtab.h"

#include "fleet/commissioning.h"
#include "fleet/commissionplan.h"
#include "fleet/fields.h"
#include "fleet/recordfields.h"
#include "fleet/searchsession.h"
#include "frota/adapters.h"
#include "frota/commissioningmodel.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

namespace duva::frota
{

namespace
{

using Kind = fleet::CommissionEvent::Kind;

ModuleRecord written(const fleet::CommissionEvent& e)
{
    return *ModuleRecord::fromBytes(e.request.left(recordSize));
}

// The record beside the plan: plan.csv -> plan-record.json, written the way the system
// writes paths, as the chosen files are (QDir would give C:/ on Windows).
QString recordBeside(const QString& plan)
{
    const QFileInfo info(plan);
    return QDir::toNativeSeparators(
        info.dir().filePath(info.completeBaseName() + QStringLiteral("-record.json")));
}

QList<Ipv4Address> ownAddresses(const QList<NetworkInterface>& adapters)
{
    QList<Ipv4Address> out;
    for (const NetworkInterface& i : adapters)
        out << i.address;
    return out;
}

// Why the plan cannot be used, in the window's words; empty when it may be.
QString unusable(const fleet::CommissionPlan& plan, const QString& path)
{
    using Unusable = fleet::CommissionPlan::Unusable;
    switch (plan.unusable) {
    case Unusable::CannotRead:
        return QCoreApplication::translate("CommissioningPlan", "%1: cannot read: %2")
            .arg(path, plan.reason);
    case Unusable::Malformed:
        return plan.reason;
    case Unusable::NoModule:
        return QCoreApplication::translate("CommissioningPlan", "The plan names no module.");
    case Unusable::No:
        break;
    }
    return (plan.cellRefusals + plan.valueRefusals).join(QLatin1Char('\n'));
}

} // namespace

CommissioningTab::CommissioningTab(const QList<NetworkInterface>& adapters, UdpEndpoint* endpoint,
                                   fleet::SearchSession* session, const QString& unavailableText,
                                   QWidget* parent)
    : QWidget(parent), m_adapters(adapters), m_endpoint(endpoint), m_session(session),
      m_unavailableText(unavailableText), m_beep([] { QApplication::beep(); }),
      m_address(new QLineEdit(QStringLiteral("192.168.0.10"), this)), m_plan(new QLineEdit(this)),
      m_record(new QLineEdit(this)),
      m_start(new QPushButton(QCoreApplication::translate("CommissioningTab", "&Start"), this)),
      m_stop(new QPushButton(QCoreApplication::translate("CommissioningTab", "St&op"), this)),
      m_status(new QLabel(this)), m_detail(new QLabel(this)), m_view(new QTableView(this)),
      m_model(new CommissioningModel(this))
{
    // Four numbers 0-255; parseAddress() has the last word.
    static const QRegularExpression dotted(
        QStringLiteral("^(\\d{1,3})(\\.(\\d{1,3})(\\.(\\d{1,3})(\\.(\\d{1,3}))?)?)?$"));
    m_address->setValidator(new QRegularExpressionValidator(dotted, m_address));
    m_address->setAccessibleName(
        QCoreApplication::translate("CommissioningTab", "Factory address"));
    m_address->setAccessibleDescription(QCoreApplication::translate(
        "CommissioningTab", "The address that fresh modules answer from, such as 192.168.0.10"));
    m_plan->setAccessibleName(QCoreApplication::translate("CommissioningTab", "Plan file"));
    m_plan->setPlaceholderText(
        QCoreApplication::translate("CommissioningTab", "A plan, CSV or JSON"));
    m_record->setAccessibleName(QCoreApplication::translate("CommissioningTab", "Record file"));
    m_record->setPlaceholderText(
        QCoreApplication::translate("CommissioningTab", "Beside the plan"));
    auto* browsePlan =
        new QPushButton(QCoreApplication::translate("CommissioningTab", "&Browse…"), this);
    browsePlan->setAccessibleName(
        QCoreApplication::translate("CommissioningTab", "Choose the plan file"));
    auto* browseRecord =
        new QPushButton(QCoreApplication::translate("CommissioningTab", "Bro&wse…"), this);
    browseRecord->setAccessibleName(
        QCoreApplication::translate("CommissioningTab", "Choose the record file"));
    m_start->setAccessibleName(QCoreApplication::translate("CommissioningTab", "Start"));
    m_stop->setAccessibleName(QCoreApplication::translate("CommissioningTab", "Stop"));

    // Large and plain: read from a step away while plugging modules in.
    QFont big = m_status->font();
    big.setPointSizeF(big.pointSizeF() * 2.2);
    big.setBold(true);
    m_status->setFont(big);
    m_status->setWordWrap(true);
    m_status->setAccessibleName(QCoreApplication::translate("CommissioningTab", "Status"));
    m_detail->setWordWrap(true);
    m_detail->setAccessibleName(QCoreApplication::translate("CommissioningTab", "Details"));

    m_view->setModel(m_model);
    m_view->setAccessibleName(QCoreApplication::translate("CommissioningTab", "Modules done"));
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->horizontalHeader()->setStretchLastSection(true);
    m_view->verticalHeader()->hide();

    auto* form = new QFormLayout;
    auto* addressLabel =
        new QLabel(QCoreApplication::translate("CommissioningTab", "Factory &address:"), this);
    addressLabel->setBuddy(m_address);
    form->addRow(addressLabel, m_address);
    auto* planRow = new QHBoxLayout;
    planRow->addWidget(m_plan, 1);
    planRow->addWidget(browsePlan);
    auto* planLabel = new QLabel(QCoreApplication::translate("CommissioningTab", "Pla&n:"), this);
    planLabel->setBuddy(m_plan);
    form->addRow(planLabel, planRow);
    auto* recordRow = new QHBoxLayout;
    recordRow->addWidget(m_record, 1);
    recordRow->addWidget(browseRecord);
    auto* recordLabel =
        new QLabel(QCoreApplication::translate("CommissioningTab", "Record f&ile:"), this);
    recordLabel->setBuddy(m_record);
    form->addRow(recordLabel, recordRow);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_start);
    buttons->addWidget(m_stop);
    buttons->addStretch(1);
    auto* doneLabel =
        new QLabel(QCoreApplication::translate("CommissioningTab", "Modules &done:"), this);
    doneLabel->setBuddy(m_view);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->addWidget(m_status);
    layout->addWidget(m_detail);
    layout->addWidget(doneLabel);
    layout->addWidget(m_view, 1);

    connect(browsePlan, &QPushButton::clicked, this, &CommissioningTab::choosePlan);
    connect(browseRecord, &QPushButton::clicked, this, &CommissioningTab::chooseRecord);
    connect(m_plan, &QLineEdit::textChanged, this, &CommissioningTab::planChanged);
    connect(m_record, &QLineEdit::textEdited, this, [this] { m_recordChosen = true; });
    connect(m_start, &QPushButton::clicked, this, &CommissioningTab::start);
    connect(m_stop, &QPushButton::clicked, this, &CommissioningTab::stop);
    connect(m_address, &QLineEdit::returnPressed, this, &CommissioningTab::start);

    if (!m_endpoint)
        say(QCoreApplication::translate("CommissioningTab", "Commissioning is off"),
            m_unavailableText);
    else
        say(QCoreApplication::translate("CommissioningTab", "Choose the plan, then Start"));
    updateButtons();
}

CommissioningTab::~CommissioningTab()
{
    // A window closed in the middle keeps the write under way in the record, as Stop does;
    // silently, as the tabs that listen may be gone already.
    blockSignals(true);
    if (isRunning())
        stop();
}

void CommissioningTab::setTiming(const fleet::CommissionTiming& timing, int quietMs, int totalMs)
{
    m_timing = timing;
    m_quietMs = quietMs;
    m_totalMs = totalMs;
}

bool CommissioningTab::isRunning() const
{
    return m_driver && m_driver->isRunning();
}

void CommissioningTab::choosePlan()
{
    const QString path = QFileDialog::getOpenFileName(
        this, QCoreApplication::translate("CommissioningTab", "Choose the plan"), m_plan->text(),
        QCoreApplication::translate("CommissioningTab", "Plans (*.csv *.json);;All files (*)"));
    if (!path.isEmpty())
        m_plan->setText(QDir::toNativeSeparators(path));
}

void CommissioningTab::chooseRecord()
{
    // The record is appended to, never replaced: no question about overwriting it.
    const QString path = QFileDialog::getSaveFileName(
        this, QCoreApplication::translate("CommissioningTab", "Choose the record file"),
        m_record->text(), QCoreApplication::translate("CommissioningTab", "Records (*.json *.csv)"),
        nullptr, QFileDialog::DontConfirmOverwrite);
    if (path.isEmpty())
        return;
    m_record->setText(QDir::toNativeSeparators(path));
    m_recordChosen = true;
}

void CommissioningTab::planChanged(const QString& path)
{
    if (!m_recordChosen)
        m_record->setText(path.isEmpty() ? QString() : recordBeside(path));
}

void CommissioningTab::say(const QString& status, const QString& detail)
{
    m_status->setText(status);
    m_detail->setText(detail);
    emit statusChanged(status);
}

void CommissioningTab::refuse(const QString& why)
{
    say(QCoreApplication::translate("CommissioningTab", "Not started"), why);
}

void CommissioningTab::updateButtons()
{
    const bool running = isRunning();
    m_start->setEnabled(!running && m_endpoint && !m_blocked);
    m_stop->setEnabled(running);
    for (QWidget* w : {static_cast<QWidget*>(m_address), static_cast<QWidget*>(m_plan),
                       static_cast<QWidget*>(m_record)})
        w->setEnabled(!running);
}

void CommissioningTab::setBlocked(bool blocked)
{
    m_blocked = blocked;
    updateButtons();
}

void CommissioningTab::start()
{
    if (isRunning() || !m_endpoint || m_blocked)
        return;
    const auto at = fleet::parseAddress(m_address->text().trimmed());
    if (!at || *at == 0) {
        refuse(QCoreApplication::translate(
            "CommissioningTab",
            "The factory address is four numbers from 0 to 255, such as 192.168.0.10."));
        return;
    }
    const QString planPath = m_plan->text().trimmed();
    if (planPath.isEmpty()) {
        refuse(QCoreApplication::translate("CommissioningTab", "Choose the plan file first."));
        return;
    }
    const QList<Ipv4Address> own = ownAddresses(m_adapters);
    const fleet::CommissionPlan plan = fleet::readCommissionPlan(planPath, own);
    const QString planError = unusable(plan, planPath);
    if (!planError.isEmpty()) {
        refuse(QCoreApplication::translate("CommissioningTab", "%1: %2\nNothing was written.")
                   .arg(planPath, planError));
        return;
    }
    if (m_session && m_session->isRunning()) {
        refuse(QCoreApplication::translate(
            "CommissioningTab", "A search is under way in Modules: start when it ends."));
        return;
    }
    const QList<Ipv4Address> broadcasts = searchBroadcasts(m_adapters);
    if (broadcasts.isEmpty()) {
        refuse(QCoreApplication::translate("CommissioningTab", "No network adapter is connected."));
        return;
    }

    m_driver.reset();
    m_keeper.reset();
    m_recordFile.reset();
    std::map<int, QList<int>> resumed;
    std::map<int, fleet::RecordEntry> unconfirmed;
    const QString recordPath = m_record->text().trimmed();
    if (!recordPath.isEmpty()) {
        auto file = std::make_unique<fleet::WriteRecordFile>(recordPath);
        // Written once now, so that a record that cannot be written stops it before anything
        // is sent.
        if (!file->open() || !file->append(QList<fleet::RecordEntry>{})) {
            refuse(QCoreApplication::translate("CommissioningTab", "%1: %2\nNothing was written.")
                       .arg(recordPath, file->error()));
            return;
        }
        const fleet::RecordContents earlier = fleet::readRecord(recordPath);
        resumed = fleet::confirmedRows(earlier.entries, plan.rows);
        unconfirmed = fleet::unconfirmedRows(earlier.entries, plan.rows);
        m_recordFile = std::move(file);
    }

    m_at = dottedAddress(*at);
    m_rows = plan.rows;
    m_where = plan.where;
    m_resumed = int(resumed.size());
    m_confirmed = 0;
    m_stopping = false;
    QStringList names;
    for (const NetworkInterface& i : std::as_const(m_adapters)) {
        if (!names.contains(i.name))
            names << i.name;
    }
    m_context = fleet::RecordContext::current(QString(), names.join(QStringLiteral(", ")),
                                              QStringLiteral("commission"));
    if (m_recordFile)
        m_keeper.emplace(*m_recordFile, m_rows, m_context);
    fleet::CommissionTiming timing = m_timing;
    // At least one confirming search within a short settle period.
    timing.confirmSearchMs = std::clamp(timing.settleMs / 2, 50, timing.confirmSearchMs);
    m_driver = std::make_unique<fleet::CommissioningDriver>(
        *m_endpoint, *at, m_rows, timing,
        fleet::CommissionSearch{broadcasts, {}, m_quietMs, std::min(1000, m_totalMs), m_totalMs});
    for (const auto& [row, serials] : resumed)
        m_driver->resume(row, serials);
    for (const auto& [row, entry] : unconfirmed)
        m_driver->resumeUnconfirmed(row, *entry.before, fleet::writeRequestHolding(*entry.after),
                                    entry.writesSent);
    m_driver->setCheck([own](const ModuleRecord& before, const ModuleRecord& after) {
        return fleet::commissionRefusal(before, after, own);
    });
    m_driver->setKeep([this](const fleet::CommissionEvent& e) { return keep(e); });
    connect(m_driver.get(), &fleet::CommissioningDriver::event, this, &CommissioningTab::show);
    connect(m_driver.get(), &fleet::CommissioningDriver::ended, this, &CommissioningTab::ended);

    m_model->clear();
    const QString already =
        m_resumed > 0 ? QCoreApplication::translate(
                            "CommissioningTab",
                            "The record shows %n row(s) confirmed already; they are skipped.",
                            nullptr, m_resumed)
                      : QString();
    say(QCoreApplication::translate("CommissioningTab", "Connect the next module"),
        (already + QLatin1Char(' ') +
         QCoreApplication::translate("CommissioningTab", "%n row(s) left.", nullptr,
                                     m_driver->rowsLeft()))
            .trimmed());
    m_driver->start();
    updateButtons();
    emit runningChanged(isRunning());
}

bool CommissioningTab::keep(const fleet::CommissionEvent& e)
{
    if (!m_keeper || m_keeper->keep(e, QDateTime::currentDateTime()))
        return true;
    m_driver->setError(
        QCoreApplication::translate("CommissioningTab",
                                    "%1: the record could not be written: %2; nothing more is sent")
            .arg(m_recordFile->path(), m_recordFile->error()));
    return false;
}

void CommissioningTab::show(const fleet::CommissionEvent& e)
{
    const QString where = e.row >= 0 && e.row < m_where.size() ? m_where.at(e.row) : QString();
    const QString left = QCoreApplication::translate("CommissioningTab", "%n row(s) left.", nullptr,
                                                     m_driver->rowsLeft());
    switch (e.kind) {
    case Kind::Several: {
        QStringList serials;
        for (int s : e.serials)
            serials << QString::number(s);
        say(e.serials.size() == 2
                ? QCoreApplication::translate("CommissioningTab",
                                              "Two modules answer at %1: leave only one connected")
                      .arg(m_at)
                : QCoreApplication::translate("CommissioningTab",
                                              "%1 modules answer at %2: leave only one connected")
                      .arg(e.serials.size())
                      .arg(m_at),
            QCoreApplication::translate(
                "CommissioningTab",
                "Serial numbers %1. Nothing is written while more than one answers.")
                .arg(serials.join(QStringLiteral(", "))));
        break;
    }
    case Kind::NoRow:
        say(QCoreApplication::translate("CommissioningTab", "Connect the next module"),
            QCoreApplication::translate(
                "CommissioningTab", "%1: no row of the plan is left for it; it is left as it is.")
                .arg(e.serialNumber));
        break;
    case Kind::Refused:
        say(QCoreApplication::translate("CommissioningTab", "Connect the next module"),
            QCoreApplication::translate("CommissioningTab", "%1 is not given %2: %3")
                .arg(e.serialNumber)
                .arg(where, e.reason));
        break;
    case Kind::Written:
        say(QCoreApplication::translate("CommissioningTab", "Writing %1 → %2")
                .arg(e.serialNumber)
                .arg(written(e).ipAddressText()),
            e.writesSent == 1 ? where
                              : QCoreApplication::translate("CommissioningTab", "%1, write %2")
                                    .arg(where)
                                    .arg(e.writesSent));
        break;
    case Kind::Confirmed: {
        ++m_confirmed;
        const double seconds = double(e.atMs - e.firstSeenMs) / 1000.0;
        m_model->append({e.serialNumber, written(e).ipAddressText(), where,
                         QDateTime::currentDateTime(), seconds});
        m_view->scrollToBottom();
        m_beep();
        // "Confirmed" stays until the next module answers; the details say what comes next.
        say(QCoreApplication::translate("CommissioningTab", "Confirmed"),
            m_driver->rowsLeft() > 0
                ? QCoreApplication::translate("CommissioningTab",
                                              "%1 at %2. Connect the next module: %3")
                      .arg(e.serialNumber)
                      .arg(written(e).ipAddressText(), left)
                : QCoreApplication::translate("CommissioningTab", "%1 at %2.")
                      .arg(e.serialNumber)
                      .arg(written(e).ipAddressText()));
        break;
    }
    case Kind::NotConfirmed:
        say(QCoreApplication::translate("CommissioningTab", "Not confirmed"),
            QCoreApplication::translate(
                "CommissioningTab",
                "%1 did not show its new address %2; it keeps its row if it answers again at %3.")
                .arg(e.serialNumber)
                .arg(written(e).ipAddressText(), m_at));
        break;
    case Kind::GaveUp:
        say(QCoreApplication::translate("CommissioningTab", "Not confirmed"),
            QCoreApplication::translate(
                "CommissioningTab",
                "%1 was not confirmed after %2 writes; it is not written again, and its row goes "
                "to the next module.")
                .arg(e.serialNumber)
                .arg(e.writesSent));
        break;
    case Kind::Finished:
        break; // said when the run ends
    }
}

void CommissioningTab::ended()
{
    const QString error = m_driver->error();
    if (!error.isEmpty()) {
        say(QCoreApplication::translate("CommissioningTab", "Stopped"), error);
    } else if (m_stopping) {
        QString detail =
            QCoreApplication::translate("CommissioningTab", "%n module(s) confirmed in this run.",
                                        nullptr, m_confirmed) +
            QLatin1Char(' ') +
            QCoreApplication::translate("CommissioningTab", "%n row(s) left.", nullptr,
                                        m_driver->rowsLeft());
        if (m_recordFile)
            detail += QLatin1Char(' ') + QCoreApplication::translate(
                                             "CommissioningTab",
                                             "Start again with the same plan and record to go on.");
        say(QCoreApplication::translate("CommissioningTab", "Stopped"), detail);
    } else if (m_resumed + m_confirmed < m_rows.size()) {
        say(QCoreApplication::translate("CommissioningTab",
                                        "Every row is done, but not every module was confirmed"),
            QCoreApplication::translate("CommissioningTab", "%n module(s) confirmed in this run.",
                                        nullptr, m_confirmed));
    } else {
        say(QCoreApplication::translate("CommissioningTab", "Every module is done"),
            QCoreApplication::translate("CommissioningTab", "%n module(s) confirmed in this run.",
                                        nullptr, m_confirmed));
    }
    // Another run (or duvactl) may take the record now.
    m_keeper.reset();
    m_recordFile.reset();
    updateButtons();
    emit runningChanged(false);
}

void CommissioningTab::stop()
{
    if (!isRunning())
        return;
    m_stopping = true;
    // The write under way is kept, so that a later start confirms it (or sends it again)
    // instead of giving its row to another module.
    if (const auto e = m_driver->outstanding(); e && m_keeper) {
        if (!m_keeper->keepInterrupted(*e, QDateTime::currentDateTime()))
            m_driver->setError(QCoreApplication::translate(
                                   "CommissioningTab", "%1: the record could not be written: %2")
                                   .arg(m_recordFile->path(), m_recordFile->error()));
    }
    m_driver->stop();
}

} // namespace duva::frota
