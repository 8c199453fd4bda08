#pragma once

#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTcpSocket>
#include <memory>

namespace duva::test
{

// duva-sim running in the modules' namespace of the test network that testnet.sh made
// (DUVA_NS_MODULES), or in the caller's own, for as long as this object lives. Where the test
// cannot start it itself (a Windows build under Wine), duva-sim-launcher at DUVA_SIM_LAUNCHER
// (127.0.0.1:PORT) starts it and passes its output on. Its log lines
// can be read and waited for; waiting keeps the caller's event loop running, so endpoints and
// windows go on working.
class SimProcess
{
public:
    enum Place { TestNetwork, Here };

    // Whether the test runs inside the test network with duva-sim at hand; tests skip
    // otherwise (DUVA_REQUIRE_TEST_NETWORK).
    static bool available();
    static QString unavailableReason();

    // Starts duva-sim with these options and waits until it listens.
    explicit SimProcess(const QStringList& arguments, Place place = TestNetwork,
                        int readyTimeoutMs = 5000);
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    bool isReady() const { return m_ready; }
    // Why it is not ready: what it wrote on standard error, or how it ended.
    QString errorText() const { return m_error; }

    // Every log line written so far, the ready line first.
    QStringList logLines();
    // The log lines containing text.
    QStringList linesContaining(const QString& text) { return logLines().filter(text); }
    // Waits until `count` log lines match; false on timeout.
    bool waitForLines(const QRegularExpression& pattern, int count = 1, int timeoutMs = 3000);

    // SIGTERM, then SIGKILL if it has not ended within 3 s. Returns its exit code, or -1 when
    // it did not end normally.
    int stop();

private:
    void readAvailable();
    bool running() const;
    void waitForOutput(int timeoutMs);
    void startThroughLauncher(const QStringList& arguments);

    QProcess m_process;
    // The connection to duva-sim-launcher, when that starts the simulator.
    std::unique_ptr<QTcpSocket> m_launcher;
    bool m_launcherEnded = false;
    int m_launcherStatus = -1;
    QStringList m_errorLines;
    QStringList m_lines;
    QByteArray m_partial;
    bool m_ready = false;
    QString m_error;
};

} // namespace duva::test

#define DUVA_REQUIRE_TEST_NETWORK()                                                                \
    do {                                                                                           \
        if (!duva::test::SimProcess::available())                                                  \
            QSKIP(qPrintable(duva::test::SimProcess::unavailableReason()));                        \
    } while (false)
