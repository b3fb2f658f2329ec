// SPDX-License-Identifier: GPL-3.0-or-later
#include "LoopbackHttpServer.h"
#include "platform/HttpGet.h"

#include <gtest/gtest.h>

#include <zlib.h>

using namespace std::chrono_literals;

namespace {

QByteArray gzip(const QByteArray& data)
{
    z_stream stream {};
    EXPECT_EQ(deflateInit2(&stream, 9, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY), Z_OK);
    QByteArray out(int(deflateBound(&stream, data.size())), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    stream.avail_in = uInt(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = uInt(out.size());
    EXPECT_EQ(deflate(&stream, Z_FINISH), Z_STREAM_END);
    out.resize(qsizetype(stream.total_out));
    deflateEnd(&stream);
    return out;
}

QByteArray head(const QByteArray& headers)
{
    return "HTTP/1.1 200 OK\r\nConnection: close\r\n" + headers + "\r\n";
}

QByteArray lengthHeader(qsizetype length)
{
    return "Content-Length: " + QByteArray::number(length) + "\r\n";
}

// A request time-out that only a hang reaches, however loaded the machine.
constexpr auto PATIENT = 60s;

// The request lines the server received (a connection opened and left unused sends none).
QList<QByteArray> asked(const LoopbackHttpServer& server)
{
    QList<QByteArray> lines;
    for (const QByteArray& request : server.requests()) {
        if (!request.isEmpty())
            lines << request.left(request.indexOf("\r\n"));
    }
    return lines;
}

const QByteArray ANSWER = R"({"answer":"unpacked"})";

TEST(HttpGetTest, OnlyAWholeBodyIsASuccess)
{
    using Kind = HttpGet::Result::Kind;
    const QByteArray packed = gzip(ANSWER);
    const QByteArray bomb = gzip(QByteArray(3 << 20, 'x'));
    const struct {
        const char* name;
        LoopbackHttpServer::Answer answer;
        Kind kind;
        QByteArray body;
        bool temporary = false;
    } cases[] = {
        { "whole", { 200, ANSWER }, Kind::finished, ANSWER },
        { "whole, without a length", { 200, ANSWER, {}, head("") }, Kind::finished, ANSWER },
        { "compressed", { 200, packed, {}, head("Content-Encoding: gzip\r\n" + lengthHeader(packed.size())) }, Kind::finished, ANSWER },
        { "cut short", { 200, ANSWER.left(10), {}, head(lengthHeader(ANSWER.size())) }, Kind::failed, {}, true },
        // Read whole by its chunks, yet shorter than its announced length.
        { "chunked, shorter than announced", { 200, "a\r\n" + ANSWER.left(10) + "\r\n0\r\n\r\n", {},
            head("Transfer-Encoding: chunked\r\n" + lengthHeader(ANSWER.size())) }, Kind::failed, {}, true },
        { "compressed, cut short", { 200, packed.left(20), {}, head("Content-Encoding: gzip\r\n") }, Kind::failed, {}, true },
        { "compressed, without its check", { 200, packed.left(packed.size() - 4), {}, head("Content-Encoding: gzip\r\n") }, Kind::failed, {}, true },
        { "bad gzip", { 200, "not gzip at all", {}, head("Content-Encoding: gzip\r\n") }, Kind::failed },
        { "compressed, then more", { 200, packed + "tail", {}, head("Content-Encoding: gzip\r\n") }, Kind::failed },
        { "an encoding not asked for", { 200, ANSWER, {}, head("Content-Encoding: br\r\n") }, Kind::failed },
        { "announced too large", { 200, ANSWER, {}, head(lengthHeader(10 << 20)) }, Kind::tooLarge },
        { "too large", { 200, QByteArray(2 << 20, ' ') }, Kind::tooLarge },
        { "too large once unpacked", { 200, bomb, {}, head("Content-Encoding: gzip\r\n" + lengthHeader(bomb.size())) }, Kind::tooLarge },
        { "endless", { 200, QByteArray(4096, 'x'), {}, {}, true }, Kind::tooLarge },
        { "an error page", { 404, "Not here" }, Kind::finished, {} },
    };
    for (const auto& c : cases) {
        LoopbackHttpServer server({ c.answer });
        HttpGet::Options options;
        options.timeout = PATIENT;
        const HttpGet::Result result = HttpGet::get(QUrl(server.baseUrl() + "/x"), options);
        EXPECT_EQ(result.kind, c.kind) << c.name << ": " << result.errorText.toStdString();
        EXPECT_EQ(result.body, c.body) << c.name;
        EXPECT_EQ(result.temporaryFailure, c.temporary) << c.name;
        EXPECT_EQ(result.errorText.isEmpty(), c.kind == Kind::finished) << c.name;
        EXPECT_EQ(result.isSuccess(), c.kind == Kind::finished && c.answer.status == 200) << c.name;
    }
}

TEST(HttpGetTest, ABodyWrittenAwayIsCappedWhereItIsWritten)
{
    QByteArray written;
    qsizetype pieces = 0;
    HttpGet::Options options;
    options.timeout = PATIENT;
    options.maximumBytes = 1 << 20;
    options.write = [&](QByteArrayView piece) {
        written.append(piece.data(), piece.size());
        ++pieces;
        return true;
    };
    {
        const QByteArray big(600 * 1024, 'b');
        LoopbackHttpServer server({ { 200, big } });
        const HttpGet::Result result = HttpGet::get(QUrl(server.baseUrl() + "/x"), options);
        EXPECT_EQ(result.kind, HttpGet::Result::Kind::finished);
        EXPECT_TRUE(result.body.isEmpty()) << "the body went to the writer only";
        EXPECT_EQ(written, big);
        EXPECT_GT(pieces, 1) << "handed over as it arrived";
    }
    {
        written.clear();
        LoopbackHttpServer server({ { 200, QByteArray(4096, 'x'), {}, {}, true } });
        const HttpGet::Result result = HttpGet::get(QUrl(server.baseUrl() + "/x"), options);
        EXPECT_EQ(result.kind, HttpGet::Result::Kind::tooLarge);
        EXPECT_LE(written.size(), options.maximumBytes);
    }
    {
        written.clear();
        LoopbackHttpServer server({ { 404, "Not here" } });
        EXPECT_FALSE(HttpGet::get(QUrl(server.baseUrl() + "/x"), options).isSuccess());
        EXPECT_TRUE(written.isEmpty()) << "an error page is not the body asked for";
    }
    {
        options.write = [](QByteArrayView) { return false; };
        LoopbackHttpServer server({ { 200, ANSWER } });
        const HttpGet::Result result = HttpGet::get(QUrl(server.baseUrl() + "/x"), options);
        EXPECT_EQ(result.kind, HttpGet::Result::Kind::failed);
        EXPECT_FALSE(result.temporaryFailure);
    }
}

TEST(HttpGetTest, SlowAbortedAndRedirectedRequests)
{
    {
        // The answer would come long after the bound below: only the time-out ends the request before it.
        LoopbackHttpServer server({ { 200, ANSWER, 2 * PATIENT } });
        HttpGet::Options options;
        options.timeout = 300ms;
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(HttpGet::get(QUrl(server.baseUrl() + "/x"), options).kind, HttpGet::Result::Kind::timedOut);
        EXPECT_LT(std::chrono::steady_clock::now() - start, PATIENT / 2);
    }
    {
        LoopbackHttpServer server({ { 200, ANSWER, 2 * PATIENT } });
        HttpGet::Options options;
        options.timeout = PATIENT;
        std::atomic<int> polls = 0;
        options.isAborted = [&] { return ++polls > 3; };
        EXPECT_EQ(HttpGet::get(QUrl(server.baseUrl() + "/x"), options).kind, HttpGet::Result::Kind::aborted);
    }
    {
        // To the same server: followed.
        LoopbackHttpServer server({ { 302, {}, {}, "HTTP/1.1 302 Found\r\nLocation: /elsewhere\r\nContent-Length: 0\r\nConnection: close\r\n\r\n" },
            { 200, ANSWER } });
        HttpGet::Options options;
        options.timeout = PATIENT;
        const HttpGet::Result result = HttpGet::get(QUrl(server.baseUrl() + "/x"), options);
        EXPECT_TRUE(result.isSuccess()) << result.errorText.toStdString();
        EXPECT_EQ(result.body, ANSWER);
        EXPECT_EQ(asked(server), QList<QByteArray>({ "GET /x HTTP/1.1", "GET /elsewhere HTTP/1.1" }));
    }
    for (const char* target : { "http://203.0.113.9/x", "http://localhost:1/x", "ftp://127.0.0.1/x" }) {
        // To another host or scheme: never followed.
        LoopbackHttpServer server({ { 302, {}, {}, "HTTP/1.1 302 Found\r\nLocation: " + QByteArray(target) + "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n" } });
        HttpGet::Options options;
        options.timeout = PATIENT;
        EXPECT_FALSE(HttpGet::get(QUrl(server.baseUrl() + "/x"), options).isSuccess()) << target;
        EXPECT_EQ(asked(server), QList<QByteArray> { "GET /x HTTP/1.1" }) << target;
    }
    for (const char* refused : { "http://203.0.113.9/x", "file:///etc/passwd", "not an address" })
        EXPECT_EQ(HttpGet::get(QUrl(refused), {}).kind, HttpGet::Result::Kind::refused) << refused;
}

} // namespace
