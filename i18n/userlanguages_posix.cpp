// The user's languages on Linux: the locale's variables, read as gettext reads them.

#include "i18n/language.h"

namespace duva::i18n
{

QStringList userLanguages()
{
    return languagesFromEnvironment([](const char* name) { return qEnvironmentVariable(name); });
}

} // namespace duva::i18n
