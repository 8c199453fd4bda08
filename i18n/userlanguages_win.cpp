// The user's languages on Windows: the display language chosen in Settings.

#include "i18n/language.h"

#include <QLocale>

namespace duva::i18n
{

QStringList userLanguages()
{
    return QLocale::system().uiLanguages();
}

} // namespace duva::i18n
