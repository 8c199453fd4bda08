#include "windowfixture.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QNetworkProxy>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <limits>

namespace duva::test {

class ManualClock::Timer : public WindowTimer {
public:
    Timer(ManualClock& clock, int interval, bool enabled)
        : WindowTimer(interval, enabled), m_clock(clock)
    {
        m_clock.m_timers.push_back(this);
        if (enabled)
            restart();
    }
    ~Timer() override
    {
        auto& timers = m_clock.m_timers;
        timers.erase(std::remove(timers.begin(), timers.end(), this), timers.end());
    }
    void restart() override { m_due = m_clock.m_now + interval(); }
    void stop() override { m_due = -1; }
    int due() const { return m_due; }
    void expire()
    {
        m_due = m_clock.m_now + interval(); // the next expiry, unless the handler changes it
        fire();
    }

private:
    ManualClock& m_clock;
    int m_due = -1;
};

TimerFactory ManualClock::factory()
{
    return [this](int interval, bool enabled) -> std::unique_ptr<WindowTimer> {
        return std::make_unique<Timer>(*this, interval, enabled);
    };
}

void ManualClock::advance(int ms)
{
    const int end = m_now + ms;
    for (;;) {
        Timer* next = nullptr;
        for (Timer* t : m_timers)
            if (t->isEnabled() && t->due() >= 0 && t->due() <= end &&
                (!next || t->due() < next->due()))
                next = t;
        if (!next)
            break;
        m_now = next->due();
        next->expire();
    }
    m_now = end;
}

ModulePeer::ModulePeer(quint16 port)
{
    // Straight to loopback: no proxy discovery, which could ask the network.
    m_socket.setProxy(QNetworkProxy::NoProxy);
    m_socket.bind(QHostAddress::AnyIPv4, port);
}

const std::vector<QNetworkDatagram>& ModulePeer::received(int atLeast, int timeoutMs)
{
    QElapsedTimer elapsed;
    elapsed.start();
    for (;;) {
        while (m_socket.hasPendingDatagrams())
            m_received.push_back(m_socket.receiveDatagram());
        if (int(m_received.size()) >= atLeast || elapsed.elapsed() >= timeoutMs)
            break;
        m_socket.waitForReadyRead(20);
    }
    return m_received;
}

void ModulePeer::clear()
{
    while (m_socket.hasPendingDatagrams())
        m_socket.receiveDatagram();
    m_received.clear();
}

void ModulePeer::answer(const QByteArray& bytes)
{
    m_socket.writeDatagram(bytes, QHostAddress::LocalHost, TForm1::localUdpPort);
}

Fixture::Fixture(QString localAddress, bool show) : address(std::move(localAddress))
{
    FormDeps deps;
    deps.localAddress = [this] { return address; };
    deps.presenter = presenter;
    deps.timers = clock.factory();
    // No test asks a name server: every look-up fails, a little later, as a real one would.
    deps.resolver = [this](const QString&, QObject* context,
                           std::function<void(std::optional<quint32>)> done) {
        ++lookups;
        QTimer::singleShot(0, context, [done] { done(std::nullopt); });
    };
    deps.applicationTitle = QStringLiteral("duva-configurador");
    form = std::make_unique<TForm1>(std::move(deps));
    if (show) {
        form->show();
        presenter->clear();
    }
}

Fixture::~Fixture() = default;

QByteArray record(const QString& dottedAddress, quint8 dhcp, quint8 clientMode)
{
    QByteArray r(recordSize, '\0');
    const QStringList octets = dottedAddress.split('.');
    for (int i = 0; i < 4 && i < octets.size(); ++i)
        r[i] = char(octets[i].toInt());
    const char mask[] = {char(255), char(255), char(255), 0};
    for (int i = 0; i < 4; ++i)
        r[offset::subnetMask + i] = mask[i];
    r[offset::localPort] = char(0x13);
    r[offset::localPort + 1] = char(0x8A);
    r[offset::serverPort] = char(0x13);
    r[offset::serverPort + 1] = char(0x8A);
    r[offset::dhcp] = char(dhcp);
    r[offset::clientMode] = char(clientMode);
    r[offset::autoDisconnectTime] = 10;
    r.replace(offset::firmwareVersion, 3, "174");
    const QByteArray host = QByteArray("server.example").leftJustified(serverHostSize, ' ');
    r.replace(offset::serverHost, serverHostSize, host);
    return r;
}

void searchAndAnswer(TForm1& form, ModulePeer& peer, const QList<QByteArray>& replies)
{
    QTest::mouseClick(form.Label11, Qt::LeftButton);
    for (const QByteArray& reply : replies)
        peer.answer(reply);
    QTRY_COMPARE(form.replyCount(), int(replies.size()));
}

void chooseLine(TForm1& form, int k)
{
    QListWidget* list = form.ListBox3;
    const QRect line = list->visualItemRect(list->item(k));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, line.center());
}

void deliverPending(int ms)
{
    QTest::qWait(ms);
}

QStringList lines(const QListWidget* list)
{
    QStringList result;
    for (int i = 0; i < list->count(); ++i)
        result << list->item(i)->text();
    return result;
}

} // namespace duva::test
