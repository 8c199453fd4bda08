// duva-sim: a fleet of simulated DUVA modules on UDP, for trying out and testing the
// configurator without hardware.

#include "buildinfo.h"
#include "tools/sim/fleet.h"
#include "tools/sim/options.h"

#include <QTime>

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <netinet/in.h>
#include <poll.h>
#include <random>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>

using namespace duva::sim;
using Clock = std::chrono::steady_clock;

namespace
{

class UniqueFd
{
public:
    explicit UniqueFd(int fd = -1) : m_fd(fd) {}
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    UniqueFd(UniqueFd&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept
    {
        std::swap(m_fd, other.m_fd);
        return *this;
    }
    ~UniqueFd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int get() const { return m_fd; }

private:
    int m_fd;
};

int g_signalPipe = -1; // write end, for the signal handler

void onSignal(int number)
{
    const unsigned char byte = static_cast<unsigned char>(number);
    const int saved = errno;
    [[maybe_unused]] ssize_t n = ::write(g_signalPipe, &byte, 1);
    errno = saved;
}

void logLine(const QString& text)
{
    const QByteArray line = QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz")).toUtf8() +
                            ' ' + text.toUtf8() + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fflush(stdout);
}

QString endpointText(quint32 address, int port)
{
    return QStringLiteral("%1:%2").arg(addressText(address)).arg(port);
}

sockaddr_in socketAddress(quint32 address, int port)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(address);
    a.sin_port = htons(quint16(port));
    return a;
}

// A datagram socket bound to address:port that reports each datagram's destination.
// Returns the bound port through boundPort; throws a message on failure.
UniqueFd bindSocket(quint32 address, int port, bool share, int& boundPort)
{
    UniqueFd fd(::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (fd.get() < 0)
        throw QStringLiteral("socket: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
    const int on = 1;
    ::setsockopt(fd.get(), IPPROTO_IP, IP_PKTINFO, &on, sizeof on);
    // Every socket sharing the port takes a copy of each broadcast.
    if (share)
        ::setsockopt(fd.get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    const sockaddr_in a = socketAddress(address, port);
    if (::bind(fd.get(), reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0) {
        throw QStringLiteral("cannot listen on %1: %2")
            .arg(endpointText(address, port), QString::fromLocal8Bit(std::strerror(errno)));
    }
    sockaddr_in bound{};
    socklen_t length = sizeof bound;
    ::getsockname(fd.get(), reinterpret_cast<sockaddr*>(&bound), &length);
    boundPort = ntohs(bound.sin_port);
    return fd;
}

struct Pending {
    int fd;
    int localPort;
    sockaddr_in peer;
    Answer answer;
};

class Simulator
{
public:
    explicit Simulator(const Config& config)
        : m_config(config), m_fleet(initialRecords(config), config.faults),
          m_bench(m_fleet, config.bench)
    {
    }

    int run();

private:
    void receive(int fd, Channel channel, int localPort);
    void send(const Pending& pending);
    void sendDue();
    int pollTimeout() const;
    void advanceBench();
    qint64 benchMs() const
    {
        return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - m_started)
            .count();
    }

    Config m_config;
    Fleet m_fleet;
    Bench m_bench; // used in bench mode only
    Clock::time_point m_started = Clock::now();
    std::multimap<Clock::time_point, Pending> m_queue; // equal times keep their order
};

int Simulator::run()
{
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) {
        std::fprintf(stderr, "duva-sim: pipe: %s\n", std::strerror(errno));
        return 1;
    }
    UniqueFd signalRead(pipeFds[0]);
    UniqueFd signalWrite(pipeFds[1]);
    g_signalPipe = signalWrite.get();
    struct sigaction action {
    };
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    ::signal(SIGPIPE, SIG_IGN);

    int searchPort = 0;
    int resetPort = 0;
    UniqueFd searchFd;
    UniqueFd resetFd;
    try {
        searchFd =
            bindSocket(m_config.listenAddress, m_config.searchPort, m_config.sharePort, searchPort);
        resetFd =
            bindSocket(m_config.listenAddress, m_config.resetPort, m_config.sharePort, resetPort);
    } catch (const QString& message) {
        std::fprintf(stderr, "duva-sim: %s\n", qPrintable(message));
        return 1;
    }

    const quint32 last = Fleet::addressOf(m_fleet.record(m_fleet.size() - 1));
    std::printf("duva-sim: listening on %s (search, write) and %s (reset); %d module(s), %s to "
                "%s; seed %u\n",
                qPrintable(endpointText(m_config.listenAddress, searchPort)),
                qPrintable(endpointText(m_config.listenAddress, resetPort)), m_fleet.size(),
                qPrintable(addressText(m_config.firstIp)), qPrintable(addressText(last)),
                m_config.faults.seed);
    std::fflush(stdout);
    if (m_config.bench.enabled) {
        for (const QString& note : m_bench.start(benchMs()))
            logLine(QStringLiteral("note ") + note);
    }

    for (;;) {
        pollfd fds[3] = {
            {signalRead.get(), POLLIN, 0}, {searchFd.get(), POLLIN, 0}, {resetFd.get(), POLLIN, 0}};
        const int ready = ::poll(fds, 3, pollTimeout());
        if (ready < 0 && errno != EINTR) {
            std::fprintf(stderr, "duva-sim: poll: %s\n", std::strerror(errno));
            return 1;
        }
        if (ready > 0) {
            if (fds[0].revents & POLLIN) {
                unsigned char number = 0;
                [[maybe_unused]] ssize_t n = ::read(signalRead.get(), &number, 1);
                logLine(QStringLiteral("stop: signal %1").arg(number));
                return 0;
            }
            if (fds[1].revents & POLLIN)
                receive(searchFd.get(), Channel::Search, searchPort);
            if (fds[2].revents & POLLIN)
                receive(resetFd.get(), Channel::Reset, resetPort);
        }
        advanceBench();
        sendDue();
    }
}

void Simulator::advanceBench()
{
    if (!m_config.bench.enabled)
        return;
    for (const QString& note : m_bench.advance(benchMs()))
        logLine(QStringLiteral("note ") + note);
}

int Simulator::pollTimeout() const
{
    std::optional<Clock::time_point> due;
    if (!m_queue.empty())
        due = m_queue.begin()->first;
    if (const auto change = m_config.bench.enabled ? m_bench.nextChangeMs() : std::nullopt) {
        const auto at = m_started + std::chrono::milliseconds(*change);
        due = due ? std::min(*due, at) : at;
    }
    if (!due)
        return -1;
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*due - Clock::now());
    return int(std::max<long long>(0, wait.count()));
}

void Simulator::receive(int fd, Channel channel, int localPort)
{
    // Take everything waiting, so that a burst is handled in one go.
    for (;;) {
        char buffer[65536];
        char control[CMSG_SPACE(sizeof(in_pktinfo))];
        sockaddr_in peer{};
        iovec iov{buffer, sizeof buffer};
        msghdr message{};
        message.msg_name = &peer;
        message.msg_namelen = sizeof peer;
        message.msg_iov = &iov;
        message.msg_iovlen = 1;
        message.msg_control = control;
        message.msg_controllen = sizeof control;
        const ssize_t length = ::recvmsg(fd, &message, 0);
        if (length < 0) {
            if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
                logLine(QStringLiteral("error: receive: %1").arg(std::strerror(errno)));
            return;
        }
        quint32 destination = m_config.listenAddress;
        for (cmsghdr* c = CMSG_FIRSTHDR(&message); c; c = CMSG_NXTHDR(&message, c)) {
            if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_PKTINFO) {
                in_pktinfo info;
                std::memcpy(&info, CMSG_DATA(c), sizeof info);
                destination = ntohl(info.ipi_addr.s_addr);
            }
        }
        const QByteArray datagram(buffer, int(length));
        if (!m_config.quiet)
            logLine(
                QStringLiteral("recv from %1 to %2 len %3%4: %5")
                    .arg(endpointText(ntohl(peer.sin_addr.s_addr), ntohs(peer.sin_port)),
                         endpointText(destination, localPort))
                    .arg(length)
                    .arg(message.msg_flags & MSG_TRUNC ? QStringLiteral(" (truncated)") : QString(),
                         hexBytes(datagram)));

        const Outcome outcome = m_config.bench.enabled
                                    ? m_bench.handle(datagram, channel, destination, benchMs())
                                    : m_fleet.handle(datagram, channel, destination);
        for (const QString& note : outcome.notes) {
            if (!m_config.quiet)
                logLine(QStringLiteral("note ") + note);
        }
        const auto now = Clock::now();
        for (const Answer& answer : outcome.answers) {
            m_queue.emplace(now + std::chrono::milliseconds(answer.delayMs),
                            Pending{fd, localPort, peer, answer});
        }
    }
}

void Simulator::sendDue()
{
    while (!m_queue.empty() && m_queue.begin()->first <= Clock::now()) {
        const Pending pending = m_queue.begin()->second;
        m_queue.erase(m_queue.begin());
        send(pending);
    }
}

void Simulator::send(const Pending& pending)
{
    const Answer& answer = pending.answer;
    iovec iov{const_cast<char*>(answer.bytes.constData()), size_t(answer.bytes.size())};
    msghdr message{};
    message.msg_name = const_cast<sockaddr_in*>(&pending.peer);
    message.msg_namelen = sizeof pending.peer;
    message.msg_iov = &iov;
    message.msg_iovlen = 1;
    // Answer from the module's own address where this host has it, as a real module would;
    // otherwise (an address it was given by a write, say, which the kernel refuses as a
    // source) from whatever address the system picks.
    char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    cmsghdr* c = CMSG_FIRSTHDR(&message);
    c->cmsg_level = IPPROTO_IP;
    c->cmsg_type = IP_PKTINFO;
    c->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
    in_pktinfo info{};
    info.ipi_spec_dst.s_addr = htonl(answer.source);
    std::memcpy(CMSG_DATA(c), &info, sizeof info);

    quint32 source = answer.source;
    ssize_t sent = ::sendmsg(pending.fd, &message, 0);
    if (sent < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
        message.msg_control = nullptr;
        message.msg_controllen = 0;
        source = m_config.listenAddress;
        sent = ::sendmsg(pending.fd, &message, 0);
    }
    const QString peer =
        endpointText(ntohl(pending.peer.sin_addr.s_addr), ntohs(pending.peer.sin_port));
    if (sent < 0) {
        if (errno == EAGAIN || errno == EWOULDBLOCK || errno == ENOBUFS) {
            m_queue.emplace(Clock::now() + std::chrono::milliseconds(1), pending);
            return;
        }
        logLine(QStringLiteral("error: send to %1 (module %2): %3")
                    .arg(peer)
                    .arg(answer.module + 1)
                    .arg(std::strerror(errno)));
        return;
    }
    if (!m_config.quiet)
        logLine(QStringLiteral("send to %1 from %2 len %3 module %4: %5")
                    .arg(peer, endpointText(source, pending.localPort))
                    .arg(answer.bytes.size())
                    .arg(answer.module + 1)
                    .arg(hexBytes(answer.bytes)));
}

} // namespace

int main(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const ParseResult parsed = parseArguments(arguments);
    if (!parsed.config) {
        std::fprintf(stderr, "duva-sim: %s\nTry 'duva-sim --help'.\n", qPrintable(parsed.error));
        return 2;
    }
    Config config = *parsed.config;
    if (config.help) {
        std::fputs(qPrintable(helpText()), stdout);
        return 0;
    }
    if (config.showVersion) {
        std::printf("duva-sim %s\n", duva::programVersion);
        return 0;
    }
    if (!config.seedGiven)
        config.faults.seed = std::random_device{}();
    return Simulator(config).run();
}
