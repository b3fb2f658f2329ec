// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

// A tiny HTTP server on 127.0.0.1 for clients under test. It answers each
// request with the next scripted answer (the last one repeats) and records
// what it was asked.
class LoopbackHttpServer {
public:
    struct Answer {
        int status = 200;
        QByteArray body;
        // Keeps the connection open without answering for this long.
        std::chrono::milliseconds hang { 0 };
        // When set, sent instead of the usual head (status line and headers,
        // ending in an empty line), so a test can announce what it likes.
        QByteArray head;
        // Sends chunks of the body for ever, until the client goes away.
        bool endless = false;
    };

    explicit LoopbackHttpServer(QList<Answer> answers);
    ~LoopbackHttpServer();

    QString baseUrl() const; // "http://127.0.0.1:<port>"
    // The request heads received so far (request line and header lines).
    QList<QByteArray> requests() const;
    QList<std::chrono::steady_clock::time_point> requestTimes() const;

private:
    void serve();

    int m_listener = -1;
    int m_port = 0;
    QList<Answer> m_answers;
    std::atomic<bool> m_stopping { false };
    mutable std::mutex m_mutex;
    QList<QByteArray> m_requests;
    QList<std::chrono::steady_clock::time_point> m_times;
    std::thread m_thread;
};
