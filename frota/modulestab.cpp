#include "frota/modulestab.h"

#include "fleet/searchsession.h"
#include "frota/actionbutton.h"
#include "frota/adapters.h"
#include "frota/modulesmodel.h"
#include "frota/savefile.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace duva::frota
{

ModulesTab::ModulesTab(const QList<NetworkInterface>& adapters, fleet::SearchSession* session,
                       const QString& unavailableText, QWidget* parent)
    : QWidget(parent), m_session(session), m_adapterList(adapters), m_model(new ModulesModel(this)),
      m_proxy(new QSortFilterProxyModel(this)), m_view(new QTableView(this)),
      m_adapters(new QComboBox(this)), m_filter(new QLineEdit(this)), m_status(new QLabel(this))
{
    m_search = new QAction(QCoreApplication::translate("ModulesTab", "&Search"), this);
    m_search->setShortcut(QKeySequence::Refresh);
    m_search->setToolTip(QCoreApplication::translate(
                             "ModulesTab", "Search for modules through the adapter chosen (%1)")
                             .arg(m_search->shortcut().toString(QKeySequence::NativeText)));
    m_cancel = new QAction(QCoreApplication::translate("ModulesTab", "Cance&l"), this);
    m_cancel->setShortcut(Qt::Key_Escape);
    m_cancel->setEnabled(false);
    m_exportCsv = new QAction(QCoreApplication::translate("ModulesTab", "Export CS&V..."), this);
    m_exportCsv->setShortcut(Qt::CTRL | Qt::Key_E);
    m_exportExcel =
        new QAction(QCoreApplication::translate("ModulesTab", "Export for E&xcel..."), this);
    m_exportExcel->setShortcut(Qt::CTRL | Qt::SHIFT | Qt::Key_E);
    m_findFilter = new QAction(QCoreApplication::translate("ModulesTab", "&Filter"), this);
    m_findFilter->setShortcut(QKeySequence::Find);
    for (QAction* a : tabActions()) {
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(a);
    }

    m_adapters->addItem(QCoreApplication::translate("ModulesTab", "Every adapter"), QString());
    for (const NetworkInterface& a : adapters)
        m_adapters->addItem(adapterLabel(a), a.name);
    m_adapters->setAccessibleName(QCoreApplication::translate("ModulesTab", "Adapter"));
    auto* adapterLabelWidget =
        new QLabel(QCoreApplication::translate("ModulesTab", "&Adapter:"), this);
    adapterLabelWidget->setBuddy(m_adapters);

    m_filter->setPlaceholderText(
        QCoreApplication::translate("ModulesTab", "Filter the modules shown"));
    m_filter->setAccessibleName(QCoreApplication::translate("ModulesTab", "Filter"));
    m_filter->setClearButtonEnabled(true);

    m_proxy->setSourceModel(m_model);
    m_proxy->setSortRole(ModulesModel::SortRole);
    m_proxy->setFilterKeyColumn(-1);
    m_proxy->setFilterCaseSensitivity(Qt::CaseInsensitive);
    m_view->setModel(m_proxy);
    m_view->setSortingEnabled(true);
    m_view->sortByColumn(0, Qt::AscendingOrder);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setTabKeyNavigation(false); // Tab leaves the table, arrows move inside it
    m_view->setAccessibleName(QCoreApplication::translate("ModulesTab", "Modules found"));
    // The columns fit the rows in view once for each burst of replies, and every row once the
    // search is over; the user may widen them. (A header that resizes to contents by itself
    // measures the rows again for each row added: 1,000 modules took 0.4 s to show, where a
    // plain table took 0.06 s.)
    m_fitShown = new QTimer(this);
    m_fitShown->setSingleShot(true);
    m_fitShown->setInterval(0);
    connect(m_fitShown, &QTimer::timeout, this, [this] { fitColumns(true); });
    fitColumns(false);
    m_status->setAccessibleName(QCoreApplication::translate("ModulesTab", "Search status"));

    auto* top = new QHBoxLayout;
    top->addWidget(adapterLabelWidget);
    top->addWidget(m_adapters, 1);
    top->addWidget(buttonFor(m_search, this));
    top->addWidget(buttonFor(m_cancel, this));
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_filter, 1);
    bottom->addWidget(buttonFor(m_exportCsv, this));
    bottom->addWidget(buttonFor(m_exportExcel, this));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_view, 1);
    layout->addLayout(bottom);
    layout->addWidget(m_status);

    connect(m_search, &QAction::triggered, this, &ModulesTab::search);
    connect(m_filter, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_proxy->setFilterFixedString(text);
        showCount();
    });
    connect(m_findFilter, &QAction::triggered, this, [this] {
        m_filter->setFocus();
        m_filter->selectAll();
    });
    connect(m_exportCsv, &QAction::triggered, this, [this] { chooseExport(CsvFlavour::Plain); });
    connect(m_exportExcel, &QAction::triggered, this, [this] { chooseExport(CsvFlavour::Excel); });

    if (!m_session) {
        m_search->setEnabled(false);
        m_status->setText(unavailableText);
        m_status->setWordWrap(true);
        return;
    }
    connect(m_cancel, &QAction::triggered, m_session, &fleet::SearchSession::cancel);
    connect(m_session, &fleet::SearchSession::moduleFound, this, [this](int index) {
        m_model->append(m_session->modules().at(index));
        m_fitShown->start();
        showCount();
    });
    connect(m_session, &fleet::SearchSession::moduleUpdated, this,
            [this](int index) { m_model->update(index, m_session->modules().at(index)); });
    connect(m_session, &fleet::SearchSession::requestSent, this, [this](int requests) {
        m_status->setText(
            QCoreApplication::translate("ModulesTab", "Searching (request %1 of %2)...")
                .arg(requests)
                .arg(m_session->timing().attempts));
    });
    connect(m_session, &fleet::SearchSession::finished, this, &ModulesTab::searchFinished);
}

QList<QAction*> ModulesTab::tabActions() const
{
    return {m_search, m_cancel, m_exportCsv, m_exportExcel, m_findFilter};
}

QList<Ipv4Address> ModulesTab::chosenBroadcasts() const
{
    return searchBroadcasts(m_adapterList, m_adapters->currentData().toString());
}

void ModulesTab::search()
{
    if (!m_session || m_session->isRunning())
        return;
    m_model->clear();
    const QList<Ipv4Address> broadcasts = chosenBroadcasts();
    if (broadcasts.isEmpty()) {
        m_status->setText(QCoreApplication::translate(
            "ModulesTab", "No network: no adapter but loopback is up with an IPv4 address."));
        return;
    }
    if (!m_session->start(broadcasts)) {
        m_status->setText(
            QCoreApplication::translate("ModulesTab", "The search could not be sent: %1")
                .arg(m_session->error()));
        return;
    }
    m_search->setEnabled(false);
    m_cancel->setEnabled(true);
    m_adapters->setEnabled(false);
    emit searchingChanged(true);
}

void ModulesTab::searchFinished()
{
    m_search->setEnabled(true);
    m_cancel->setEnabled(false);
    m_adapters->setEnabled(true);
    m_fitShown->stop();
    fitColumns(false);
    showCount();
    // A request that could not go out after the first ends the search early: say why.
    if (!m_session->error().isEmpty())
        m_status->setText(
            m_status->text() + QLatin1Char(' ') +
            QCoreApplication::translate("ModulesTab", "The search could not be sent: %1")
                .arg(m_session->error()));
    emit searchingChanged(false);
}

void ModulesTab::fitColumns(bool shownRowsOnly)
{
    // 0: the rows in view; 1000, Qt's default: that many rows beyond them.
    m_view->horizontalHeader()->setResizeContentsPrecision(shownRowsOnly ? 0 : 1000);
    m_view->resizeColumnsToContents();
}

void ModulesTab::showCount()
{
    if (m_session && m_session->isRunning())
        return;
    const int all = m_model->rowCount();
    const int shown = m_proxy->rowCount();
    QString text = all == 0 ? QCoreApplication::translate("ModulesTab", "No module answered.")
                   : shown == all
                       ? QCoreApplication::translate("ModulesTab", "Modules found: %1.").arg(all)
                       : QCoreApplication::translate("ModulesTab", "Modules shown: %1 of %2.")
                             .arg(shown)
                             .arg(all);
    if (const int marked = m_model->markedCount())
        text += QLatin1Char(' ') +
                QCoreApplication::translate("ModulesTab",
                                            "Marked, sharing an address or a serial number: %1.")
                    .arg(marked);
    m_status->setText(text);
}

QList<fleet::ModuleReply> ModulesTab::shownModules() const
{
    QList<fleet::ModuleReply> out;
    for (int row = 0; row < m_proxy->rowCount(); ++row)
        out << m_model->modules().at(m_proxy->mapToSource(m_proxy->index(row, 0)).row());
    return out;
}

bool ModulesTab::exportTo(const QString& path, CsvFlavour flavour, QString* error)
{
    return saveBytes(path, modulesCsv(shownModules(), flavour), error);
}

void ModulesTab::chooseExport(CsvFlavour flavour)
{
    const QString path = QFileDialog::getSaveFileName(
        this,
        flavour == CsvFlavour::Excel ? QCoreApplication::translate("ModulesTab", "Export for Excel")
                                     : QCoreApplication::translate("ModulesTab", "Export CSV"),
        QStringLiteral("modulos.csv"),
        QCoreApplication::translate("ModulesTab", "CSV files (*.csv)"));
    if (path.isEmpty())
        return;
    QString error;
    if (exportTo(path, flavour, &error))
        m_status->setText(QCoreApplication::translate("ModulesTab", "Modules exported to %1: %2.")
                              .arg(QDir::toNativeSeparators(path))
                              .arg(m_proxy->rowCount()));
    else
        QMessageBox::warning(
            this, QCoreApplication::translate("ModulesTab", "Export"),
            QCoreApplication::translate("ModulesTab", "%1 could not be written: %2")
                .arg(QDir::toNativeSeparators(path), error));
}

} // namespace duva::frota
