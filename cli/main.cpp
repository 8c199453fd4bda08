// duvactl: finds, shows and configures DUVA modules from the command line.

#include "buildinfo.h"
#include "cli/duvactl.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("duvactl"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(duva::programVersion));
    QTextStream out(stdout);
    QTextStream err(stderr);
    return duva::cli::runDuvactl(QCoreApplication::arguments().mid(1), out, err);
}
