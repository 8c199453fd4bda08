#pragma once

class QWidget;

namespace duva::frota
{

// Puts the Tab order of a page's controls in the order of its layout: rows top to bottom,
// and within a row left to right, as the eye reads. Qt's own order is the order in which the
// widgets were made, which is not where they are shown.
void tabInLayoutOrder(QWidget* page);

} // namespace duva::frota
