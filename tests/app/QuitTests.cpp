// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestEnvironment.h"
#include "app/UpdateUtil.h"
#include "app/VersionCheck.h"
#include "core/Preference.h"
#include "platform/GlobalActors.h"
#include "platform/Task.h"
#include "tokens/FileAttribute+add.h"
#include "tokens/GPSAddressResolver.h"
#include "tokens/GPSCache.h"
#include "tokens/NominatimGeocoder.h"
#include "tokens/TokenItem.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

namespace {

const char* const SERVER_VARIABLE = "BRACKENFOLD_QUIT_TEST_SERVER";
const char* const GO_VARIABLE = "BRACKENFOLD_QUIT_TEST_GO";

// Takes every request on 127.0.0.1 and never answers any.
class SilentServer {
public:
    SilentServer()
    {
        m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(m_listener, 16);
        socklen_t length = sizeof address;
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { serve(); });
    }
    ~SilentServer()
    {
        m_stopping = true;
        m_thread.join();
        for (const int connection : m_connections)
            ::close(connection);
        ::close(m_listener);
    }
    QString baseUrl() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_port); }
    int requests() const { return m_requests; }

private:
    void serve()
    {
        std::vector<pollfd> watched;
        while (!m_stopping) {
            watched.assign(1, pollfd { m_listener, POLLIN, 0 });
            for (const int connection : m_connections)
                watched.push_back(pollfd { connection, POLLIN, 0 });
            if (::poll(watched.data(), watched.size(), 20) <= 0)
                continue;
            if (watched[0].revents & POLLIN) {
                const int connection = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
                if (connection >= 0)
                    m_connections.push_back(connection);
            }
            for (std::size_t i = 1; i < watched.size(); ++i) {
                if (!(watched[i].revents & POLLIN))
                    continue;
                char buffer[4096];
                const ssize_t n = ::read(watched[i].fd, buffer, sizeof buffer);
                if (n > 0 && QByteArray(buffer, n).startsWith("GET "))
                    ++m_requests;
            }
        }
    }

    int m_listener = -1;
    int m_port = 0;
    std::atomic<bool> m_stopping = false;
    std::atomic<int> m_requests = 0;
    std::vector<int> m_connections;
    std::thread m_thread;
};

} // namespace

// The child's part of the quit test, run in a process of its own: an address
// lookup, the version check and an update download wait for a server that
// never answers; then the application quits. Does nothing unless the quit
// test started it.
TEST(QuitTest, QuitChild)
{
    const QString server = qEnvironmentVariable(SERVER_VARIABLE);
    const QString go = qEnvironmentVariable(GO_VARIABLE);
    if (server.isEmpty() || go.isEmpty())
        GTEST_SKIP() << "the child process of QuitTest";
    Preference::set(true, PreferenceKey::gpsAddressLookup);
    // Kept beyond the test: the work that uses them ends only as the process does.
    static GPSCache cache;
    static const auto resolver = std::make_shared<GPSAddressResolver>(cache,
        std::make_shared<NominatimGeocoder>(server, std::chrono::hours(1)));
    static QTemporaryDir updates;
    GlobalActors::transformation().submit([] {
        FileAttributeDictionary attributes;
        AttributeDictionary::add(attributes, "{GPS}.Latitude", "Latitude", 10.5);
        AttributeDictionary::add(attributes, "{GPS}.LatitudeRef", QStringLiteral("N"));
        AttributeDictionary::add(attributes, "{GPS}.Longitude", "Longitude", 20.25);
        AttributeDictionary::add(attributes, "{GPS}.LongitudeRef", QStringLiteral("E"));
        try {
            resolver->resolveGPSAddressAttribute(TokenItem::attribute(QStringLiteral("GPS-AddressCity")), FileAttributes { attributes },
                { GPSLookupSource::cache, GPSLookupSource::internet });
        } catch (...) {
        }
    });
    TaskHandle::detached([server](std::stop_token) {
        VersionCheck::runCheck(QUrl(server + "/download/version.json"), Version(QStringLiteral("1.0")),
            { [](const VersionInfo&) { return false; }, [](const QUrl&, const QString&) { } });
    });
    TaskHandle::detached([server](std::stop_token) {
        UpdateUtil::download(QUrl(server + "/download/brackenfold_9.0.deb"), QStringLiteral("00"),
            { updates.path(), QStringLiteral("00"), [](const QString&) { }, [] { } });
    });
    // The parent says when its server holds all three requests.
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return QFile::exists(go); }, std::chrono::minutes(10)));
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();
}

// Quit while requests hang: the process ends, it does not wait for answers
// that never come. The bound is generous; without the abort it never ends.
TEST(QuitTest, QuitEndsTheProcessWhileRequestsHang)
{
    SilentServer server;
    QTemporaryDir folder;
    const QString go = folder.filePath("go");
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(SERVER_VARIABLE), server.baseUrl());
    environment.insert(QString::fromLatin1(GO_VARIABLE), go);
    child.setProcessEnvironment(environment);
    child.setStandardOutputFile(QProcess::nullDevice());
    child.setStandardErrorFile(QProcess::nullDevice());
    child.start(QCoreApplication::applicationFilePath(), { QStringLiteral("--gtest_filter=QuitTest.QuitChild") });
    ASSERT_TRUE(child.waitForStarted());
    const bool allAsked = TestEnvironment::processEventsUntil([&] { return server.requests() >= 3; }, std::chrono::minutes(2));
    EXPECT_TRUE(allAsked) << server.requests() << " requests";
    QFile(go).open(QIODevice::WriteOnly);
    const bool ended = child.waitForFinished(60000);
    EXPECT_TRUE(ended) << "the process still runs after Quit";
    if (!ended) {
        child.kill();
        child.waitForFinished();
        return;
    }
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child.exitCode(), 0);
}
