// duva-frota: the fleet window.

#include "fleet/replyendpoint.h"
#include "fleet/searchsession.h"
#include "frota/mainwindow.h"
#include "frota/portmessage.h"
#include "i18n/language.h"
#include "net/udpendpoint.h"

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

    frota::WindowParts parts;
    parts.adapters = runningIPv4Interfaces();
    std::unique_ptr<UdpEndpoint> endpoint;
    std::unique_ptr<fleet::SearchSession> session;
    try {
        endpoint = fleet::openReplyEndpoint();
    } catch (const Exception& e) {
        parts.unavailableText = e.message();
    }
    if (endpoint && endpoint->isBound())
        session = std::make_unique<fleet::SearchSession>(*endpoint);
    else if (endpoint)
        parts.unavailableText = frota::portTakenText(fleet::replyPort);
    parts.session = session.get();

    frota::MainWindow window(parts);
    window.show();
    if (!parts.unavailableText.isEmpty())
        QMessageBox::warning(&window, QStringLiteral("Frota DUVA"), parts.unavailableText);
    return app.exec();
}
