#pragma once

class QAction;
class QToolButton;
class QWidget;

namespace duva::frota
{

// A button for an action, showing its text, named for a screen reader by that text without
// its mnemonic's ampersand.
QToolButton* buttonFor(QAction* action, QWidget* parent);

} // namespace duva::frota
