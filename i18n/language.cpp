#include "i18n/language.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QTranslator>

namespace duva::i18n
{

QStringList languagesFromEnvironment(const std::function<QString(const char*)>& variable)
{
    QString locale;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        locale = variable(name);
        if (!locale.isEmpty())
            break;
    }
    // As gettext: the C locale speaks the program's own language, whatever LANGUAGE says.
    if (locale.isEmpty() || locale == QLatin1String("C") || locale == QLatin1String("POSIX") ||
        locale.startsWith(QLatin1String("C.")))
        return {};
    const QStringList preferred = variable("LANGUAGE").split(QLatin1Char(':'), Qt::SkipEmptyParts);
    return preferred.isEmpty() ? QStringList{locale} : preferred;
}

QString translationFor(const QStringList& languages)
{
    if (languages.isEmpty())
        return QString();
    // "pt", "pt_BR.UTF-8", "pt-PT", "pt@euro": the language is what comes before the region.
    const QString first = languages.first();
    const qsizetype end = first.indexOf(QRegularExpression(QStringLiteral("[_.@-]")));
    return first.left(end).compare(QLatin1String("pt"), Qt::CaseInsensitive) == 0
               ? QStringLiteral("pt_BR")
               : QString();
}

QString installTranslation(const QString& program)
{
    const QString language = translationFor(userLanguages());
    if (language.isEmpty())
        return language;
    // The program's file holds Qt's texts that it shows too (the command-line parser's), so
    // that nothing depends on Qt's translations being installed.
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QStringLiteral(":/i18n/%1_%2.qm").arg(program, language)) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return QString();
    }
    return language;
}

} // namespace duva::i18n
