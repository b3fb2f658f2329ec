// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/HttpGet.h"

#include <QAbstractEventDispatcher>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

#include <zlib.h>

#include <atomic>
#include <mutex>
#include <optional>
#include <set>

namespace HttpGet {

namespace {
constexpr int POLL_MS = 50;
constexpr qint64 READ_BUFFER_BYTES = 256 * 1024;

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

// Once the application quits, a worker's loop gets no event at all (not even
// its timers'), so a request is ended by waking its loop directly.
std::atomic<bool> abortingAll = false;
std::mutex waitingMutex;
std::set<QAbstractEventDispatcher*> waiting;

class WaitingLoop {
public:
    explicit WaitingLoop(QAbstractEventDispatcher* dispatcher)
        : m_dispatcher(dispatcher)
    {
        std::lock_guard lock(waitingMutex);
        waiting.insert(m_dispatcher);
    }
    ~WaitingLoop()
    {
        std::lock_guard lock(waitingMutex);
        waiting.erase(m_dispatcher);
    }

private:
    QAbstractEventDispatcher* m_dispatcher;
};

// Undoes the content encoding: we ask for it ourselves, so that a compressed
// body that is cut or broken is noticed, which Qt's own decoding lets pass.
class BodyDecoder {
public:
    // None for an encoding we did not ask for; 0 for none at all.
    static std::optional<int> windowBitsFor(const QByteArray& encoding)
    {
        const QByteArray name = encoding.trimmed().toLower();
        if (name.isEmpty() || name == "identity")
            return 0;
        if (name == "gzip" || name == "x-gzip")
            return 15 + 16;
        if (name == "deflate")
            return 15;
        return std::nullopt;
    }
    explicit BodyDecoder(int windowBits)
        : m_windowBits(windowBits)
    {
    }
    BodyDecoder(const BodyDecoder&) = delete;
    BodyDecoder& operator=(const BodyDecoder&) = delete;
    ~BodyDecoder()
    {
        if (m_started)
            inflateEnd(&m_stream);
    }

    // Hands each decoded piece to `out`; false when the data does not decode
    // or `out` refused a piece.
    bool feed(QByteArrayView raw, const std::function<bool(QByteArrayView)>& out)
    {
        if (m_windowBits == 0)
            return out(raw);
        if (m_broken)
            return false;
        if (raw.isEmpty())
            return true;
        if (m_ended) // anything after the end of the stream
            return fail();
        if (!m_started) {
            if (inflateInit2(&m_stream, m_windowBits) != Z_OK)
                return fail();
            m_started = true;
        }
        m_stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(raw.data()));
        m_stream.avail_in = static_cast<uInt>(raw.size());
        char buffer[16384];
        while (m_stream.avail_in > 0 && !m_ended) {
            m_stream.next_out = reinterpret_cast<Bytef*>(buffer);
            m_stream.avail_out = sizeof buffer;
            const int status = inflate(&m_stream, Z_NO_FLUSH);
            if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR)
                return fail();
            const qsizetype produced = qsizetype(sizeof buffer) - m_stream.avail_out;
            if (produced > 0 && !out(QByteArrayView(buffer, produced)))
                return false;
            if (status == Z_STREAM_END)
                m_ended = true;
            else if (status == Z_BUF_ERROR && produced == 0)
                break;
        }
        if (m_ended && m_stream.avail_in > 0)
            return fail();
        return true;
    }
    // Whether the body ended where its encoding says it does.
    bool isComplete() const { return m_windowBits == 0 || (m_ended && !m_broken); }

private:
    bool fail()
    {
        m_broken = true;
        return false;
    }

    int m_windowBits;
    z_stream m_stream {};
    bool m_started = false;
    bool m_ended = false;
    bool m_broken = false;
};

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

void abortAll()
{
    abortingAll = true;
    std::lock_guard lock(waitingMutex);
    for (QAbstractEventDispatcher* dispatcher : waiting)
        dispatcher->wakeUp();
}

Result get(const QUrl& url, const Options& options)
{
    Result result;
    if (!isAllowed(url)) {
        result.kind = Result::Kind::refused;
        result.errorText = QStringLiteral("Only https addresses are allowed: %1").arg(url.toString());
        return result;
    }
    if (abortingAll) {
        result.kind = Result::Kind::aborted;
        result.errorText = QStringLiteral("The application quits");
        return result;
    }
    QEventLoop loop; // makes sure this thread has an event dispatcher
    QAbstractEventDispatcher* const dispatcher = QAbstractEventDispatcher::instance();
    if (!dispatcher) {
        result.errorText = QStringLiteral("No event loop on this thread");
        return result;
    }
    QNetworkAccessManager manager;
    QNetworkRequest request(url);
    request.setRawHeader(QByteArrayLiteral("Accept-Encoding"), QByteArrayLiteral("gzip, deflate"));
    for (const auto& [name, value] : options.headers)
        request.setRawHeader(name, value);
    // Never from https to anything else, never to another host.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::SameOriginRedirectPolicy);
    QNetworkReply* reply = manager.get(request);
    // Qt's network thread reads on while this one is busy: without a bound on
    // what it holds for us, a fast endless answer fills the memory long
    // before our cap sees it.
    reply->setReadBufferSize(READ_BUFFER_BYTES);

    Result::Kind ending = Result::Kind::finished;
    QString failure; // a body that is cut, broken or could not be written
    bool temporary = false;
    qint64 rawBytes = 0;
    qint64 bodyBytes = 0;
    std::optional<BodyDecoder> decoder;
    bool headerRead = false;
    bool keepsBody = false;
    const auto stop = [&](Result::Kind kind) {
        if (ending == Result::Kind::finished)
            ending = kind;
        reply->abort();
    };
    const auto takeBody = [&](QByteArrayView piece) {
        bodyBytes += piece.size();
        if (bodyBytes > options.maximumBytes) {
            stop(Result::Kind::tooLarge);
            return false;
        }
        if (!keepsBody)
            return true; // an error page: only its status counts
        if (options.write) {
            if (options.write(piece))
                return true;
            failure = QStringLiteral("The answer could not be stored");
            stop(Result::Kind::failed);
            return false;
        }
        result.body.append(piece.data(), piece.size());
        return true;
    };
    const auto readBody = [&] {
        if (ending != Result::Kind::finished || !failure.isEmpty())
            return;
        if (!headerRead) {
            headerRead = true;
            const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
            keepsBody = status >= 200 && status <= 299;
            const auto windowBits = BodyDecoder::windowBitsFor(reply->rawHeader(QByteArrayLiteral("Content-Encoding")));
            if (windowBits)
                decoder.emplace(*windowBits);
            if (!decoder) {
                failure = QStringLiteral("The answer is in an encoding that was not asked for");
                stop(Result::Kind::failed);
                return;
            }
        }
        const QByteArray raw = reply->readAll();
        rawBytes += raw.size();
        if (!decoder->feed(raw, takeBody) && ending == Result::Kind::finished && failure.isEmpty()) {
            failure = QStringLiteral("The answer could not be decompressed");
            stop(Result::Kind::failed);
        }
    };
    bool done = false;
    QObject::connect(reply, &QNetworkReply::readyRead, reply, readBody);
    QObject::connect(reply, &QNetworkReply::finished, reply, [&] { done = true; });
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply, [&](qint64, qint64 total) {
        // Announced too large: not even started. (Compressed, it would grow.)
        if (total > options.maximumBytes)
            stop(Result::Kind::tooLarge);
    });
    QElapsedTimer elapsed;
    elapsed.start();
    QTimer poll;
    poll.setInterval(POLL_MS);
    QObject::connect(&poll, &QTimer::timeout, reply, [&] {
        if (options.isAborted && options.isAborted())
            stop(Result::Kind::aborted);
        else if (elapsed.elapsed() >= options.timeout.count())
            stop(Result::Kind::timedOut);
    });
    poll.start();
    {
        const WaitingLoop registered(dispatcher);
        while (!done && !reply->isFinished()) {
            if (abortingAll) {
                stop(Result::Kind::aborted);
                break;
            }
            loop.processEvents(QEventLoop::WaitForMoreEvents);
        }
    }
    poll.stop();
    if (!abortingAll)
        readBody(); // what arrived with the end

    result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QNetworkReply::NetworkError error = reply->error();
    result.errorText = reply->errorString();
    const QByteArray announced = reply->rawHeader(QByteArrayLiteral("Content-Length"));
    delete reply;

    result.kind = ending;
    if (ending == Result::Kind::timedOut)
        result.errorText = QStringLiteral("No answer within %1 ms").arg(options.timeout.count());
    else if (ending == Result::Kind::tooLarge)
        result.errorText = QStringLiteral("The answer is larger than %1 bytes").arg(options.maximumBytes);
    else if (ending == Result::Kind::aborted && abortingAll)
        result.errorText = QStringLiteral("The application quits");
    else if (ending == Result::Kind::failed)
        result.errorText = failure;
    else if (ending == Result::Kind::finished) {
        const bool success = result.status >= 200 && result.status <= 299;
        bool lengthOk = false;
        const qint64 length = announced.trimmed().toLongLong(&lengthOk);
        if (!failure.isEmpty()) {
            result.kind = Result::Kind::failed;
            result.errorText = failure;
        } else if (error != QNetworkReply::NoError && (result.status == 0 || success)) {
            // An HTTP error status is judged by its code; a transfer that broke
            // off, with or without a status, is a failure.
            result.kind = Result::Kind::failed;
            temporary = isTemporary(error);
        } else if (success && lengthOk && rawBytes != length) {
            result.kind = Result::Kind::failed;
            result.errorText = QStringLiteral("The answer ended after %1 of %2 bytes").arg(rawBytes).arg(length);
            temporary = true;
        } else if (success && decoder && !decoder->isComplete()) {
            result.kind = Result::Kind::failed;
            result.errorText = QStringLiteral("The compressed answer ended early");
            temporary = true;
        }
    }
    if (result.kind != Result::Kind::finished)
        result.body.clear();
    result.temporaryFailure = result.kind == Result::Kind::failed && temporary;
    if (result.kind == Result::Kind::finished)
        result.errorText.clear();
    return result;
}

} // namespace HttpGet
