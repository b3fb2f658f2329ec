// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QPair>
#include <QString>
#include <QUrl>

#include <chrono>
#include <functional>

// One blocking HTTP GET for worker threads: a local event loop runs the
// request, so the caller needs no event loop of its own. Only https is
// spoken, except to this machine (tests serve plain http on loopback).
namespace HttpGet {

struct Options {
    QList<QPair<QByteArray, QByteArray>> headers;
    std::chrono::milliseconds timeout { 60000 };
    qint64 maximumBytes = 1 << 20; // of the decoded body
    std::function<bool()> isAborted; // polled while waiting
    // When set, takes a successful answer's body piece by piece as it arrives,
    // instead of Result::body; answering false ends the transfer as failed.
    std::function<bool(QByteArrayView)> write;
};

struct Result {
    enum class Kind { finished, refused, failed, timedOut, tooLarge, aborted };
    Kind kind = Kind::failed;
    int status = 0;             // finished: the HTTP status
    QByteArray body;            // finished: the whole body (unless written away)
    bool temporaryFailure = false; // failed: the network or the host may come back
    QString errorText;          // every kind but finished

    bool isSuccess() const { return kind == Kind::finished && status >= 200 && status <= 299; }
};

// https anywhere, http only to a loopback host.
bool isAllowed(const QUrl& url);

// A body that ends before the length the server announced, or that does not
// decode, is a failure, never a success.
Result get(const QUrl& url, const Options& options);

// Ends every request in flight within moments and refuses new ones: the
// application quits. Works after the application object is gone, when no
// event reaches a worker's loop any more.
void abortAll();

} // namespace HttpGet
