// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QLocalServer;
class QLocalSocket;

// One running application per user. A second start hands its working folder
// and arguments to the first over a local socket and ends; the first acts on
// them as on its own command line. Paths are made absolute by the sender; the
// receiver takes only absolute local paths, from a message of bounded size
// sent by the same user.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 MAX_MESSAGE_SIZE = 256 * 1024;
    static constexpr int MAX_ARGUMENTS = 4096;

    struct Request {
        QString workingDirectory;
        QStringList arguments;
    };
    using Handler = std::function<void(const Request&)>;

    // Shown when later starts cannot hand over to this one.
    static inline const QString UNAVAILABLE = QStringLiteral("Later starts of Brackenfold will open windows of their own");

    // The socket of this user: in the private runtime folder when there is one,
    // else in a folder of this user's alone under the user's cache folder;
    // empty, with why in `problem`, when no such folder can be had.
    static QString defaultServerName(QString* problem = nullptr);

    explicit SingleInstance(const QString& serverName = defaultServerName(), QObject* parent = nullptr);
    ~SingleInstance() override;

    const QString& serverName() const { return m_serverName; }

    // Sender: true when a running instance took the request. Blocks for at
    // most `timeoutMs`; usable from any thread.
    static bool handOver(const QString& serverName, const Request& request, int timeoutMs = 3000);
    // Receiver: starts listening; a socket left by an instance that is gone is
    // replaced. False, with why in problem(), when later starts cannot reach it.
    bool listen();
    const QString& problem() const { return m_problem; }
    void setHandler(Handler handler) { m_handler = std::move(handler); }

    // The message of a request, paths made absolute against its working folder.
    static QByteArray encode(const Request& request);
    // The request in a message; none when anything in it is out of shape.
    static std::optional<Request> decode(const QByteArray& message);
    // The arguments with every path made absolute ("~" and relative ones).
    static QStringList absoluteArguments(const QStringList& arguments, const QString& workingDirectory);

private:
    void acceptConnection();
    void readFrom(QLocalSocket* socket);

    QString m_serverName;
    QString m_problem;
    QLocalServer* m_server = nullptr;
    Handler m_handler;
};
