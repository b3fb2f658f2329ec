#include "platform/HttpGet.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace HttpGet {

namespace {
constexpr int POLL_MS = 50;

bool isTemporary(QNetworkReply::NetworkError error)
{
    switch (error) {
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::RemoteHostClosedError:
    case QNetworkReply::HostNotFoundError:
    case QNetworkReply::TimeoutError:
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::UnknownNetworkError:
    case QNetworkReply::ProxyConnectionRefusedError:
    case QNetworkReply::ProxyNotFoundError:
    case QNetworkReply::ProxyTimeoutError:
        return true;
    default:
        return false;
    }
}
} // namespace

bool isAllowed(const QUrl& url)
{
    if (!url.isValid() || url.host().isEmpty())
        return false;
    if (url.scheme() == QLatin1String("https"))
        return true;
    if (url.scheme() != QLatin1String("http"))
        return false;
    if (url.host().compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    const QHostAddress address(url.host());
    return !address.isNull() && address.isLoopback();
}

Result get(const QUrl& url, const Options& options)
{
    Result result;
    if (!isAllowed(url)) {
        result.kind = Result::Kind::refused;
        result.errorText = QStringLiteral("Only https addresses are allowed: %1").arg(url.toString());
        return result;
    }
    QNetworkAccessManager manager;
    QNetworkRequest request(url);
    for (const auto& [name, value] : options.headers)
        request.setRawHeader(name, value);
    // Never from https to anything else, never to another host.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::SameOriginRedirectPolicy);
    QNetworkReply* reply = manager.get(request);

    Result::Kind ending = Result::Kind::finished;
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply, [&](qint64 received, qint64 total) {
        if (ending == Result::Kind::finished && (received > options.maximumBytes || total > options.maximumBytes)) {
            ending = Result::Kind::tooLarge;
            reply->abort();
        }
    });
    QElapsedTimer elapsed;
    elapsed.start();
    QTimer poll;
    poll.setInterval(POLL_MS);
    QObject::connect(&poll, &QTimer::timeout, reply, [&] {
        if (options.isAborted && options.isAborted())
            ending = Result::Kind::aborted;
        else if (elapsed.elapsed() >= options.timeout.count())
            ending = Result::Kind::timedOut;
        else
            return;
        reply->abort();
    });
    poll.start();
    if (!reply->isFinished())
        loop.exec();
    poll.stop();

    result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QNetworkReply::NetworkError error = reply->error();
    result.errorText = reply->errorString();
    if (ending == Result::Kind::finished)
        result.body = reply->readAll();
    delete reply;

    result.kind = ending;
    if (ending == Result::Kind::timedOut)
        result.errorText = QStringLiteral("No answer within %1 ms").arg(options.timeout.count());
    else if (ending == Result::Kind::tooLarge)
        result.errorText = QStringLiteral("The answer is larger than %1 bytes").arg(options.maximumBytes);
    else if (ending == Result::Kind::finished && result.status == 0 && error != QNetworkReply::NoError) {
        // An HTTP error status is judged by its code, a failed transfer by its kind.
        result.kind = Result::Kind::failed;
        result.temporaryFailure = isTemporary(error);
    }
    if (result.kind == Result::Kind::finished)
        result.errorText.clear();
    return result;
}

} // namespace HttpGet
