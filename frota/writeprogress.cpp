#include "frota/writeprogress.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QPushButton>

namespace duva::frota
{

WriteProgress::WriteProgress(WriteRun* run, QWidget* parent)
    : QWidget(parent), m_run(run), m_bar(new QProgressBar(this)),
      m_cancel(new QPushButton(QCoreApplication::translate("WriteProgress", "&Cancel"), this))
{
    m_bar->setAccessibleName(QCoreApplication::translate("WriteProgress", "Writes confirmed"));
    m_bar->setFormat(QCoreApplication::translate("WriteProgress", "%v of %m"));
    m_bar->setValue(0);
    m_cancel->setAccessibleName(QCoreApplication::translate("WriteProgress", "Cancel"));
    m_cancel->setToolTip(QCoreApplication::translate(
        "WriteProgress", "Stop before the next write; the writes already out are said"));
    m_cancel->setEnabled(false);
    connect(m_cancel, &QPushButton::clicked, m_run, &WriteRun::cancel);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_bar, 1);
    layout->addWidget(m_cancel);
}

WriteRun::Result WriteProgress::run(const WriteRun::Job& job, const RowState& rowState)
{
    QList<int> rowOf; // write -> its row
    QList<QMetaObject::Connection> links;
    links << connect(m_run, &WriteRun::prepared, this, [&](const fleet::PreparedWrites& p) {
        rowOf.clear();
        for (const fleet::PlannedWrite& w : p.writes) {
            const int row = p.rowNumbers.value(w.row.where, 0) - 1;
            rowOf << row;
            if (row >= 0)
                rowState(row, w.request.isEmpty() ? WriteState::Unchanged : WriteState::Waiting);
        }
        for (const fleet::RecordEntry& e : p.notWritten) {
            if (e.planRow > 0)
                rowState(e.planRow - 1, WriteState::Skipped);
        }
    });
    links << connect(m_run, &WriteRun::stateChanged, this, [&](int write, WriteState state) {
        if (write < rowOf.size() && rowOf[write] >= 0)
            rowState(rowOf[write], state);
    });
    links << connect(m_run, &WriteRun::progress, this, [this](int done, int total) {
        m_bar->setRange(0, std::max(total, 1));
        m_bar->setValue(done);
    });
    m_bar->setRange(0, 0); // searching: busy until the writes are known
    m_cancel->setEnabled(true);
    const WriteRun::Result result = m_run->run(job);
    m_cancel->setEnabled(false);
    if (m_bar->maximum() == 0)
        m_bar->setRange(0, 1);
    for (const QMetaObject::Connection& c : links)
        disconnect(c);
    return result;
}

} // namespace duva::frota
