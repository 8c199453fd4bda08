// duva-frota: the fleet window.

#include "app/startoptions.h"
#include "fleet/replyendpoint.h"
#include "frota/mainwindow.h"
#include "frota/searchsetup.h"
#include "i18n/language.h"

#include <QApplication>
#include <QMessageBox>

#include "buildinfo.h"

using namespace duva;

namespace
{

QString description()
{
    return QStringLiteral(
        "Frota DUVA, the fleet window: finds every DUVA Ethernet module on the site through\n"
        "one network adapter or all of them, lists them in a table that sorts, filters and\n"
        "exports as CSV, applies a plan in a safe order, and shows a record of writes,\n"
        "exported as CSV, JSON or a printed commissioning report (PDF), whose changes it\n"
        "undoes. It speaks the system's language (English or Brazilian Portuguese) and needs\n"
        "UDP port 5001, as the configurator window and duvactl do.\n"
        "Qt's own options (-platform, -display, -style, ...) are accepted as well.");
}

} // namespace

int main(int argc, char* argv[])
{
    if (const std::optional<int> status =
            answerHelpOrVersion(argc, argv, QStringLiteral("duva-frota"), description()))
        return *status;

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
