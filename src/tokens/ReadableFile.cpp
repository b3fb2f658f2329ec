// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokens/ReadableFile.h"

#include "platform/Log.h"

#include <QFile>

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/mem.h>
}

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <exiv2/basicio.hpp>
#include <exiv2/error.hpp>
#pragma GCC diagnostic pop

#include <taglib/tbytevector.h>
#include <taglib/tiostream.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr auto BACKGROUND = Log::Category::background;

// TagLib's view: read-only, every read through the file's bounds.
class TagLibStream final : public TagLib::IOStream {
public:
    explicit TagLibStream(ReadableFile& file)
        : m_file(file)
        , m_name(QFile::encodeName(file.path()))
    {
    }

    TagLib::FileName name() const override { return m_name.constData(); }
    TagLib::ByteVector readBlock(unsigned long length) override
    {
        // Only what the file holds is allocated: a damaged header may ask for gigabytes.
        const qint64 wanted = std::min<qint64>(qint64(std::min<unsigned long>(length, 1UL << 40)), m_file.readableAt(m_position));
        if (wanted <= 0)
            return {};
        TagLib::ByteVector data(static_cast<unsigned int>(wanted), '\0');
        const qint64 got = m_file.readAt(m_position, data.data(), wanted);
        if (got <= 0)
            return {};
        data.resize(static_cast<unsigned int>(got));
        m_position += got;
        return data;
    }
    void writeBlock(const TagLib::ByteVector&) override { }
    void insert(const TagLib::ByteVector&, unsigned long, unsigned long) override { }
    void removeBlock(unsigned long, unsigned long) override { }
    bool readOnly() const override { return true; }
    bool isOpen() const override { return true; }
    void seek(long offset, Position from) override
    {
        const qint64 base = from == Beginning ? 0 : from == Current ? m_position : m_file.size();
        m_position = std::max<qint64>(base + offset, 0);
    }
    void clear() override { }
    long tell() const override { return long(m_position); }
    long length() override { return long(m_file.size()); }
    void truncate(long) override { }

private:
    ReadableFile& m_file;
    QByteArray m_name;
    qint64 m_position = 0;
};

// Exiv2's view, as its in-memory reader behaves: a seek past the end fails.
// The whole-file view some formats ask for is a copy, so a file cut short by
// another program meanwhile cannot fault a mapping.
class Exiv2Io final : public Exiv2::BasicIo {
public:
    explicit Exiv2Io(ReadableFile& file)
        : m_file(file)
        , m_name(QFile::encodeName(file.path()).toStdString())
    {
    }

    int open() override
    {
        m_position = 0;
        m_eof = false;
        return 0;
    }
    int close() override
    {
        munmap();
        return 0;
    }
    long write(const Exiv2::byte*, long) override { return 0; }
    long write(Exiv2::BasicIo&) override { return 0; }
    int putb(Exiv2::byte) override { return EOF; }
    Exiv2::DataBuf read(long count) override
    {
        const long wanted = long(std::min<qint64>(m_file.readableAt(m_position), std::max<long>(count, 0)));
        Exiv2::DataBuf buffer(wanted);
        buffer.size_ = read(buffer.pData_, wanted);
        return buffer;
    }
    long read(Exiv2::byte* buffer, long count) override
    {
        if (count <= 0)
            return 0;
        const qint64 got = m_file.readAt(m_position, reinterpret_cast<char*>(buffer), count);
        if (got < 0) {
            m_error = true;
            return 0;
        }
        m_position += got;
        if (got < count)
            m_eof = true;
        return long(got);
    }
    int getb() override
    {
        Exiv2::byte byte = 0;
        return read(&byte, 1) == 1 ? byte : EOF;
    }
    void transfer(Exiv2::BasicIo&) override { throw Exiv2::Error(Exiv2::kerImageWriteFailed); }
    int seek(long offset, Position from) override
    {
        const qint64 base = from == beg ? 0 : from == cur ? m_position : m_file.size();
        const qint64 target = base + offset;
        if (target < 0)
            return 1;
        if (target > m_file.size()) {
            m_eof = true;
            return 1;
        }
        m_position = target;
        m_eof = false;
        return 0;
    }
    Exiv2::byte* mmap(bool writeable) override
    {
        if (writeable)
            throw Exiv2::Error(Exiv2::kerImageWriteFailed);
        if (m_whole.empty()) {
            const qint64 size = m_file.size();
            if (m_file.readableAt(0) < size)
                throw Exiv2::Error(Exiv2::kerFailedToReadImageData);
            m_whole.resize(size_t(size));
            qint64 done = 0;
            while (done < size) {
                const qint64 got = m_file.readAt(done, reinterpret_cast<char*>(m_whole.data()) + done, size - done);
                if (got <= 0)
                    break;
                done += got;
            }
            if (done < size) {
                m_whole.clear();
                m_whole.shrink_to_fit();
                throw Exiv2::Error(Exiv2::kerFailedToReadImageData);
            }
        }
        return m_whole.data();
    }
    int munmap() override
    {
        m_whole.clear();
        m_whole.shrink_to_fit();
        return 0;
    }
    long tell() const override { return long(m_position); }
    size_t size() const override { return size_t(m_file.size()); }
    bool isopen() const override { return true; }
    int error() const override { return m_error || m_file.isExhausted() ? 1 : 0; }
    bool eof() const override { return m_eof; }
    std::string path() const override { return m_name; }

private:
    ReadableFile& m_file;
    std::string m_name;
    qint64 m_position = 0;
    bool m_eof = false;
    bool m_error = false;
    std::vector<Exiv2::byte> m_whole;
};

// libavformat's view.
int readPacket(void* opaque, uint8_t* buffer, int size)
{
    auto* reader = static_cast<std::pair<ReadableFile*, qint64>*>(opaque);
    const qint64 got = reader->first->readAt(reader->second, reinterpret_cast<char*>(buffer), size);
    if (got < 0)
        return AVERROR(EIO);
    if (got == 0)
        return reader->first->isLate() ? AVERROR_EXIT : AVERROR_EOF;
    reader->second += got;
    return int(got);
}

int64_t seekTo(void* opaque, int64_t offset, int whence)
{
    auto* reader = static_cast<std::pair<ReadableFile*, qint64>*>(opaque);
    const qint64 size = reader->first->size();
    switch (whence & ~AVSEEK_FORCE) {
    case AVSEEK_SIZE:
        return size;
    case SEEK_SET:
        break;
    case SEEK_CUR:
        offset += reader->second;
        break;
    case SEEK_END:
        offset += size;
        break;
    default:
        return AVERROR(EINVAL);
    }
    if (offset < 0)
        return AVERROR(EINVAL);
    reader->second = offset;
    return offset;
}

int interruptWhenLate(void* opaque)
{
    return static_cast<const ReadableFile*>(opaque)->isLate() ? 1 : 0;
}

// A demuxer may ask for further files (playlists, references in a movie): none is opened.
int refuseFurtherInput(AVFormatContext*, AVIOContext**, const char* url, int, AVDictionary**)
{
    Log::debug(BACKGROUND, "libavformat: %s not opened", QString::fromUtf8(url));
    return AVERROR(EPERM);
}

constexpr int AVIO_BUFFER_SIZE = 64 * 1024;

} // namespace

std::unique_ptr<ReadableFile> ReadableFile::open(const QString& path, Limits limits)
{
    const QByteArray local = QFile::encodeName(path);
    // Asked of the path first, so that no device is ever opened; asked again
    // of what was opened, in case the path changed in between.
    struct stat named {};
    if (::stat(local.constData(), &named) != 0 || !S_ISREG(named.st_mode)) {
        Log::debug(BACKGROUND, "Contents of %s not read: not a regular file", path);
        return nullptr;
    }
    const int descriptor = ::open(local.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0) {
        Log::debug(BACKGROUND, "Contents of %s not read: %s", path, QString::fromLocal8Bit(std::strerror(errno)));
        return nullptr;
    }
    struct stat opened {};
    if (::fstat(descriptor, &opened) != 0 || !S_ISREG(opened.st_mode) || opened.st_dev != named.st_dev
        || opened.st_ino != named.st_ino) {
        Log::debug(BACKGROUND, "Contents of %s not read: not a regular file", path);
        ::close(descriptor);
        return nullptr;
    }
    return std::unique_ptr<ReadableFile>(new ReadableFile(path, descriptor, qint64(opened.st_size), limits));
}

ReadableFile::ReadableFile(QString path, int descriptor, qint64 size, Limits limits)
    : m_path(std::move(path))
    , m_descriptor(descriptor)
    , m_size(size)
    , m_budget(limits.bytes)
    , m_deadline(std::chrono::steady_clock::now() + limits.time)
{
}

ReadableFile::~ReadableFile()
{
    if (m_avio) {
        delete static_cast<std::pair<ReadableFile*, qint64>*>(m_avio->opaque);
        av_freep(&m_avio->buffer);
        avio_context_free(&m_avio);
    }
    ::close(m_descriptor);
}

qint64 ReadableFile::readAt(qint64 offset, char* buffer, qint64 length)
{
    if (offset < 0 || length < 0)
        return -1;
    length = std::min({ length, m_size - offset, m_budget });
    if (length <= 0 || isLate())
        return 0;
    qint64 done = 0;
    while (done < length) {
        const ssize_t got = ::pread(m_descriptor, buffer + done, size_t(length - done), off_t(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return done > 0 ? done : -1;
        if (got == 0)
            break; // cut short since it was opened
        done += got;
    }
    m_budget -= done;
    return done;
}

qint64 ReadableFile::readableAt(qint64 offset) const
{
    return std::clamp<qint64>(std::min(m_size - offset, m_budget), 0, m_size);
}

bool ReadableFile::isLate() const
{
    return std::chrono::steady_clock::now() > m_deadline;
}

bool ReadableFile::isExhausted() const
{
    return m_budget <= 0 || isLate();
}

std::unique_ptr<TagLib::IOStream> ReadableFile::tagLibStream()
{
    return std::make_unique<TagLibStream>(*this);
}

std::unique_ptr<Exiv2::BasicIo> ReadableFile::exiv2Io()
{
    return std::make_unique<Exiv2Io>(*this);
}

bool ReadableFile::attachTo(AVFormatContext* context)
{
    if (m_avio)
        return false; // one context a file: the position is the context's
    auto* buffer = static_cast<unsigned char*>(av_malloc(AVIO_BUFFER_SIZE));
    if (!buffer)
        return false;
    auto* reader = new std::pair<ReadableFile*, qint64>(this, 0);
    m_avio = avio_alloc_context(buffer, AVIO_BUFFER_SIZE, 0, reader, &readPacket, nullptr, &seekTo);
    if (!m_avio) {
        delete reader;
        av_free(buffer);
        return false;
    }
    context->pb = m_avio;
    context->flags |= AVFMT_FLAG_CUSTOM_IO;
    context->io_open = &refuseFurtherInput;
    context->interrupt_callback = { &interruptWhenLate, this };
    return true;
}
