#pragma once

#include <QCommandLineParser>
#include <QString>
#include <optional>

namespace duva
{

// The options every window program of the package takes: --help and --version, beside Qt's
// own (-platform, -display, -style, ...), under description.
void describeStartOptions(QCommandLineParser& parser, const QString& description);

// Answers --help or --version before any window-system connection is made, so that they work
// without a display, printing to the console the program was started from; Qt's own options
// are not known yet and are left to the application. The exit status when one of them was
// given; nothing otherwise.
std::optional<int> answerHelpOrVersion(int argc, char* argv[], const QString& program,
                                       const QString& description);

} // namespace duva
