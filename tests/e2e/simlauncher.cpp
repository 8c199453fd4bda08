// duva-sim-launcher PORT: starts duva-sim in the modules' namespace of the test network for a
// test program that cannot start a Linux program itself (the Windows build under Wine), and
// passes its output on. It listens on 127.0.0.1:PORT in the configurator's namespace. For each
// connection it reads one line, duva-sim's arguments separated by tabs, starts
// "ip netns exec $DUVA_NS_MODULES $DUVA_SIM ARGS...", and writes back one line per line of
// output, "out TEXT" or "err TEXT", then "end STATUS" once it has ended (-1: not normally).
// A line "stop" from the test, or the connection's end, stops the simulator (SIGTERM, then
// SIGKILL after 3 s).

#include <QCoreApplication>
#include <QHostAddress>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <cstdio>

namespace
{

class Run : public QObject
{
public:
    explicit Run(QTcpSocket* link) : QObject(link), m_link(link)
    {
        connect(link, &QTcpSocket::readyRead, this, &Run::readRequest);
        connect(link, &QTcpSocket::disconnected, this, &Run::stop);
        connect(&m_process, &QProcess::readyReadStandardOutput, this,
                [this] { pass(m_process.readAllStandardOutput(), m_out, "out "); });
        connect(&m_process, &QProcess::readyReadStandardError, this,
                [this] { pass(m_process.readAllStandardError(), m_err, "err "); });
        connect(&m_process, &QProcess::finished, this, &Run::finished);
        connect(&m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError e) {
            if (e == QProcess::FailedToStart) {
                m_link->write("err duva-sim-launcher: " + m_process.errorString().toUtf8() +
                              "\nend -1\n");
                m_link->disconnectFromHost();
            }
        });
    }

private:
    void readRequest()
    {
        while (m_link->canReadLine()) {
            const QByteArray line = m_link->readLine().trimmed();
            if (!m_started) {
                m_started = true;
                QStringList arguments{"netns", "exec", qEnvironmentVariable("DUVA_NS_MODULES"),
                                      qEnvironmentVariable("DUVA_SIM")};
                if (!line.isEmpty())
                    arguments += QString::fromUtf8(line).split('\t');
                m_process.start(QStringLiteral("ip"), arguments);
            } else if (line == "stop") {
                stop();
            }
        }
    }

    void stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(3000)) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
    }

    void pass(const QByteArray& bytes, QByteArray& partial, const char* prefix)
    {
        partial += bytes;
        int end;
        while ((end = partial.indexOf('\n')) >= 0) {
            m_link->write(prefix + partial.left(end + 1));
            partial.remove(0, end + 1);
        }
    }

    void finished(int code, QProcess::ExitStatus status)
    {
        // A last line without its end is passed on too.
        pass(m_process.readAllStandardOutput(), m_out, "out ");
        pass(m_out.isEmpty() ? QByteArray() : "\n", m_out, "out ");
        pass(m_process.readAllStandardError(), m_err, "err ");
        pass(m_err.isEmpty() ? QByteArray() : "\n", m_err, "err ");
        const int reported = status == QProcess::NormalExit ? code : -1;
        m_link->write("end " + QByteArray::number(reported) + "\n");
        m_link->disconnectFromHost();
    }

    QTcpSocket* m_link;
    QProcess m_process;
    QByteArray m_out;
    QByteArray m_err;
    bool m_started = false;
};

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    bool ok = false;
    const quint16 port = arguments.size() == 2 ? arguments[1].toUShort(&ok) : 0;
    if (!ok) {
        std::fputs("usage: duva-sim-launcher PORT\n", stderr);
        return 2;
    }
    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHost, port)) {
        std::fprintf(stderr, "duva-sim-launcher: %s\n", qPrintable(server.errorString()));
        return 1;
    }
    QObject::connect(&server, &QTcpServer::newConnection, &server, [&server] {
        while (QTcpSocket* link = server.nextPendingConnection())
            new Run(link);
    });
    std::printf("duva-sim-launcher: listening on 127.0.0.1:%u\n", unsigned(port));
    std::fflush(stdout);
    return app.exec();
}
