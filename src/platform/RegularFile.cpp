// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/RegularFile.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace RegularFile {

Contents read(const QString& path, qint64 maxSize)
{
    Contents contents;
    const auto fail = [&contents](Failure failure, int error) {
        contents.failure = failure;
        contents.error = error;
        contents.reason = error ? QString::fromLocal8Bit(std::strerror(error)) : QString();
        contents.data.clear();
        return contents;
    };
    const int descriptor = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0)
        return fail(Failure::cannotOpen, errno);
    struct Closer {
        int descriptor;
        ~Closer() { ::close(descriptor); }
    } closer { descriptor };
    struct stat status {};
    if (::fstat(descriptor, &status) != 0)
        return fail(Failure::cannotRead, errno);
    if (!S_ISREG(status.st_mode))
        return fail(Failure::notRegular, 0);
    if (status.st_size > maxSize)
        return fail(Failure::tooLarge, 0);
    // One byte past the limit tells a file that grew since.
    contents.data.resize(qsizetype(std::min<qint64>(status.st_size, maxSize) + 1));
    qsizetype filled = 0;
    while (filled < contents.data.size()) {
        const ssize_t n = ::read(descriptor, contents.data.data() + filled, size_t(contents.data.size() - filled));
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fail(Failure::cannotRead, errno);
        }
        filled += n;
        if (filled == contents.data.size() && filled <= maxSize)
            contents.data.resize(std::min<qsizetype>(filled * 2, qsizetype(maxSize) + 1));
    }
    if (filled > maxSize)
        return fail(Failure::tooLarge, 0);
    contents.data.truncate(filled);
    return contents;
}

} // namespace RegularFile
