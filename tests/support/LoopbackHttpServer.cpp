// SPDX-License-Identifier: GPL-3.0-or-later
#include "LoopbackHttpServer.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

LoopbackHttpServer::LoopbackHttpServer(QList<Answer> answers)
    : m_answers(std::move(answers))
{
    m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(m_listener, 16);
    socklen_t length = sizeof address;
    ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { serve(); });
}

LoopbackHttpServer::~LoopbackHttpServer()
{
    m_stopping = true;
    m_thread.join();
    ::close(m_listener);
}

QString LoopbackHttpServer::baseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(m_port);
}

QList<QByteArray> LoopbackHttpServer::requests() const
{
    std::lock_guard lock(m_mutex);
    return m_requests;
}

QList<std::chrono::steady_clock::time_point> LoopbackHttpServer::requestTimes() const
{
    std::lock_guard lock(m_mutex);
    return m_times;
}

namespace {
// Waits for `fd` to become readable, giving up when the server stops.
bool readable(int fd, const std::atomic<bool>& stopping)
{
    while (!stopping) {
        pollfd p { fd, POLLIN, 0 };
        if (::poll(&p, 1, 20) > 0)
            return true;
    }
    return false;
}
} // namespace

void LoopbackHttpServer::serve()
{
    qsizetype answered = 0;
    while (readable(m_listener, m_stopping)) {
        const int connection = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0)
            continue;
        QByteArray head;
        char buffer[4096];
        while (!head.contains("\r\n\r\n") && readable(connection, m_stopping)) {
            const ssize_t n = ::read(connection, buffer, sizeof buffer);
            if (n <= 0)
                break;
            head.append(buffer, n);
        }
        Answer answer;
        {
            std::lock_guard lock(m_mutex);
            m_requests << head.left(head.indexOf("\r\n\r\n"));
            m_times << std::chrono::steady_clock::now();
            if (!m_answers.isEmpty())
                answer = m_answers.at(std::min(answered, m_answers.size() - 1));
            ++answered;
        }
        const auto hangUntil = std::chrono::steady_clock::now() + answer.hang;
        while (!m_stopping && std::chrono::steady_clock::now() < hangUntil)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        const auto sendAll = [&](const QByteArray& bytes) {
            // Never blocked in send(): a client that stops reading must not keep the server from stopping.
            for (qsizetype sent = 0; !m_stopping && sent < bytes.size();) {
                pollfd p { connection, POLLOUT, 0 };
                if (::poll(&p, 1, 20) <= 0)
                    continue;
                const ssize_t n = ::send(connection, bytes.constData() + sent, bytes.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
                if (n < 0 && (errno == EAGAIN || errno == EINTR))
                    continue;
                if (n <= 0)
                    return false;
                sent += n;
            }
            return !m_stopping;
        };
        if (answer.endless) {
            const QByteArray head = answer.head.isEmpty()
                ? QByteArrayLiteral("HTTP/1.1 ") + QByteArray::number(answer.status)
                    + QByteArrayLiteral(" Answer\r\nConnection: close\r\nTransfer-Encoding: chunked\r\n\r\n")
                : answer.head;
            const QByteArray chunk = QByteArray::number(answer.body.size(), 16) + "\r\n" + answer.body + "\r\n";
            if (sendAll(head))
                while (sendAll(chunk)) { }
        } else {
            const QByteArray head = answer.head.isEmpty()
                ? QByteArrayLiteral("HTTP/1.1 ") + QByteArray::number(answer.status)
                    + QByteArrayLiteral(" Answer\r\nContent-Type: application/json\r\nConnection: close\r\nContent-Length: ")
                    + QByteArray::number(answer.body.size()) + QByteArrayLiteral("\r\n\r\n")
                : answer.head;
            sendAll(head + answer.body);
        }
        ::close(connection);
    }
}
