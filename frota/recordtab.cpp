#include "frota/recordtab.h"

#include "cli/searchreport.h"
#include "fleet/preparedwrites.h"
#include "fleet/rollbackwrites.h"
#include "fleet/writerecord.h"
#include "frota/actionbutton.h"
#include "frota/recordmodel.h"
#include "frota/recordreport.h"
#include "frota/savefile.h"
#include "frota/writeprogress.h"
#include "frota/writerun.h"

#include <QAction>
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace duva::frota
{

RecordTab::RecordTab(QWidget* parent)
    : QWidget(parent), m_model(new RecordModel(this)), m_proxy(new QSortFilterProxyModel(this)),
      m_view(new QTableView(this)), m_site(new QLineEdit(this)), m_operator(new QLineEdit(this)),
      m_file(new QLabel(QCoreApplication::translate("RecordTab", "No record open."), this)),
      m_status(new QLabel(this))
{
    m_open = new QAction(QCoreApplication::translate("RecordTab", "&Open record..."), this);
    m_open->setShortcut(QKeySequence::Open);
    m_exportCsv =
        new QAction(QCoreApplication::translate("RecordTab", "Export record as CS&V..."), this);
    m_exportJson =
        new QAction(QCoreApplication::translate("RecordTab", "Export record as &JSON..."), this);
    m_exportPdf =
        new QAction(QCoreApplication::translate("RecordTab", "&Print report (PDF)..."), this);
    m_exportPdf->setShortcut(QKeySequence::Print);
    m_undo = new QAction(QCoreApplication::translate("RecordTab", "&Undo changes..."), this);
    m_undo->setToolTip(QCoreApplication::translate(
        "RecordTab", "Put every module of the record back as it was before its write"));
    for (QAction* a : tabActions()) {
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(a);
    }
    enableExports();

    m_site->setAccessibleName(QCoreApplication::translate("RecordTab", "Site name"));
    m_site->setPlaceholderText(
        QCoreApplication::translate("RecordTab", "Where the modules were commissioned"));
    m_operator->setAccessibleName(QCoreApplication::translate("RecordTab", "Operator"));
    m_file->setAccessibleName(QCoreApplication::translate("RecordTab", "Record file"));
    m_status->setAccessibleName(QCoreApplication::translate("RecordTab", "Undo status"));
    m_status->setFocusPolicy(Qt::TabFocus);
    m_status->setWordWrap(true);
    m_chooseNew = [this] {
        return QFileDialog::getSaveFileName(
            this, QCoreApplication::translate("RecordTab", "Keep the writes in a record"),
            QStringLiteral("registro.json"),
            QCoreApplication::translate("RecordTab", "Records (*.json *.csv)"));
    };
    m_confirm = [this](const QString& text) {
        return QMessageBox::question(this, QCoreApplication::translate("RecordTab", "Undo changes"),
                                     text) == QMessageBox::Yes;
    };

    m_proxy->setSourceModel(m_model);
    m_proxy->setSortRole(RecordModel::SortRole);
    m_view->setModel(m_proxy);
    m_view->setSortingEnabled(true);
    m_view->sortByColumn(RecordModel::Time, Qt::AscendingOrder);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setTabKeyNavigation(false);
    m_view->setAccessibleName(QCoreApplication::translate("RecordTab", "Record entries"));
    m_view->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_view->horizontalHeader()->setStretchLastSection(true);

    auto* top = new QHBoxLayout;
    top->addWidget(buttonFor(m_open, this));
    top->addWidget(m_file, 1);
    top->addWidget(buttonFor(m_undo, this));
    auto* form = new QFormLayout;
    form->addRow(QCoreApplication::translate("RecordTab", "&Site:"), m_site);
    form->addRow(QCoreApplication::translate("RecordTab", "O&perator:"), m_operator);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(buttonFor(m_exportCsv, this));
    bottom->addWidget(buttonFor(m_exportJson, this));
    bottom->addWidget(buttonFor(m_exportPdf, this));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_status);
    layout->addLayout(form);
    layout->addLayout(bottom);

    connect(m_open, &QAction::triggered, this, &RecordTab::chooseOpen);
    connect(m_undo, &QAction::triggered, this, &RecordTab::undo);
    updateUndo();
    connect(m_exportCsv, &QAction::triggered, this,
            [this] { chooseExport(QStringLiteral("csv")); });
    connect(m_exportJson, &QAction::triggered, this,
            [this] { chooseExport(QStringLiteral("json")); });
    connect(m_exportPdf, &QAction::triggered, this,
            [this] { chooseExport(QStringLiteral("pdf")); });
}

QList<QAction*> RecordTab::tabActions() const
{
    return {m_open, m_exportCsv, m_exportJson, m_exportPdf, m_undo};
}

void RecordTab::setWriting(WriteRun* run)
{
    m_run = run;
    m_progress = new WriteProgress(run, this);
    static_cast<QVBoxLayout*>(layout())->insertWidget(2, m_progress);
    connect(m_run, &WriteRun::runningChanged, this, &RecordTab::updateUndo);
    updateUndo();
}

void RecordTab::setSendingAllowed(bool allowed)
{
    m_sendingAllowed = allowed;
    updateUndo();
}

void RecordTab::updateUndo()
{
    const bool running = m_run && m_run->isRunning();
    m_undo->setEnabled(m_run && !running && m_sendingAllowed && m_model->rowCount() > 0);
    // The record shown is the one being written.
    m_open->setEnabled(!running);
}

QString RecordTab::recordForWrites()
{
    if (!m_path.isEmpty())
        return m_path;
    const QString path = m_chooseNew ? m_chooseNew() : QString();
    if (path.isEmpty())
        return path;
    m_path = path;
    m_file->setText(QDir::toNativeSeparators(path));
    return path;
}

void RecordTab::undo()
{
    if (!m_undo->isEnabled())
        return;
    const QList<fleet::RecordEntry> entries = m_model->entries();
    const QList<fleet::PlanRow> wanted = fleet::rollbackWanted(entries);
    if (wanted.isEmpty()) {
        m_status->setText(QCoreApplication::translate(
            "RecordTab", "The record holds no confirmed write: nothing to undo."));
        return;
    }
    WriteRun::Job job;
    job.command = QStringLiteral("rollback");
    job.recordPath = m_path;
    job.operatorName = m_operator->text().trimmed();
    job.wanted = cli::everyModuleOf(wanted);
    job.prepare = [entries](const QList<fleet::FoundModule>& found,
                            const QList<NetworkInterface>& interfaces) {
        QList<Ipv4Address> own;
        for (const NetworkInterface& i : interfaces)
            own << i.address;
        return fleet::prepareRollback(entries, found, own, false, {});
    };
    job.confirm = [this](const fleet::PreparedWrites& p) {
        QStringList lines{
            QCoreApplication::translate("RecordTab", "Put these modules back as they were?")};
        for (const fleet::PlannedWrite& w : p.writes) {
            if (w.request.isEmpty()) {
                lines << QCoreApplication::translate("RecordTab", "%1: already as it was")
                             .arg(w.serialNumber);
                continue;
            }
            for (const QString& change : w.changes)
                lines << QStringLiteral("%1, %2")
                             .arg(w.serialNumber)
                             .arg(QString(change).replace(QStringLiteral(" -> "),
                                                          QStringLiteral(" → ")));
        }
        return m_confirm(lines.join(QLatin1Char('\n')));
    };
    m_model->clearRowStates();
    m_status->setText(
        QCoreApplication::translate("RecordTab", "Searching for the record's modules…"));
    const QString path = m_path;
    QHash<int, WriteState> states; // entry -> its undo's state, shown again once reloaded
    const WriteRun::Result result = m_progress->run(job, [&](int row, WriteState state) {
        states.insert(row, state);
        m_model->setRowState(row, state);
    });
    m_status->setText(result.message);
    if (result.outcome == WriteRun::Outcome::NotSent) {
        m_model->clearRowStates();
        return;
    }
    // The record now holds the undo's entries too; the earlier entries keep their places.
    openRecord(path, nullptr);
    for (auto it = states.cbegin(); it != states.cend(); ++it)
        m_model->setRowState(it.key(), it.value());
}

void RecordTab::enableExports()
{
    const bool any = m_model->rowCount() > 0;
    for (QAction* a : {m_exportCsv, m_exportJson, m_exportPdf})
        a->setEnabled(any);
}

bool RecordTab::openRecord(const QString& path, QString* error)
{
    const fleet::RecordContents contents = fleet::readRecord(path);
    if (!contents.error.isEmpty()) {
        if (error)
            *error = contents.error;
        return false;
    }
    m_model->setEntries(contents.entries);
    m_path = path;
    m_file->setText(QCoreApplication::translate("RecordTab", "%1 (entries: %2)")
                        .arg(QDir::toNativeSeparators(path))
                        .arg(contents.entries.size()));
    // The report names the operator who wrote; the technician may change it.
    if (!contents.entries.isEmpty())
        m_operator->setText(contents.entries.last().context.operatorName);
    enableExports();
    updateUndo();
    return true;
}

bool RecordTab::exportCsv(const QString& path, QString* error) const
{
    return saveBytes(path, fleet::recordText(m_model->entries(), fleet::RecordFormat::Csv), error);
}

bool RecordTab::exportJson(const QString& path, QString* error) const
{
    return saveBytes(path, fleet::recordText(m_model->entries(), fleet::RecordFormat::Json), error);
}

bool RecordTab::exportPdf(const QString& path, QString* error) const
{
    return writeReportPdf(
        path, {m_site->text().trimmed(), m_operator->text().trimmed(), QDate::currentDate()},
        m_model->entries(), error);
}

void RecordTab::chooseOpen()
{
    const QString path = QFileDialog::getOpenFileName(
        this, QCoreApplication::translate("RecordTab", "Open record"), QString(),
        QCoreApplication::translate("RecordTab", "Records (*.json *.csv)"));
    if (path.isEmpty())
        return;
    QString error;
    if (!openRecord(path, &error))
        QMessageBox::warning(this, QCoreApplication::translate("RecordTab", "Open record"),
                             QCoreApplication::translate("RecordTab", "%1 could not be opened: %2")
                                 .arg(QDir::toNativeSeparators(path), error));
}

void RecordTab::chooseExport(const QString& suffix)
{
    const QString filter = suffix == QLatin1String("pdf")
                               ? QCoreApplication::translate("RecordTab", "PDF files (*.pdf)")
                           : suffix == QLatin1String("json")
                               ? QCoreApplication::translate("RecordTab", "JSON files (*.json)")
                               : QCoreApplication::translate("RecordTab", "CSV files (*.csv)");
    const QString path = QFileDialog::getSaveFileName(
        this, QCoreApplication::translate("RecordTab", "Export record"),
        QStringLiteral("registro.%1").arg(suffix), filter);
    if (path.isEmpty())
        return;
    QString error;
    const bool ok = suffix == QLatin1String("pdf")    ? exportPdf(path, &error)
                    : suffix == QLatin1String("json") ? exportJson(path, &error)
                                                      : exportCsv(path, &error);
    if (!ok)
        QMessageBox::warning(this, QCoreApplication::translate("RecordTab", "Export record"),
                             QCoreApplication::translate("RecordTab", "%1 could not be written: %2")
                                 .arg(QDir::toNativeSeparators(path), error));
}

} // namespace duva::frota
