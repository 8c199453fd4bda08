#pragma once

#include "frota/writerun.h"

#include <QWidget>
#include <functional>

class QProgressBar;
class QPushButton;

namespace duva::frota
{

// A tab's view of a run of writes: a progress bar, "Cancel", and each write's state handed
// to the tab's table row by row.
class WriteProgress : public QWidget
{
    Q_OBJECT
public:
    // row: the plan's row or the record's entry (from 0) that a write comes from.
    using RowState = std::function<void(int row, WriteState state)>;

    WriteProgress(WriteRun* run, QWidget* parent = nullptr);

    // Runs job on the window's run of writes, showing it here and through rowState.
    WriteRun::Result run(const WriteRun::Job& job, const RowState& rowState);

    QProgressBar* bar() const { return m_bar; }
    QPushButton* cancelButton() const { return m_cancel; }

private:
    WriteRun* m_run;
    QProgressBar* m_bar;
    QPushButton* m_cancel;
};

} // namespace duva::frota
