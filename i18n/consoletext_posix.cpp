// A terminal on Linux reads the locale's encoding, UTF-8: nothing to do.

#include "i18n/consoletext.h"

namespace duva::i18n
{

ConsoleText::ConsoleText() = default;
ConsoleText::~ConsoleText() = default;

} // namespace duva::i18n
