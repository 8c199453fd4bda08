#pragma once

#include <QString>

namespace duva::frota
{

// Where one module's write stands during an apply or an undo, as its row shows it.
enum class WriteState { Waiting, Unchanged, Written, Confirmed, NotConfirmed, Skipped };

// The state in the user's language: "waiting", "written", "confirmed"...
QString writeStateText(WriteState state);

// A table's row header, the number it shows followed by the row's state: "3 · confirmed".
QString rowHeaderText(int number, const WriteState* state);

} // namespace duva::frota
