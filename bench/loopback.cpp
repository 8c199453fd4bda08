#include "bench/loopback.h"

#include "protocol/datagrams.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace duva::bench
{

int udpSocket(quint16 port, bool timestamps)
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    const int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    if (timestamps)
        ::setsockopt(fd, SOL_SOCKET, SO_TIMESTAMPNS, &one, sizeof one);
    // Room for every datagram of a series without loss (root may exceed the system limit).
    const int big = 8 << 20;
    if (::setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &big, sizeof big) != 0)
        ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &big, sizeof big);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
        std::perror("duva-bench: bind");
        std::exit(2);
    }
    return fd;
}

void sendTo(int fd, const QByteArray& bytes, quint16 port)
{
    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    remote.sin_port = htons(port);
    remote.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::sendto(fd, bytes.constData(), size_t(bytes.size()), 0, reinterpret_cast<sockaddr*>(&remote),
             sizeof remote);
}

std::vector<Arrival> drain(int fd)
{
    std::vector<Arrival> arrivals;
    for (;;) {
        char data[2048];
        char control[256];
        sockaddr_in from{};
        iovec io{data, sizeof data};
        msghdr msg{};
        msg.msg_name = &from;
        msg.msg_namelen = sizeof from;
        msg.msg_iov = &io;
        msg.msg_iovlen = 1;
        msg.msg_control = control;
        msg.msg_controllen = sizeof control;
        const ssize_t n = ::recvmsg(fd, &msg, 0);
        if (n < 0)
            break;
        Arrival a;
        a.fromPort = ntohs(from.sin_port);
        a.bytes = QByteArray(data, int(n));
        for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c; c = CMSG_NXTHDR(&msg, c)) {
            if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_TIMESTAMPNS) {
                timespec ts;
                std::memcpy(&ts, CMSG_DATA(c), sizeof ts);
                a.ns = qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
            }
        }
        arrivals.push_back(a);
    }
    return arrivals;
}

int pendingBytes(int fd)
{
    int n = 0;
    ::ioctl(fd, FIONREAD, &n);
    return n;
}

QByteArray reply(int k)
{
    QByteArray r(recordSize, '\0');
    r[0] = 10;
    r[2] = char(k >> 8);
    r[3] = char(k & 0xFF);
    return r;
}

} // namespace duva::bench
