// duva-frota: the fleet window.

#include "app/console.h"
#include "fleet/replyendpoint.h"
#include "frota/mainwindow.h"
#include "frota/searchsetup.h"
#include "i18n/language.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>
#include <cstdio>

#include "buildinfo.h"

using namespace duva;

namespace
{

const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                    QStringLiteral("Show this text and exit."));
const QCommandLineOption versionOption({QStringLiteral("v"), QStringLiteral("version")},
                                       QStringLiteral("Show the program's version and exit."));

void describe(QCommandLineParser& parser)
{
    parser.setApplicationDescription(QStringLiteral(
        "Frota DUVA, the fleet window: finds every DUVA Ethernet module on the site through\n"
        "one network adapter or all of them, lists them in a table that sorts, filters and\n"
        "exports as CSV, applies a plan in a safe order, and shows a record of writes,\n"
        "exported as CSV, JSON or a printed commissioning report (PDF), whose changes it\n"
        "undoes. It speaks the system's language (English or Brazilian Portuguese) and needs\n"
        "UDP port 5001, as the configurator window and duvactl do.\n"
        "Qt's own options (-platform, -display, -style, ...) are accepted as well."));
    // Qt's one-dash words (-reverse, -stylesheet) must not read as a bundle of -v or -h.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption(helpOption);
    parser.addOption(versionOption);
}

} // namespace

int main(int argc, char* argv[])
{
    // --help and --version answer before any window-system connection is made, so that they
    // work without a display.
    {
        QStringList arguments;
        for (int i = 0; i < argc; ++i)
            arguments << QString::fromLocal8Bit(argv[i]);
        QCommandLineParser early;
        describe(early);
        early.parse(arguments);
        if (early.isSet(helpOption) || early.isSet(versionOption))
            useParentConsole();
        if (early.isSet(helpOption)) {
            // Without a QCoreApplication the parser cannot know the program's name.
            std::fputs(qPrintable(early.helpText().replace(QLatin1String("<executable_name>"),
                                                           QLatin1String("duva-frota"))),
                       stdout);
            return 0;
        }
        if (early.isSet(versionOption)) {
            std::printf("duva-frota %s\n", programVersion);
            return 0;
        }
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("duva-frota"));
    QApplication::setApplicationVersion(QLatin1String(programVersion));
    QGuiApplication::setDesktopFileName(QStringLiteral("br.com.duva.frota"));
    // duvactl's messages that the window shows come from its own translation.
    i18n::installTranslation(QStringLiteral("duvactl"));
    i18n::installTranslation(QStringLiteral("duva-frota"));

    const frota::SearchSetup search = frota::openSearch(fleet::replyPort);
    frota::WindowParts parts;
    parts.adapters = runningIPv4Interfaces();
    parts.session = search.session.get();
    parts.endpoint = search.session ? search.endpoint.get() : nullptr;
    parts.unavailableText = search.unavailableText;

    frota::MainWindow window(parts);
    window.show();
    if (!parts.unavailableText.isEmpty())
        QMessageBox::warning(&window, QStringLiteral("Frota DUVA"), parts.unavailableText);
    return app.exec();
}
