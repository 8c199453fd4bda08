#include "app/mainwindow.h"
#include "app/startoptions.h"
#include "buildinfo.h"

#include <QApplication>
#include <QCommandLineParser>
#include <memory>

namespace
{

QString description()
{
    return QStringLiteral(
        "Finds the DUVA Ethernet modules on the local network by UDP broadcast, shows a\n"
        "module's network configuration and writes an edited one back to it. The window is\n"
        "in Portuguese; it sends nothing until the user clicks \"Procurar módulos na rede\".\n"
        "Qt's own options (-platform, -display, -style, ...) are accepted as well.");
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("duva-configurador"));
    QCoreApplication::setApplicationVersion(QLatin1String(duva::programVersion));

    if (const std::optional<int> status = duva::answerHelpOrVersion(
            argc, argv, QStringLiteral("duva-configurador"), description()))
        return *status;

    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QLatin1String(duva::applicationId));
    QCommandLineParser parser;
    duva::describeStartOptions(parser, description());
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
