// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestEnvironment.h"
#include "app/SingleInstance.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <cstring>
#include <future>
#include <vector>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// A first instance listening on a socket of the test's own; the second
// instance talks to it from another thread, as a second process would.
class SingleInstanceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        name = dir.filePath(QStringLiteral("brackenfold.socket"));
    }

    std::future<bool> handOverLater(const SingleInstance::Request& request)
    {
        return std::async(std::launch::async, [name = name, request] { return SingleInstance::handOver(name, request); });
    }
    // Runs the event loop until the sender is done, and answers what it got.
    bool finish(std::future<bool>& sent)
    {
        EXPECT_TRUE(TestEnvironment::processEventsUntil(
            [&] { return sent.wait_for(std::chrono::milliseconds(0)) == std::future_status::ready; },
            std::chrono::milliseconds(10000)));
        return sent.get();
    }
    // Sends raw bytes, as a sender that does not follow the protocol.
    std::future<QByteArray> sendRaw(const QByteArray& bytes)
    {
        return std::async(std::launch::async, [name = name, bytes] {
            QLocalSocket socket;
            socket.connectToServer(name);
            if (!socket.waitForConnected(3000))
                return QByteArray("no connection");
            socket.write(bytes);
            socket.waitForBytesWritten(3000);
            socket.waitForReadyRead(3000);
            return socket.readAll();
        });
    }

    QTemporaryDir dir;
    QString name;
};

QByteArray framed(const QByteArray& payload)
{
    QByteArray message(4, '\0');
    qToBigEndian<quint32>(static_cast<quint32>(payload.size()), message.data());
    return message + payload;
}

QByteArray request(const QJsonValue& cwd, const QJsonValue& arguments)
{
    return framed(QJsonDocument(QJsonObject { { "cwd", cwd }, { "arguments", arguments } }).toJson());
}

} // namespace

TEST_F(SingleInstanceTest, ASecondStartHandsItsRequestToTheFirst)
{
    SingleInstance first(name);
    std::vector<SingleInstance::Request> received;
    first.setHandler([&](const SingleInstance::Request& r) { received.push_back(r); });
    ASSERT_TRUE(first.listen());

    auto sent = handOverLater(
        { "/home/u/photos", { "brackenfold", "-d", "2024", "-r", "~/r.recipe", "x.jpg", ":y.jpg", "-d", ":z" } });
    EXPECT_TRUE(finish(sent));
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return received.size() == 1; }));
    EXPECT_EQ(received[0].workingDirectory, "/home/u/photos");
    EXPECT_EQ(received[0].arguments,
        QStringList({ "brackenfold", "-d", "/home/u/photos/2024", "-r", QDir::homePath() + "/r.recipe",
            "/home/u/photos/x.jpg", "/home/u/photos/:y.jpg", "-d", "/home/u/photos/:z" }));

    // And the next one too, over a new connection.
    auto again = handOverLater({ "/tmp", { "brackenfold", "--service", "/a b/c" } });
    EXPECT_TRUE(finish(again));
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return received.size() == 2; }));
    EXPECT_EQ(received[1].arguments, QStringList({ "brackenfold", "--service", "/a b/c" }));
}

TEST_F(SingleInstanceTest, WithoutAFirstInstanceNothingIsHandedOver)
{
    EXPECT_FALSE(SingleInstance::handOver(name, { "/", { "brackenfold" } }, 500));
}

// A socket file left by an instance that ended is taken over; one that answers is not.
TEST_F(SingleInstanceTest, AStaleSocketIsReplacedAndALiveOneKept)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    const QByteArray path = name.toLocal8Bit();
    ASSERT_LT(path.size(), static_cast<qsizetype>(sizeof(address.sun_path)));
    std::memcpy(address.sun_path, path.constData(), path.size());
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ::close(fd);
    ASSERT_TRUE(QFileInfo::exists(name));

    SingleInstance first(name);
    ASSERT_TRUE(first.listen());
    bool handled = false;
    first.setHandler([&](const SingleInstance::Request&) { handled = true; });
    SingleInstance second(name);
    EXPECT_FALSE(second.listen());
    auto sent = handOverLater({ "/", { "brackenfold" } });
    EXPECT_TRUE(finish(sent));
    EXPECT_TRUE(TestEnvironment::processEventsUntil([&] { return handled; }));
}

// Whatever is not a well-formed request of absolute paths is refused before use.
TEST_F(SingleInstanceTest, MalformedRequestsAreRefused)
{
    struct Case {
        const char* what;
        QByteArray message;
    };
    const QJsonArray ok { "brackenfold", "-d", "/a" };
    QJsonArray tooMany;
    for (int i = 0; i <= SingleInstance::MAX_ARGUMENTS; ++i)
        tooMany.append(QStringLiteral("/f%1").arg(i));
    const Case cases[] = {
        { "empty", QByteArray() },
        { "short header", QByteArray("\0\0", 2) },
        { "length beyond the bytes", framed("{}").left(5) },
        { "length short of the bytes", framed("{}") + "x" },
        { "not json", framed("cwd=/") },
        { "an array", framed("[]") },
        { "relative working folder", request("home/u", ok) },
        { "no working folder", request(QJsonValue(), ok) },
        { "working folder not a text", request(3, ok) },
        { "arguments not a list", request("/", "brackenfold -d /a") },
        { "no arguments", request("/", QJsonArray()) },
        { "an argument not a text", request("/", QJsonArray { "brackenfold", 1 }) },
        { "relative folder", request("/", QJsonArray { "brackenfold", "-d", "a" }) },
        { "home-relative recipe", request("/", QJsonArray { "brackenfold", "-r", "~/r.recipe" }) },
        { "relative document", request("/", QJsonArray { "brackenfold", "x.jpg" }) },
        { "a URL", request("/", QJsonArray { "brackenfold", "--service", "https://example.org/x" }) },
        { "a NUL in a path", request("/", QJsonArray { "brackenfold", QString("/a") + QChar(0) + "b" }) },
        { "too many arguments", request("/", QJsonArray { "brackenfold" } + tooMany) },
        { "an overlong argument", request("/", QJsonArray { "brackenfold", "/" + QString(70000, 'a') }) },
        { "over the size cap", framed(QByteArray(SingleInstance::MAX_MESSAGE_SIZE, ' ')) },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(SingleInstance::decode(c.message).has_value());
    }
    const auto accepted = SingleInstance::decode(request("/", ok));
    ASSERT_TRUE(accepted.has_value());
    EXPECT_EQ(accepted->arguments, QStringList({ "brackenfold", "-d", "/a" }));
    // Recipe text is no path.
    EXPECT_TRUE(SingleInstance::decode(request("/", QJsonArray { "brackenfold", "-r", "{\"x\":1}" })).has_value());
}

// Over the socket: a refused message gets no answer and reaches nobody.
TEST_F(SingleInstanceTest, TheFirstInstanceRefusesWhatIsOutOfShape)
{
    SingleInstance first(name);
    int handled = 0;
    first.setHandler([&](const SingleInstance::Request&) { ++handled; });
    ASSERT_TRUE(first.listen());
    const QByteArray messages[] = {
        request("/", QJsonArray { "brackenfold", "-d", "relative" }),
        // A header that announces more than the cap is refused before any body is read.
        QByteArray("\x7f\xff\xff\xff", 4) + "{}",
    };
    for (const QByteArray& message : messages) {
        auto answer = sendRaw(message);
        ASSERT_TRUE(TestEnvironment::processEventsUntil(
            [&] { return answer.wait_for(std::chrono::milliseconds(0)) == std::future_status::ready; },
            std::chrono::milliseconds(10000)));
        EXPECT_EQ(answer.get(), QByteArray());
    }
    TestEnvironment::drainEvents();
    EXPECT_EQ(handled, 0);
}

namespace {

// No runtime folder; a temporary folder and a cache folder of the test's own,
// where another user may have been first.
class SocketFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(temporary.isValid());
        ASSERT_TRUE(home.isValid());
        for (const char* name : { "XDG_RUNTIME_DIR", "TMPDIR", "XDG_CACHE_HOME" })
            before.emplace_back(name, qgetenv(name));
        qunsetenv("XDG_RUNTIME_DIR");
        qputenv("TMPDIR", QFile::encodeName(temporary.path()));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(home.filePath("cache")));
        folder = home.filePath("cache/brackenfold");
    }
    void TearDown() override
    {
        for (const auto& [name, value] : before) {
            if (value.isNull())
                qunsetenv(name);
            else
                qputenv(name, value);
        }
    }
    static bool makeFolder(const QString& path, mode_t mode)
    {
        return QDir().mkpath(QFileInfo(path).path()) && ::mkdir(QFile::encodeName(path).constData(), 0700) == 0
            && ::chmod(QFile::encodeName(path).constData(), mode) == 0;
    }
    // As another user would leave it; only root can give it away.
    static bool giveAway(const QString& path)
    {
        return ::lchown(QFile::encodeName(path).constData(), 65534, 65534) == 0;
    }
    // Whether a later start hands its request over to a first one listening on `name`.
    static void expectHandOver(const QString& name)
    {
        SingleInstance first(name);
        bool handled = false;
        first.setHandler([&](const SingleInstance::Request&) { handled = true; });
        ASSERT_TRUE(first.listen()) << first.problem().toStdString();
        EXPECT_TRUE(first.problem().isEmpty());
        auto sent = std::async(std::launch::async, [&] { return SingleInstance::handOver(name, { "/", { "brackenfold" } }); });
        ASSERT_TRUE(TestEnvironment::processEventsUntil(
            [&] { return sent.wait_for(std::chrono::milliseconds(0)) == std::future_status::ready; },
            std::chrono::milliseconds(10000)));
        EXPECT_TRUE(sent.get());
        EXPECT_TRUE(TestEnvironment::processEventsUntil([&] { return handled; }));
    }

    QTemporaryDir temporary;
    QTemporaryDir home;
    QString folder;
    std::vector<std::pair<const char*, QByteArray>> before;
};

} // namespace

// Names in the shared temporary folder that another user may take first play
// no part: the socket lands in a folder of the user's alone, the same one for
// every start, and the hand-over works there.
TEST_F(SocketFolderTest, TakenNamesInTheTemporaryFolderDoNotMatterAsUser)
{
    const QString base = temporary.path() + QStringLiteral("/brackenfold-%1").arg(geteuid());
    for (int i = 0; i < 8; ++i) {
        const QString taken = i == 0 ? base : base + QStringLiteral("-%1").arg(i);
        ASSERT_TRUE(i % 2 ? makeFolder(taken, 0777) : QFile(taken).open(QIODevice::WriteOnly));
        if (geteuid() == 0)
            ASSERT_TRUE(giveAway(taken));
    }
    QString problem;
    const QString name = SingleInstance::defaultServerName(&problem);
    EXPECT_TRUE(problem.isEmpty()) << problem.toStdString();
    ASSERT_TRUE(name.startsWith(folder + "/")) << name.toStdString();
    struct stat status {};
    ASSERT_EQ(::lstat(QFile::encodeName(folder).constData(), &status), 0);
    EXPECT_TRUE(S_ISDIR(status.st_mode));
    EXPECT_EQ(status.st_uid, geteuid());
    EXPECT_EQ(status.st_mode & 0777, 0700u);
    EXPECT_EQ(SingleInstance::defaultServerName(), name); // a second start finds the first
    expectHandOver(name);
}

// A socket folder that is not the user's alone is not used: the start goes on
// alone and says why, for the window to show.
TEST_F(SocketFolderTest, ASocketFolderNotTheUsersAloneIsRefusedAndSaysWhyAsUser)
{
    struct Case {
        const char* what;
        std::function<bool()> plant;
    };
    const Case cases[] = {
        { "an open folder", [&] { return makeFolder(folder, 0777); } },
        { "a folder others may read", [&] { return makeFolder(folder, 0755); } },
        { "a link to a private folder",
            [&] { return makeFolder(folder + "-elsewhere", 0700) && QFile::link(folder + "-elsewhere", folder); } },
        { "a file", [&] { return QDir().mkpath(QFileInfo(folder).path()) && QFile(folder).open(QIODevice::WriteOnly); } },
        { "another user's private folder", [&] { return makeFolder(folder, 0700) && (geteuid() != 0 || giveAway(folder)); } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(home.filePath("cache")).removeRecursively();
        ASSERT_TRUE(c.plant());
        // Without root nothing can be given away: the folder is then the user's and is used.
        const bool usable = std::string(c.what) == "another user's private folder" && geteuid() != 0;
        QString problem;
        const QString name = SingleInstance::defaultServerName(&problem);
        if (usable) {
            EXPECT_FALSE(name.isEmpty());
            continue;
        }
        EXPECT_TRUE(name.isEmpty()) << name.toStdString();
        EXPECT_EQ(problem, QStringLiteral("The folder %1 is not a folder of this user's alone.").arg(folder));
        SingleInstance alone(name);
        EXPECT_FALSE(alone.listen());
        EXPECT_FALSE(alone.problem().isEmpty());
        EXPECT_FALSE(SingleInstance::handOver(name, { "/", { "brackenfold" } }, 500));
    }
    // Once the place is sound again, the hand-over works.
    QDir(home.filePath("cache")).removeRecursively();
    const QString name = SingleInstance::defaultServerName();
    ASSERT_FALSE(name.isEmpty());
    expectHandOver(name);
}

// A socket another user put in place is neither spoken to nor replaced.
TEST_F(SingleInstanceTest, ASocketOfAnotherUserIsLeftAlone)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can make a socket of another user";
    SingleInstance other(name);
    ASSERT_TRUE(other.listen());
    ASSERT_EQ(::lchown(QFile::encodeName(name).constData(), 65534, 65534), 0);
    bool handled = false;
    other.setHandler([&](const SingleInstance::Request&) { handled = true; });
    EXPECT_FALSE(SingleInstance::handOver(name, { "/", { "brackenfold" } }, 500));
    SingleInstance mine(name);
    EXPECT_FALSE(mine.listen());
    TestEnvironment::drainEvents();
    EXPECT_FALSE(handled);
    struct stat status {};
    ASSERT_EQ(::lstat(QFile::encodeName(name).constData(), &status), 0);
    EXPECT_EQ(status.st_uid, 65534u);
}
