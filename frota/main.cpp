// duva-frota: the fleet window.

#include "fleet/replyendpoint.h"
#include "frota/mainwindow.h"
#include "frota/searchsetup.h"
#include "i18n/language.h"

#include <QApplication>
#include <QMessageBox>

#include "buildinfo.h"

using namespace duva;

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("duva-frota"));
    QApplication::setApplicationDisplayName(QStringLiteral("Frota DUVA"));
    QApplication::setApplicationVersion(QLatin1String(programVersion));
    QGuiApplication::setDesktopFileName(QStringLiteral("br.com.duva.frota"));
    i18n::installTranslation(QStringLiteral("duva-frota"));

    const frota::SearchSetup search = frota::openSearch(fleet::replyPort);
    frota::WindowParts parts;
    parts.adapters = runningIPv4Interfaces();
    parts.session = search.session.get();
    parts.unavailableText = search.unavailableText;

    frota::MainWindow window(parts);
    window.show();
    if (!parts.unavailableText.isEmpty())
        QMessageBox::warning(&window, QStringLiteral("Frota DUVA"), parts.unavailableText);
    return app.exec();
}
