// Runs the real duva-sim on loopback, with ports the system picks, and talks to it.

#include "e2e/simprocess.h"
#include "protocol/datagrams.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QtTest>

using namespace duva;

namespace
{

using LoopbackSocket = duva::test::RawUdpSocket;

// The bytes of the datagrams that arrive within timeoutMs, stopping once `expected` have.
QList<QByteArray> answersTo(const LoopbackSocket& socket, int expected, int timeoutMs = 2000)
{
    QList<QByteArray> bytes;
    for (const LoopbackSocket::Datagram& d : socket.receive(expected, timeoutMs))
        bytes << d.bytes;
    return bytes;
}

// duva-sim in this test's own network, with the ports the system picks, on every interface
// (the default) so that datagrams to each module's own loopback address arrive. Only senders
// are ever answered, and this test sends on loopback alone.
struct Sim : duva::test::SimProcess {
    explicit Sim(const QStringList& arguments)
        : SimProcess(arguments + QStringList{"--search-port", "0", "--reset-port", "0"}, Here)
    {
        static const QRegularExpression ready(
            "listening on 0\\.0\\.0\\.0:(\\d+) .* and 0\\.0\\.0\\.0:(\\d+) ");
        const auto match = ready.match(logLines().value(0));
        searchPort = match.captured(1).toInt();
        resetPort = match.captured(2).toInt();
    }
    int searchPort = 0;
    int resetPort = 0;
};

} // namespace

class TestSimProcess : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(QFile::exists(qEnvironmentVariable("DUVA_SIM")), "DUVA_SIM must name duva-sim");
    }

    void searchWriteAndResetOverLoopback()
    {
        Sim sim({"--count", "3", "--first-ip", "127.0.0.10"});
        QVERIFY(sim.searchPort > 0 && sim.resetPort > 0);
        LoopbackSocket socket;

        socket.send(SearchRequest::build(), "127.0.0.1", sim.searchPort);
        QList<QByteArray> answers = answersTo(socket, 3);
        QCOMPARE(answers.size(), 3);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(answers[i].size(), recordSize);
            QCOMPARE(ModuleRecord::fromBytes(answers[i])->ipAddressText(),
                     QString("127.0.0.%1").arg(10 + i));
        }

        // Sent to module 1's address: it moves to 127.0.0.9.
        socket.send(duva::test::writeRequestTo("127.0.0.9"), "127.0.0.10", sim.searchPort);
        socket.send(SearchRequest::build(), "127.0.0.9", sim.searchPort); // to it alone
        answers = answersTo(socket, 3, 500);
        QCOMPARE(answers.size(), 1);
        QCOMPARE(answers[0], duva::test::writeRequestTo("127.0.0.9")
                                 .left(recordSize)
                                 .replace(offset::opcode, 1, "\0", 1));

        socket.send(ResetDatagram::build(), "127.0.0.1", sim.resetPort);
        // The two ports are read separately, so arrival order across them is not kept.
        QVERIFY(sim.waitForLines(QRegularExpression("note reset")));
        socket.send(SearchRequest::build(), "127.0.0.1", sim.searchPort);
        answers = answersTo(socket, 3);
        QCOMPARE(answers.size(), 3);
        QCOMPARE(ModuleRecord::fromBytes(answers[0])->ipAddressText(), QString("127.0.0.10"));

        // Every datagram is logged, both ways, with its bytes.
        QVERIFY(sim.waitForLines(QRegularExpression(" send to "), 7));
        const QStringList log = sim.logLines();
        QCOMPARE(log.filter(" send to ").size(), 7);
        QCOMPARE(log.filter(" recv from ").size(), 5);
        QCOMPARE(
            log.filter(QRegularExpression(" recv from 127\\.0\\.0\\.1:\\d+ to 127\\.0\\.0\\.1:\\d+ "
                                          "len 65: 00 .* 05 .* 2A$"))
                .size(),
            2);
        QVERIFY(!log.filter(QRegularExpression(
                                " send to 127\\.0\\.0\\.1:\\d+ from 127\\.0\\.0\\.12:\\d+ "
                                "len 64 module 3: 7F 00 00 0C "))
                     .isEmpty());
        QCOMPARE(log.filter("note reset").size(), 1);
    }

    void delayedAnswersDoNotHoldUpOtherDatagrams()
    {
        Sim sim({"--count", "2", "--first-ip", "127.0.0.10", "--delay-ms", "800"});
        LoopbackSocket socket;
        QElapsedTimer clock;
        clock.start();
        socket.send(SearchRequest::build(), "127.0.0.1", sim.searchPort);
        socket.send(QByteArray(3, 'x'), "127.0.0.1", sim.searchPort);
        QCOMPARE(answersTo(socket, 2).size(), 2);
        QVERIFY(clock.elapsed() >= 790);
        // The odd datagram was dealt with while the answers waited.
        QVERIFY(sim.waitForLines(QRegularExpression(" send to "), 2));
        const QStringList log = sim.logLines();
        const auto index = [&](const QString& text) {
            for (int i = 0; i < log.size(); ++i) {
                if (log[i].contains(text))
                    return i;
            }
            return -1;
        };
        QVERIFY(index("ignored: length 3") >= 0);
        QVERIFY(index("ignored: length 3") < index(" send to "));
    }

    void modulesWithAddressesThisHostLacksStillAnswer()
    {
        Sim sim({"--count", "2", "--first-ip", "192.0.2.20"});
        LoopbackSocket socket;
        socket.send(SearchRequest::build(), "127.0.0.1", sim.searchPort);
        const QList<QByteArray> answers = answersTo(socket, 2);
        QCOMPARE(answers.size(), 2);
        QCOMPARE(ModuleRecord::fromBytes(answers[1])->ipAddressText(), QString("192.0.2.21"));
    }

    // Bench mode on its own clock: the next module is plugged in the set time after the one
    // before was written away, with no datagram to wake the simulator.
    void benchPlugsInTheNextModuleOnTime()
    {
        Sim sim({"--bench", "--count", "2", "--first-ip", "127.0.0.10", "--bench-gap-ms", "300"});
        LoopbackSocket socket;
        socket.send(SearchRequest::build(), "127.0.0.1", sim.searchPort);
        QCOMPARE(answersTo(socket, 2, 500).size(), 1);

        QElapsedTimer clock;
        clock.start();
        socket.send(duva::test::writeRequestTo("127.0.0.20"), "127.0.0.10", sim.searchPort);
        QVERIFY(sim.waitForLines(QRegularExpression("note bench: module 2 .* plugged in")));
        QVERIFY2(clock.elapsed() >= 250 && clock.elapsed() < 1500,
                 qPrintable(QString::number(clock.elapsed())));
        socket.send(SearchRequest::build(), "127.0.0.1", sim.searchPort);
        const QList<QByteArray> answers = answersTo(socket, 2);
        QCOMPARE(answers.size(), 2);
        QStringList addresses;
        for (const QByteArray& a : answers)
            addresses << ModuleRecord::fromBytes(a)->ipAddressText();
        addresses.sort();
        QCOMPARE(addresses, (QStringList{"127.0.0.10", "127.0.0.20"}));
    }

    void stopsCleanlyOnSigterm()
    {
        Sim sim({});
        QVERIFY(sim.searchPort > 0);
        QCOMPARE(sim.stop(), 0); // a normal end
        QVERIFY(sim.logLines().last().endsWith("stop: signal 15"));
    }

    void helpNamesEveryOptionAndVersionAnswers()
    {
        QProcess process;
        process.start(qEnvironmentVariable("DUVA_SIM"), {"--help"});
        QVERIFY(process.waitForFinished(3000));
        QCOMPARE(process.exitCode(), 0);
        const QString help = QString::fromUtf8(process.readAllStandardOutput());
        QVERIFY2(help.startsWith("Usage: duva-sim [options]\n"), qPrintable(help));
        const QStringList options =
            QStringLiteral(
                "--count --first-ip --mask --gateway --dns --local-port --server-port --dhcp "
                "--watchdog --client --server --auto-disconnect --auto-disconnect-time "
                "--firmware-version --serial --server-host --delay-ms --jitter-ms "
                "--answer-twice --drop-percent --wrong-length --seed --search-port --reset-port "
                "--listen-address --help --version")
                .split(' ');
        for (const QString& option : options) {
            QVERIFY2(help.contains(QString(" %1 ").arg(option)), qPrintable(option));
        }

        process.start(qEnvironmentVariable("DUVA_SIM"), {"--version"});
        QVERIFY(process.waitForFinished(3000));
        QCOMPARE(process.exitCode(), 0);
        QVERIFY(QRegularExpression("^duva-sim \\d+\\.\\d+\\n$")
                    .match(QString::fromUtf8(process.readAllStandardOutput()))
                    .hasMatch());
    }

    void badOptionsEndWithAnError()
    {
        QProcess process;
        process.start(qEnvironmentVariable("DUVA_SIM"), {"--count", "300"});
        QVERIFY(process.waitForFinished(3000));
        QCOMPARE(process.exitCode(), 2);
        QVERIFY(process.readAllStandardError().contains("--count"));
        QVERIFY(process.readAllStandardOutput().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSimProcess)
#include "tst_sim_process.moc"
