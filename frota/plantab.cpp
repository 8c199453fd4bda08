#include "frota/plantab.h"

#include "fleet/plan.h"
#include "frota/actionbutton.h"
#include "frota/modulesmodel.h"
#include "frota/plandelegate.h"
#include "frota/planmodel.h"
#include "frota/savefile.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
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

} // namespace

PlanTab::PlanTab(ModulesModel* found, QWidget* parent)
    : QWidget(parent), m_found(found), m_model(new PlanModel(this)), m_view(new QTableView(this)),
      m_refusals(new QListWidget(this)),
      m_apply(new QPushButton(QCoreApplication::translate("PlanTab", "&Apply"), this)),
      m_status(new QLabel(QCoreApplication::translate("PlanTab", "No plan open."), this))
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

    // Writing a plan from here is not in this version: duvactl apply does it.
    m_apply->setEnabled(false);
    m_apply->setAccessibleName(QCoreApplication::translate("PlanTab", "Apply"));
    m_apply->setToolTip(QCoreApplication::translate(
        "PlanTab", "Save the plan and apply it with duvactl apply; applying from this window "
                   "is coming."));

    m_view->setModel(m_model);
    m_view->setItemDelegate(new PlanDelegate(m_view));
    m_view->setAccessibleName(QCoreApplication::translate("PlanTab", "Plan"));
    m_view->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_view->setEditTriggers(QAbstractItemView::AllEditTriggers);
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
    buttons->addWidget(m_apply);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_refusals);
    layout->addWidget(m_status);
    listRefusals();
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
