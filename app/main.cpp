#include "app/console.h"
#include "app/mainwindow.h"
#include "buildinfo.h"

#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>
#include <memory>

namespace
{

const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                    QStringLiteral("Show this text and exit."));
const QCommandLineOption versionOption({QStringLiteral("v"), QStringLiteral("version")},
                                       QStringLiteral("Show the program's version and exit."));

void describe(QCommandLineParser& parser)
{
    parser.setApplicationDescription(QStringLiteral(
        "Finds the DUVA Ethernet modules on the local network by UDP broadcast, shows a\n"
        "module's network configuration and writes an edited one back to it. The window is\n"
        "in Portuguese; it sends nothing until the user clicks \"Procurar módulos na rede\".\n"
        "Qt's own options (-platform, -display, -style, ...) are accepted as well."));
    // Qt's one-dash words (-reverse, -stylesheet) must not read as a bundle of -v or -h.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption(helpOption);
    parser.addOption(versionOption);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("duva-configurador"));
    QCoreApplication::setApplicationVersion(QLatin1String(duva::programVersion));

    // --help and --version answer before any window-system connection is made, so that they
    // work without a display. Qt's own options (-platform, -style, ...) are not known yet and
    // are left to the second pass.
    {
        QStringList arguments;
        for (int i = 0; i < argc; ++i)
            arguments << QString::fromLocal8Bit(argv[i]);
        QCommandLineParser early;
        describe(early);
        early.parse(arguments);
        if (early.isSet(helpOption) || early.isSet(versionOption))
            duva::useParentConsole();
        if (early.isSet(helpOption)) {
            // Without a QCoreApplication the parser cannot know the program's name.
            std::fputs(qPrintable(early.helpText().replace(QLatin1String("<executable_name>"),
                                                           QLatin1String("duva-configurador"))),
                       stdout);
            return 0;
        }
        if (early.isSet(versionOption)) {
            std::printf("duva-configurador %s\n", duva::programVersion);
            return 0;
        }
    }

    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QLatin1String(duva::applicationId));
    QCommandLineParser parser;
    describe(parser);
    parser.process(app); // ends the program on an unknown option

    const QString title = duva::applicationTitle(QCoreApplication::applicationFilePath());
    std::unique_ptr<duva::TForm1> window;
    try {
        window = std::make_unique<duva::TForm1>(duva::FormDeps::system(title));
    } catch (const duva::Exception& e) {
        // Without its UDP endpoint the window cannot work: say why and end.
        duva::QtMessagePresenter().error(nullptr, title, duva::errorBoxText(e.message()));
        return 1;
    }
    window->show();
    return app.exec();
}
