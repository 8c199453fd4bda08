#include "frota/mainwindow.h"

#include "frota/commissioningtab.h"
#include "frota/modulestab.h"
#include "frota/plantab.h"
#include "frota/recordtab.h"
#include "frota/taborder.h"
#include "frota/writerun.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabWidget>

namespace duva::frota
{

MainWindow::MainWindow(const WindowParts& parts, QWidget* parent)
    : QMainWindow(parent), m_canSearch(parts.session != nullptr), m_tabs(new QTabWidget(this)),
      m_modules(new ModulesTab(parts.adapters, parts.session, parts.unavailableText, this)),
      m_plan(new PlanTab(m_modules->model(), this)), m_record(new RecordTab(this)),
      m_commissioning(new CommissioningTab(parts.adapters, parts.endpoint, parts.session,
                                           parts.unavailableText, this)),
      m_run(new WriteRun(
          parts.endpoint, parts.adapters, [this] { return m_modules->chosenBroadcasts(); }, this))
{
    m_plan->setWriting(m_run, m_record);
    m_record->setWriting(m_run);
    setWindowTitle(QStringLiteral("Frota DUVA"));
    m_tabs->setAccessibleName(QCoreApplication::translate("MainWindow", "Parts of the window"));
    m_tabs->addTab(m_modules, QCoreApplication::translate("MainWindow", "Modules"));
    m_tabs->addTab(m_plan, QCoreApplication::translate("MainWindow", "Plan"));
    m_tabs->addTab(m_commissioning, QCoreApplication::translate("MainWindow", "Commissioning"));
    m_tabs->addTab(m_record, QCoreApplication::translate("MainWindow", "Record"));
    setCentralWidget(m_tabs);
    for (int i = 0; i < m_tabs->count(); ++i)
        tabInLayoutOrder(m_tabs->widget(i));

    QMenu* file = menuBar()->addMenu(QCoreApplication::translate("MainWindow", "&File"));
    QMenu* modules = menuBar()->addMenu(QCoreApplication::translate("MainWindow", "&Modules"));
    modules->addActions(m_modules->tabActions());
    QMenu* plan = menuBar()->addMenu(QCoreApplication::translate("MainWindow", "&Plan"));
    plan->addActions(m_plan->tabActions());
    QMenu* record = menuBar()->addMenu(QCoreApplication::translate("MainWindow", "&Record"));
    record->addActions(m_record->tabActions());
    // A menu entry works from anywhere in the window; within a tab, its own buttons do.
    for (QAction* a : m_modules->tabActions() + m_plan->tabActions() + m_record->tabActions())
        a->setShortcutContext(Qt::WindowShortcut);
    auto* quit = file->addAction(QCoreApplication::translate("MainWindow", "&Quit"), qApp,
                                 &QApplication::closeAllWindows);
    quit->setShortcut(QKeySequence::Quit);

    // Ctrl+1 ... Ctrl+4 open a tab.
    for (int i = 0; i < m_tabs->count(); ++i) {
        auto* go = new QAction(this);
        go->setShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_1 + i)));
        connect(go, &QAction::triggered, this, [this, i] { m_tabs->setCurrentIndex(i); });
        addAction(go);
    }
    // The Modules actions run whatever tab shows: a search started from the menu is seen.
    connect(m_modules, &ModulesTab::searchingChanged, this, [this](bool searching) {
        if (searching)
            m_tabs->setCurrentWidget(m_modules);
    });
    // A commissioning, a search and a run of writes share the reply port's endpoint, and a
    // run's waits turn the event loop: one at a time.
    connect(m_commissioning, &CommissioningTab::runningChanged, this, &MainWindow::updateSenders);
    connect(m_modules, &ModulesTab::searchingChanged, this, [this](bool searching) {
        m_searching = searching;
        updateSenders();
    });
    connect(m_run, &WriteRun::runningChanged, this, [this](bool running) {
        updateSenders();
        if (!running && m_closeWhenDone)
            QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    });
    if (!parts.unavailableText.isEmpty())
        statusBar()->showMessage(parts.unavailableText);
    resize(1100, 650);
}

void MainWindow::updateSenders()
{
    const bool commissioning = m_commissioning->isRunning();
    const bool writing = m_run->isRunning();
    const bool searching = m_searching;
    m_modules->tabActions().first()->setEnabled(m_canSearch && !commissioning && !writing &&
                                                !searching);
    m_commissioning->setBlocked(writing || searching);
    m_plan->setSendingAllowed(m_canSearch && !commissioning && !searching);
    m_record->setSendingAllowed(m_canSearch && !commissioning && !searching);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (!m_run->isRunning())
        return QMainWindow::closeEvent(event);
    // Its waits run inside this window's event loop: it ends first.
    m_closeWhenDone = true;
    m_run->cancel();
    statusBar()->showMessage(
        QCoreApplication::translate("MainWindow", "Closing once the writes under way end…"));
    event->ignore();
}

} // namespace duva::frota
