// duvactl: finds, shows and configures DUVA modules from the command line.

#include "buildinfo.h"
#include "cli/duvactl.h"
#include "i18n/consoletext.h"
#include "i18n/language.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("duvactl"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(duva::programVersion));
    duva::i18n::installTranslation(QStringLiteral("duvactl"));
    const duva::i18n::ConsoleText console;
    QTextStream out(stdout);
    QTextStream err(stderr);
    return duva::cli::runDuvactl(QCoreApplication::arguments().mid(1), out, err);
}
