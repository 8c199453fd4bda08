#include "windowfixture.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QNetworkProxy>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <limits>

namespace duva::test
{

class ManualClock::Timer : public WindowTimer
{
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

void ModulePeer::drain()
{
    received(std::numeric_limits<int>::max(), 200);
    clear();
}

void ModulePeer::answer(const QByteArray& bytes)
{
    m_socket.writeDatagram(bytes, QHostAddress::LocalHost, TForm1::localUdpPort);
}

Fixture::Fixture(QString localAddress, bool show)
    : address(std::move(localAddress)), form(makeForm()), w(*form)
{
    if (show) {
        form->show();
        presenter->clear();
    }
}

std::unique_ptr<TForm1> Fixture::makeForm()
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
    deps.applicationTitle = applicationTitle;
    return std::make_unique<TForm1>(std::move(deps));
}

Fixture::~Fixture() = default;

ChosenModule::ChosenModule(const QByteArray& reply)
{
    searchAndAnswer(w, peer, {reply});
    chooseLine(w, 0);
    QVERIFY(!w.selectedModuleIp().isEmpty());
    QCOMPARE(int(peer.received().size()), 1); // the search request
    peer.clear();
}

QByteArray record(const QString& dottedAddress, quint8 dhcp, quint8 clientMode)
{
    QByteArray r(recordSize, '\0');
    const QStringList octets = dottedAddress.split('.');
    for (int i = 0; i < 4 && i < octets.size(); ++i)
        r[i] = char(octets[i].toInt());
    r.replace(offset::subnetMask, 4, QByteArray::fromHex("ffffff00"));
    r.replace(offset::localPort, 2, QByteArray::fromHex("138a")); // 5002
    r.replace(offset::serverPort, 2, QByteArray::fromHex("138a"));
    r[offset::dhcp] = char(dhcp);
    r[offset::clientMode] = char(clientMode);
    r[offset::autoDisconnectTime] = 10;
    r.replace(offset::firmwareVersion, 3, "174");
    const QByteArray host = QByteArray("server.example").leftJustified(serverHostSize, ' ');
    r.replace(offset::serverHost, serverHostSize, host);
    return r;
}

QByteArray with(QByteArray r, int offset, const QByteArray& bytes)
{
    r.replace(offset, bytes.size(), bytes);
    return r;
}

QByteArray with(QByteArray r, int offset, quint8 value)
{
    r[offset] = char(value);
    return r;
}

QStringList decimalLines(const QByteArray& bytes)
{
    QStringList result;
    for (const char b : bytes)
        result << QString::number(quint8(b));
    return result;
}

void searchAndAnswer(TForm1& form, ModulePeer& peer, const QList<QByteArray>& replies)
{
    QTest::mouseClick(form.Label11, Qt::LeftButton);
    for (const QByteArray& reply : replies)
        peer.answer(reply);
    QTRY_COMPARE(form.replyCount(), int(replies.size()));
}

int sentDuring(Fixture& f, ModulePeer& peer, int ms)
{
    peer.clear();
    f.clock.advance(ms);
    return int(peer.received(1, 100).size());
}

void textRow(const char* tag, const char* before, const char* after, const char* error)
{
    QTest::newRow(tag) << QString::fromUtf8(before) << QString::fromUtf8(after)
                       << (error ? QStringList{QString::fromUtf8(error)} : QStringList());
}

void chooseLine(TForm1& form, int k)
{
    QListWidget* list = form.ListBox3;
    const QRect line = list->visualItemRect(list->item(k));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, line.center());
}

void activate(TForm1& form)
{
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    // Qt's Wayland platform cannot ask for activation, and the wait above only waits for the
    // window to be drawn; the compositor gives it the keyboard a moment later.
    QTRY_COMPARE(QApplication::activeWindow(), &form);
}

void retype(QLineEdit* edit, const QString& text)
{
    QTest::mouseClick(edit, Qt::LeftButton);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete);
    for (const QChar c : text) {
        if (c.unicode() < 0x80)
            QTest::keyClick(edit, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

void enterServiceMode(TForm1& form)
{
    QTest::keyClick(form.Edit11, Qt::Key_F10);
    QTest::keyClick(form.Edit8, Qt::Key_F2);
    QVERIFY(form.Button3->isVisible());
}

void applyPrefix(TForm1& form, const QString& a, const QString& b, const QString& c)
{
    form.FormKeyUp(Qt::Key_F6);
    form.EditIP1->setText(a);
    form.EditIP2->setText(b);
    form.EditIP3->setText(c);
    QTest::mouseClick(form.ButtonIP, Qt::LeftButton);
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
