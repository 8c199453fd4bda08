#pragma once

#include <QStringList>
#include <QTextStream>

namespace duva::cli
{

// duvactl without its main(): runs the command line (arguments without the program's name),
// printing results on out and messages on err, and returns the exit status. Needs a
// QCoreApplication, whose event loop it runs while it waits for replies.
int runDuvactl(const QStringList& arguments, QTextStream& out, QTextStream& err);

// --help's text.
QString duvactlHelp();

} // namespace duva::cli
