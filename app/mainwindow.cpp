#include "app/mainwindow.h"

#include "net/localaddress.h"
#include "protocol/datagrams.h"

#include <QShowEvent>

namespace duva {

FormDeps FormDeps::system(const QString& applicationTitle)
{
    FormDeps deps;
    deps.localAddress = localAddressText;
    deps.presenter = std::make_shared<QtMessagePresenter>();
    deps.timers = qtTimerFactory();
    deps.applicationTitle = applicationTitle;
    return deps;
}

TForm1::TForm1(FormDeps deps, QWidget* parent) : QWidget(parent), m_deps(std::move(deps))
{
    createControls();
    Timer2 = m_deps.timers(4500, false);
    Timer3 = m_deps.timers(1000, false);
    Udp1 = new UdpEndpoint(this);
    if (m_deps.resolver)
        Udp1->setHostResolver(m_deps.resolver);
    Udp1->setRemotePort(modulePort);
    Udp1->setLocalPort(localUdpPort);
    Udp1->setReportLevel(1);
    bindEvents();
    // Once the form is complete the endpoint binds again; on a socket that is already bound
    // this only renews the read notifications.
    Udp1->bindLocal();
}

TForm1::~TForm1() = default;

void TForm1::bindEvents() {}
void TForm1::showEvent(QShowEvent* event) { QWidget::showEvent(event); }
bool TForm1::eventFilter(QObject* watched, QEvent* event) { return QWidget::eventFilter(watched, event); }
int TForm1::outerWidth() const { return frameGeometry().width(); }

} // namespace duva
