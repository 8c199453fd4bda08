#include "bench/windows.h"

#include "bench/harness/eventloop.h"
#include "protocol/datagrams.h"

#include <QNetworkDatagram>
#include <cstdio>

namespace duva::bench
{

void NullPresenter::error(QWidget*, const QString&, const QString& text)
{
    std::fprintf(stderr, "duva-bench: the window reported: %s\n", qPrintable(text));
}

std::unique_ptr<TForm1> makeWindow()
{
    FormDeps deps = FormDeps::system(QStringLiteral("duva-bench"));
    deps.localAddress = [] { return QStringLiteral("127.0.0.1"); };
    deps.presenter = std::make_shared<NullPresenter>();
    auto window = std::make_unique<TForm1>(deps);
    window->Udp1->setLocalPort(0);
    window->show();
    runFor(50);
    return window;
}

BareReceiver::BareReceiver()
{
    window.resize(400, 500);
    list = new QListWidget(&window);
    list->setGeometry(10, 10, 200, 450);
    socket.bind(QHostAddress::LocalHost, 0);
    QObject::connect(&socket, &QUdpSocket::readyRead, [this] {
        while (socket.hasPendingDatagrams()) {
            const QByteArray d = socket.receiveDatagram().data();
            if (d.size() != recordSize || accepted >= TForm1::slotCount)
                continue;
            ++accepted;
            list->addItem(ModuleRecord::fromBytes(d)->ipAddressText());
        }
    });
    window.show();
    runFor(50);
}

void BareReceiver::clear()
{
    list->clear();
    accepted = 0;
}

} // namespace duva::bench
