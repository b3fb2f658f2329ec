// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <chrono>
#include <memory>

namespace TagLib {
class IOStream;
}
namespace Exiv2 {
class BasicIo;
}
struct AVFormatContext;
struct AVIOContext;

// A regular file opened for a reader of file contents (Exiv2, TagLib,
// libavformat). A listed folder may hold anything under a media name: a named
// pipe, a link to a device. Opening never blocks and keeps regular files only;
// the libraries get this descriptor, never the path, so what they read is what
// was checked. Every read counts against a deadline and a byte budget; past
// either, reads find the end of the file and the libraries give up.
class ReadableFile {
public:
    struct Limits {
        std::chrono::milliseconds time;
        qint64 bytes;
    };
    // Tags sit at the ends of a file; large pictures fit.
    static constexpr Limits TAG_LIMITS { std::chrono::seconds(5), 16 * 1024 * 1024 };
    // The headers and the index of a long movie.
    static constexpr Limits CONTAINER_LIMITS { std::chrono::seconds(5), 32 * 1024 * 1024 };
    // Raw photos are read whole.
    static constexpr Limits IMAGE_LIMITS { std::chrono::seconds(5), 512 * 1024 * 1024 };

    // None, after logging why, for anything but a readable regular file.
    static std::unique_ptr<ReadableFile> open(const QString& path, Limits limits);
    ~ReadableFile();
    ReadableFile(const ReadableFile&) = delete;
    ReadableFile& operator=(const ReadableFile&) = delete;

    const QString& path() const { return m_path; }
    // The size when opened; reads never go past it.
    qint64 size() const { return m_size; }
    // Up to `length` bytes from `offset`: 0 at the end, past the deadline or the budget; -1 on an error.
    qint64 readAt(qint64 offset, char* buffer, qint64 length);
    // How much a read from `offset` may still give: what to allocate for it.
    qint64 readableAt(qint64 offset) const;
    bool isLate() const;
    bool isExhausted() const;

    // The file as each library reads it. A stream or a context must not outlive this object.
    std::unique_ptr<TagLib::IOStream> tagLibStream();
    std::unique_ptr<Exiv2::BasicIo> exiv2Io();
    // Makes the context read this file and nothing else (no second file, no
    // network) and stop at the deadline; open it with avformat_open_input
    // afterwards. False when the reading context cannot be made.
    bool attachTo(AVFormatContext* context);

private:
    ReadableFile(QString path, int descriptor, qint64 size, Limits limits);

    QString m_path;
    int m_descriptor = -1;
    qint64 m_size = 0;
    qint64 m_budget = 0; // bytes that may still be read
    std::chrono::steady_clock::time_point m_deadline;
    AVIOContext* m_avio = nullptr;
};
