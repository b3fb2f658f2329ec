// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SingleInstance.h"

#include "app/CommandLineProcessor.h"
#include "platform/Log.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>
#include <QStandardPaths>
#include <QSysInfo>
#include <QtEndian>

#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kWorkingDirectory = QStringLiteral("cwd");
const QString kArguments = QStringLiteral("arguments");
constexpr int kHeaderSize = 4;
constexpr char kAccepted = '1';
// A sender that stops half-way does not hold the connection open for long.
constexpr int kReadTimeoutMs = 5000;
constexpr qsizetype kMaxArgumentLength = 64 * 1024;

// Only a process of this user may hand over, and only to one of this user.
bool peerIsThisUser(const QLocalSocket& socket)
{
    struct ucred credentials {};
    socklen_t length = sizeof(credentials);
    if (getsockopt(static_cast<int>(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0)
        return false;
    return credentials.uid == geteuid();
}

// A folder of this user, itself and not a link, with none of `forbidden` in its mode.
bool isPrivateFolder(const QString& path, mode_t forbidden)
{
    struct stat status {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 && S_ISDIR(status.st_mode)
        && status.st_uid == geteuid() && (status.st_mode & forbidden) == 0;
}

// A socket in place that another user made is neither spoken to nor replaced.
bool isUsableServerName(const QString& serverName)
{
    if (serverName.isEmpty())
        return false;
    struct stat status {};
    if (::lstat(QFile::encodeName(serverName).constData(), &status) != 0)
        return errno == ENOENT;
    return status.st_uid == geteuid();
}

bool isAbsoluteLocalPath(const QString& path)
{
    return path.startsWith(QLatin1Char('/')) && !path.contains(QChar(0));
}

} // namespace

QString SingleInstance::defaultServerName(QString* problem)
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && isPrivateFolder(runtime, S_IWGRP | S_IWOTH))
        return QDir(runtime).filePath(QStringLiteral("brackenfold.socket"));
    // Without one, a folder under the user's own cache folder: unlike a name in
    // the shared temporary folder, no other user can take it first. A home
    // shared by several machines holds one socket for each.
    const auto fail = [problem](const QString& why) {
        Log::error(Log::Category::general, "Single instance: %{public}s", why);
        if (problem)
            *problem = why;
        return QString();
    };
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (cache.isEmpty() || !QDir().mkpath(cache))
        return fail(QStringLiteral("There is no cache folder to hold the socket."));
    const QString folder = cache + QStringLiteral("/brackenfold");
    if (::mkdir(QFile::encodeName(folder).constData(), 0700) != 0 && errno != EEXIST)
        return fail(QStringLiteral("The folder %1 cannot be made: %2").arg(folder, QString::fromLocal8Bit(std::strerror(errno))));
    if (!isPrivateFolder(folder, S_IRWXG | S_IRWXO))
        return fail(QStringLiteral("The folder %1 is not a folder of this user's alone.").arg(folder));
    const QString name = folder + QStringLiteral("/socket-") + QSysInfo::machineHostName();
    if (QFile::encodeName(name).size() >= qsizetype(sizeof(sockaddr_un::sun_path)))
        return fail(QStringLiteral("The socket's path %1 is too long for a local socket.").arg(name));
    return name;
}

SingleInstance::SingleInstance(const QString& serverName, QObject* parent)
    : QObject(parent)
    , m_serverName(serverName)
{
}

SingleInstance::~SingleInstance() = default;

QByteArray SingleInstance::encode(const Request& request)
{
    const QJsonObject object {
        { kWorkingDirectory, request.workingDirectory },
        { kArguments, QJsonArray::fromStringList(CommandLineProcessor::absoluteArguments(request.arguments,
                          request.workingDirectory)) },
    };
    const QByteArray payload = QJsonDocument(object).toJson(QJsonDocument::Compact);
    QByteArray message(kHeaderSize, '\0');
    qToBigEndian<quint32>(static_cast<quint32>(payload.size()), message.data());
    return message + payload;
}

std::optional<SingleInstance::Request> SingleInstance::decode(const QByteArray& message)
{
    if (message.size() < kHeaderSize || message.size() > MAX_MESSAGE_SIZE)
        return std::nullopt;
    const quint32 length = qFromBigEndian<quint32>(message.constData());
    if (length != static_cast<quint32>(message.size() - kHeaderSize))
        return std::nullopt;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(message.mid(kHeaderSize), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();
    const QJsonValue directory = object.value(kWorkingDirectory);
    const QJsonValue arguments = object.value(kArguments);
    if (!directory.isString() || !isAbsoluteLocalPath(directory.toString()) || !arguments.isArray())
        return std::nullopt;
    const QJsonArray list = arguments.toArray();
    if (list.isEmpty() || list.size() > MAX_ARGUMENTS)
        return std::nullopt;
    Request request { directory.toString(), {} };
    for (const QJsonValue& argument : list) {
        if (!argument.isString() || argument.toString().size() > kMaxArgumentLength)
            return std::nullopt;
        request.arguments << argument.toString();
    }
    // The sender made every path absolute; anything else is not ours to open.
    for (qsizetype position : CommandLineProcessor::pathPositions(request.arguments))
        if (!isAbsoluteLocalPath(request.arguments.at(position)))
            return std::nullopt;
    return request;
}

QStringList SingleInstance::absoluteArguments(const QStringList& arguments, const QString& workingDirectory)
{
    return CommandLineProcessor::absoluteArguments(arguments, workingDirectory);
}

bool SingleInstance::handOver(const QString& serverName, const Request& request, int timeoutMs)
{
    if (!isUsableServerName(serverName))
        return false;
    QLocalSocket socket;
    socket.connectToServer(serverName);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    if (!peerIsThisUser(socket))
        return false;
    const QByteArray message = encode(request);
    if (message.size() > MAX_MESSAGE_SIZE)
        return false;
    socket.write(message);
    while (socket.bytesToWrite() > 0)
        if (!socket.waitForBytesWritten(timeoutMs))
            return false;
    // The first instance answers once it took the request.
    if (!socket.waitForReadyRead(timeoutMs))
        return false;
    return socket.read(1) == QByteArray(1, kAccepted);
}

bool SingleInstance::listen()
{
    if (m_server)
        return m_server->isListening();
    if (m_serverName.isEmpty()) {
        m_problem = QStringLiteral("There is no place for the socket.");
        return false;
    }
    if (!isUsableServerName(m_serverName)) {
        Log::error(Log::Category::general, "Single instance: not listening on %{public}s: the place is not this user's",
            m_serverName);
        m_problem = QStringLiteral("The socket %1 is not this user's.").arg(m_serverName);
        return false;
    }
    // Listening puts the new socket in place of whatever is there, so ask first
    // whether an instance answers; a socket left by one that ended is replaced.
    QLocalSocket probe;
    probe.connectToServer(m_serverName);
    if (probe.waitForConnected(500)) {
        m_problem = QStringLiteral("Another Brackenfold answers on %1.").arg(m_serverName);
        return false;
    }
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnection);
    if (!m_server->listen(m_serverName)) {
        QLocalServer::removeServer(m_serverName);
        if (!m_server->listen(m_serverName)) {
            Log::error(Log::Category::general, "Single instance: cannot listen on %{public}s: %{public}s", m_serverName,
                m_server->errorString());
            m_problem = QStringLiteral("Cannot listen on %1: %2").arg(m_serverName, m_server->errorString());
            return false;
        }
    }
    return true;
}

void SingleInstance::acceptConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (!peerIsThisUser(*socket)) {
            socket->abort();
            continue;
        }
        QTimer::singleShot(kReadTimeoutMs, socket, [socket] { socket->abort(); });
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readFrom(socket); });
        readFrom(socket);
    }
}

void SingleInstance::readFrom(QLocalSocket* socket)
{
    auto buffer = socket->property("received").toByteArray();
    buffer += socket->read(MAX_MESSAGE_SIZE + 1 - buffer.size());
    socket->setProperty("received", buffer);
    if (buffer.size() > MAX_MESSAGE_SIZE) {
        Log::error(Log::Category::general, "Single instance: a message over %ld bytes was refused", MAX_MESSAGE_SIZE);
        socket->abort();
        return;
    }
    if (buffer.size() < kHeaderSize)
        return;
    const quint32 length = qFromBigEndian<quint32>(buffer.constData());
    if (length > MAX_MESSAGE_SIZE - kHeaderSize) {
        Log::error(Log::Category::general, "Single instance: a message over %ld bytes was refused", MAX_MESSAGE_SIZE);
        socket->abort();
        return;
    }
    if (buffer.size() < kHeaderSize + static_cast<qsizetype>(length))
        return;
    const auto request = decode(buffer.left(kHeaderSize + length));
    if (!request) {
        Log::error(Log::Category::general, "Single instance: a malformed request was refused");
        socket->abort();
        return;
    }
    socket->write(QByteArray(1, kAccepted));
    socket->flush();
    socket->disconnectFromServer();
    if (m_handler)
        m_handler(*request);
}
