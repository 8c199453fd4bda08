#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace duva::i18n
{

// The languages the user reads, most preferred first ("pt_BR.UTF-8", "pt-BR", "en"...), as the
// platform tells them: the locale's variables on Linux, the display language on Windows. One
// file per platform.
QStringList userLanguages();

// The languages gettext would choose from the locale's variables (read through variable):
// LC_ALL, LC_MESSAGES or LANG, the first that is set, names the locale; LANGUAGE, a list
// separated by colons, comes before it unless the locale is C or POSIX, which is English.
QStringList languagesFromEnvironment(const std::function<QString(const char*)>& variable);

// The translation for a user whose first language is this one: "pt_BR" for any Portuguese,
// none (English, the texts' own language) for every other.
QString translationFor(const QStringList& languages);

// Installs the translation of program (its :/i18n/<program>_<language>.qm, built in) for the
// user's language, and Qt's own texts that the program shows (the command-line parser's) with
// it. Returns the language installed, empty for English. Needs a QCoreApplication.
QString installTranslation(const QString& program);

} // namespace duva::i18n
