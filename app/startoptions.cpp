#include "app/startoptions.h"

#include "app/console.h"
#include "buildinfo.h"

#include <QStringList>
#include <cstdio>

namespace duva
{

namespace
{

const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                    QStringLiteral("Show this text and exit."));
const QCommandLineOption versionOption({QStringLiteral("v"), QStringLiteral("version")},
                                       QStringLiteral("Show the program's version and exit."));

} // namespace

void describeStartOptions(QCommandLineParser& parser, const QString& description)
{
    parser.setApplicationDescription(description);
    // Qt's one-dash words (-reverse, -stylesheet) must not read as a bundle of -v or -h.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption(helpOption);
    parser.addOption(versionOption);
}

std::optional<int> answerHelpOrVersion(int argc, char* argv[], const QString& program,
                                       const QString& description)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser early;
    describeStartOptions(early, description);
    early.parse(arguments);
    if (!early.isSet(helpOption) && !early.isSet(versionOption))
        return std::nullopt;
    useParentConsole();
    if (early.isSet(helpOption)) {
        // Without a QCoreApplication the parser cannot know the program's name.
        std::fputs(
            qPrintable(early.helpText().replace(QLatin1String("<executable_name>"), program)),
            stdout);
        return 0;
    }
    std::printf("%s %s\n", qPrintable(program), programVersion);
    return 0;
}

} // namespace duva
