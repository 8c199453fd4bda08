#include "frota/plantab.h"

#include "cli/searchreport.h"
#include "fleet/fields.h"
#include "fleet/plan.h"
#include "fleet/preparedwrites.h"
#include "frota/actionbutton.h"
#include "frota/modulesmodel.h"
#include "frota/plandelegate.h"
#include "frota/planmodel.h"
#include "frota/recordtab.h"
#include "frota/savefile.h"
#include "frota/writeprogress.h"
#include "frota/writerun.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace duva::frota
{

namespace
{

QString planFilter()
{
    return QCoreApplication::translate("PlanTab", "Plans (*.csv *.json);;All files (*)");
}

// The temporary addresses typed (dotted, separated by commas or blanks); false with the
// first word that is not one.
bool parseVia(const QString& text, QList<Ipv4Address>& via, QString& bad)
{
    static const QRegularExpression separators(QStringLiteral("[,;\\s]+"));
    for (const QString& word : text.split(separators, Qt::SkipEmptyParts)) {
        const std::optional<Ipv4Address> address = Ipv4Address::parse(word);
        if (!address) {
            bad = word;
            return false;
        }
        via << *address;
    }
    return true;
}

} // namespace

PlanTab::PlanTab(ModulesModel* found, QWidget* parent)
    : QWidget(parent), m_found(found), m_model(new PlanModel(this)), m_view(new QTableView(this)),
      m_refusals(new QListWidget(this)),
      m_apply(new QPushButton(QCoreApplication::translate("PlanTab", "&Apply"), this)),
      m_status(new QLabel(QCoreApplication::translate("PlanTab", "No plan open."), this)),
      m_via(new QLineEdit(this)),
      m_skipMissing(new QCheckBox(
          QCoreApplication::translate("PlanTab", "S&kip modules that do not answer"), this))
{
    m_open = new QAction(QCoreApplication::translate("PlanTab", "&Open plan..."), this);
    m_fromModules =
        new QAction(QCoreApplication::translate("PlanTab", "Plan from modules &found"), this);
    m_save = new QAction(QCoreApplication::translate("PlanTab", "&Save plan..."), this);
    m_save->setShortcut(QKeySequence::Save);
    for (QAction* a : tabActions()) {
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(a);
    }
    connect(m_open, &QAction::triggered, this, &PlanTab::chooseOpen);
    connect(m_fromModules, &QAction::triggered, this, &PlanTab::startFromModules);
    connect(m_save, &QAction::triggered, this, &PlanTab::chooseSave);

    m_apply->setAccessibleName(QCoreApplication::translate("PlanTab", "Apply"));
    m_apply->setToolTip(QCoreApplication::translate(
        "PlanTab", "Search, then write each module as the plan says, in a safe order"));
    connect(m_apply, &QPushButton::clicked, this, &PlanTab::apply);
    m_via->setAccessibleName(QCoreApplication::translate("PlanTab", "Temporary address"));
    m_via->setAccessibleDescription(QCoreApplication::translate(
        "PlanTab", "A free address through which two modules swap addresses, such as "
                   "10.77.0.200; one for each swap"));
    m_via->setPlaceholderText(QStringLiteral("10.0.0.250"));
    m_skipMissing->setAccessibleName(
        QCoreApplication::translate("PlanTab", "Skip modules that do not answer"));

    m_view->setModel(m_model);
    m_view->setItemDelegate(new PlanDelegate(m_view));
    m_view->setAccessibleName(QCoreApplication::translate("PlanTab", "Plan"));
    m_view->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_view->setTabKeyNavigation(false);
    m_refusals->setAccessibleName(QCoreApplication::translate("PlanTab", "Refused cells"));
    m_refusals->setMaximumHeight(120);
    m_status->setAccessibleName(QCoreApplication::translate("PlanTab", "Plan status"));
    m_status->setFocusPolicy(Qt::TabFocus);
    m_status->setWordWrap(true);
    connect(m_model, &PlanModel::refusalsChanged, this, &PlanTab::listRefusals);
    connect(m_refusals, &QListWidget::currentRowChanged, this, &PlanTab::showRefusal);
    connect(m_refusals, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { showRefusal(m_refusals->row(item)); });

    auto* buttons = new QHBoxLayout;
    for (QAction* a : tabActions())
        buttons->addWidget(buttonFor(a, this));
    buttons->addStretch();
    auto* viaLabel =
        new QLabel(QCoreApplication::translate("PlanTab", "&Temporary address:"), this);
    viaLabel->setBuddy(m_via);
    buttons->addWidget(viaLabel);
    buttons->addWidget(m_via);
    buttons->addWidget(m_skipMissing);
    buttons->addWidget(m_apply);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_refusals);
    layout->addWidget(m_status);
    listRefusals();
    updateApply();
}

void PlanTab::setWriting(WriteRun* run, RecordTab* record)
{
    m_run = run;
    m_record = record;
    m_progress = new WriteProgress(run, this);
    static_cast<QVBoxLayout*>(layout())->insertWidget(layout()->count() - 1, m_progress);
    connect(m_run, &WriteRun::runningChanged, this, &PlanTab::updateApply);
    updateApply();
}

void PlanTab::setSendingAllowed(bool allowed)
{
    m_sendingAllowed = allowed;
    updateApply();
}

void PlanTab::updateApply()
{
    const bool running = m_run && m_run->isRunning();
    m_apply->setEnabled(m_run && !running && m_sendingAllowed);
    // The plan stays as it is being written.
    for (QAction* a : {m_open, m_fromModules})
        a->setEnabled(!running);
    // Typing, F2 or a double click edits; merely reaching a cell does not, so that Tab leaves
    // the table (the arrows move inside it) instead of going from editor to editor for ever.
    m_view->setEditTriggers(running ? QAbstractItemView::NoEditTriggers
                                    : QAbstractItemView::DoubleClicked |
                                          QAbstractItemView::EditKeyPressed |
                                          QAbstractItemView::AnyKeyPressed);
}

void PlanTab::apply()
{
    if (!m_apply->isEnabled())
        return;
    const auto refuse = [this](const QString& why) {
        m_status->setText(why + QLatin1Char('\n') +
                          QCoreApplication::translate("PlanTab", "Nothing was written."));
    };
    if (m_model->rowCount() == 0)
        return refuse(QCoreApplication::translate("PlanTab", "No plan open."));
    if (!m_model->refusals().isEmpty())
        return refuse(QCoreApplication::translate(
                          "PlanTab", "Cells that would be refused: %1. Correct the marked "
                                     "cells first.")
                          .arg(m_model->refusals().size()));
    QList<Ipv4Address> via;
    QString bad;
    if (!parseVia(m_via->text(), via, bad))
        return refuse(QCoreApplication::translate("PlanTab", "Temporary address: '%1' is not an "
                                                             "IPv4 address such as 10.0.0.250.")
                          .arg(bad));
    const fleet::Plan plan = fleet::readPlan(m_model->toCsv(), fleet::PlanFormat::Csv);
    if (!plan.error.isEmpty())
        return refuse(plan.error);
    const QString recordPath = m_record->recordForWrites();
    if (recordPath.isEmpty())
        return refuse(QCoreApplication::translate("PlanTab", "No record of writes chosen."));

    WriteRun::Job job;
    job.command = QStringLiteral("apply");
    job.recordPath = recordPath;
    job.operatorName = m_record->operatorEdit()->text().trimmed();
    job.wanted = cli::everyModuleOf(plan.rows);
    const bool skipMissing = m_skipMissing->isChecked();
    job.prepare = [rows = plan.rows, skipMissing, via](const QList<fleet::FoundModule>& found,
                                                       const QList<NetworkInterface>& interfaces) {
        fleet::ValueChecks checks;
        for (const NetworkInterface& i : interfaces)
            checks.ownAddresses << i.address;
        return fleet::preparePlan(rows, found, skipMissing, checks, via);
    };
    m_model->clearRowStates();
    m_status->setText(QCoreApplication::translate("PlanTab", "Searching for the plan's modules…"));
    const WriteRun::Result result = m_progress->run(
        job, [this](int row, WriteState state) { m_model->setRowState(row, state); });
    m_status->setText(result.message);
    if (result.outcome == WriteRun::Outcome::NotSent)
        m_model->clearRowStates(); // nothing went out: no row waits any more
    if (QFileInfo::exists(recordPath))
        m_record->openRecord(recordPath, nullptr);
}

QList<QAction*> PlanTab::tabActions() const
{
    return {m_open, m_fromModules, m_save};
}

bool PlanTab::openFile(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return false;
    }
    const fleet::Plan plan = fleet::readPlan(file.readAll(), fleet::planFormatOf(path));
    if (!plan.error.isEmpty()) {
        *error = plan.error;
        return false;
    }
    m_model->setPlan(plan);
    m_status->setText(
        QCoreApplication::translate("PlanTab", "Plan %1: %n module(s).", "", m_model->rowCount())
            .arg(QDir::toNativeSeparators(path)));
    return true;
}

bool PlanTab::saveFile(const QString& path, QString* error) const
{
    const QByteArray bytes =
        fleet::planFormatOf(path) == fleet::PlanFormat::Json ? m_model->toJson() : m_model->toCsv();
    return saveBytes(path, bytes, error);
}

void PlanTab::startFromModules()
{
    m_model->setModules(m_found->modules());
    m_status->setText(QCoreApplication::translate(
        "PlanTab", "A plan of the %n module(s) found, with their current values.", "",
        m_model->rowCount()));
}

void PlanTab::chooseOpen()
{
    const QString path = QFileDialog::getOpenFileName(
        this, QCoreApplication::translate("PlanTab", "Open plan"), QString(), planFilter());
    if (path.isEmpty())
        return;
    QString error;
    if (!openFile(path, &error))
        QMessageBox::warning(this, QCoreApplication::translate("PlanTab", "Open plan"),
                             QCoreApplication::translate("PlanTab", "%1 is not opened:\n%2")
                                 .arg(QDir::toNativeSeparators(path), error));
}

void PlanTab::chooseSave()
{
    const QString path =
        QFileDialog::getSaveFileName(this, QCoreApplication::translate("PlanTab", "Save plan"),
                                     QStringLiteral("plan.csv"), planFilter());
    if (path.isEmpty())
        return;
    QString error;
    if (!saveFile(path, &error))
        QMessageBox::warning(this, QCoreApplication::translate("PlanTab", "Save plan"),
                             QCoreApplication::translate("PlanTab", "%1 is not saved: %2")
                                 .arg(QDir::toNativeSeparators(path), error));
}

void PlanTab::listRefusals()
{
    m_refusals->clear();
    for (const PlanModel::Refusal& r : m_model->refusals())
        m_refusals->addItem(r.message);
    m_refusals->setVisible(!m_model->refusals().isEmpty());
}

void PlanTab::showRefusal(int entry)
{
    if (entry < 0 || entry >= m_model->refusals().size())
        return;
    const PlanModel::Refusal& r = m_model->refusals()[entry];
    const QModelIndex index = m_model->index(r.row, r.column);
    m_view->setCurrentIndex(index);
    m_view->scrollTo(index);
}

} // namespace duva::frota
