#include "frota/mainwindow.h"

#include "frota/commissioningtab.h"
#include "frota/modulestab.h"
#include "frota/plantab.h"
#include "frota/recordtab.h"
#include "frota/taborder.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabWidget>

namespace duva::frota
{

MainWindow::MainWindow(const WindowParts& parts, QWidget* parent)
    : QMainWindow(parent), m_tabs(new QTabWidget(this)),
      m_modules(new ModulesTab(parts.adapters, parts.session, parts.unavailableText, this)),
      m_plan(new PlanTab(m_modules->model(), this)), m_record(new RecordTab(this)),
      m_commissioning(new CommissioningTab(parts.adapters, parts.endpoint, parts.session,
                                           parts.unavailableText, this))
{
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
    // A commissioning and a search share the reply port's endpoint: no search while it runs.
    const bool canSearch = parts.session != nullptr;
    connect(m_commissioning, &CommissioningTab::runningChanged, this,
            [this, canSearch](bool running) {
                m_modules->tabActions().first()->setEnabled(!running && canSearch);
            });
    if (!parts.unavailableText.isEmpty())
        statusBar()->showMessage(parts.unavailableText);
    resize(1100, 650);
}

} // namespace duva::frota
