#include "app/mainwindow.h"

namespace duva {

void TForm1::createControls() {}

} // namespace duva
