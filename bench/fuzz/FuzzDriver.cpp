// SPDX-License-Identifier: GPL-3.0-or-later
// A seeded mutation loop for the fuzz targets where no libFuzzer is at hand:
// inputs are the seed files of the target's corpus, damaged at random, each
// handed to the target's entry point. On a crash the input in hand is written
// to "crash-<target>" in the working folder before the process ends.
//
//   fuzz_<parser> [inputs=1000000] [seed=1] [corpus folder]

#include "FuzzTarget.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <unistd.h>

namespace {

const QByteArray* currentInput = nullptr;
char crashPath[512] = "crash-input";

void keepInputAndDie(int signal)
{
    if (currentInput) {
        const int fd = ::open(crashPath, O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (fd >= 0) {
            ssize_t ignored = ::write(fd, currentInput->constData(), size_t(currentInput->size()));
            (void)ignored;
            ::close(fd);
        }
        static const char message[] = "\nfuzz: crash; the input is kept in ";
        ssize_t ignored = ::write(2, message, sizeof message - 1);
        ignored = ::write(2, crashPath, std::strlen(crashPath));
        ignored = ::write(2, "\n", 1);
        (void)ignored;
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

QByteArray mutate(QByteArray bytes, const QList<QByteArray>& seeds, std::mt19937_64& random)
{
    static const char INTERESTING[] = { 0, 1, 0x7f, char(0x80), char(0xff), char(0xfe), 0x20, 0x2f };
    const auto pick = [&](qsizetype n) { return n > 0 ? qsizetype(random() % quint64(n)) : 0; };
    const int edits = 1 + int(random() % 8);
    for (int e = 0; e < edits; ++e) {
        if (bytes.isEmpty())
            bytes.append(char(random()));
        switch (random() % 9) {
        case 0: // flip a bit
            bytes[pick(bytes.size())] ^= char(1 << (random() % 8));
            break;
        case 1: // an interesting byte
            bytes[pick(bytes.size())] = INTERESTING[random() % sizeof INTERESTING];
            break;
        case 2: { // a large or small 32-bit number, as sizes and counts are
            const qsizetype at = pick(bytes.size());
            const quint32 values[] = { 0, 1, 0x7fffffff, 0x80000000, 0xffffffff, 0xfffffffe, 0x10000, 0xffff };
            const quint32 v = values[random() % 8];
            for (int i = 0; i < 4 && at + i < bytes.size(); ++i)
                bytes[at + i] = char((v >> (8 * (random() % 2 ? i : 3 - i))) & 0xff);
            break;
        }
        case 3: // cut the tail
            bytes.truncate(pick(bytes.size() + 1));
            break;
        case 4: { // repeat a piece
            const qsizetype at = pick(bytes.size());
            const qsizetype length = 1 + pick(qMin<qsizetype>(bytes.size() - at, 256));
            bytes.insert(pick(bytes.size()), bytes.mid(at, length));
            break;
        }
        case 5: // remove a piece
            bytes.remove(pick(bytes.size()), 1 + pick(64));
            break;
        case 6: { // random bytes in between
            QByteArray noise(1 + pick(32), '\0');
            for (char& c : noise)
                c = char(random());
            bytes.insert(pick(bytes.size()), noise);
            break;
        }
        case 7: { // a piece of another seed: texts mix well this way
            const QByteArray& other = seeds[pick(seeds.size())];
            const qsizetype at = pick(other.size());
            bytes.insert(pick(bytes.size()), other.mid(at, 1 + pick(qMin<qsizetype>(other.size() - at, 128))));
            break;
        }
        default: // random bytes over
            for (qsizetype i = pick(bytes.size()), n = 1 + pick(16); n > 0 && i < bytes.size(); --n, ++i)
                bytes[i] = char(random());
            break;
        }
    }
    return bytes;
}

} // namespace

int main(int argc, char** argv)
{
    LLVMFuzzerInitialize(&argc, &argv);
    const qint64 inputs = argc > 1 ? QByteArray(argv[1]).toLongLong() : 1000000;
    const quint64 seed = argc > 2 ? QByteArray(argv[2]).toULongLong() : 1;
    const QString corpus = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QStringLiteral(BF_FUZZ_CORPUS);
    const QString target = QFileInfo(QString::fromLocal8Bit(argv[0])).fileName();
    std::snprintf(crashPath, sizeof crashPath, "crash-%s", qPrintable(target));

    QList<QByteArray> seeds;
    for (const QFileInfo& file : QDir(corpus).entryInfoList(QDir::Files, QDir::Name)) {
        QFile input(file.filePath());
        if (input.open(QIODevice::ReadOnly))
            seeds << input.readAll();
    }
    if (seeds.isEmpty()) {
        std::fprintf(stderr, "%s: no seed in %s\n", qPrintable(target), qPrintable(corpus));
        return 1;
    }
    for (int signal : { SIGSEGV, SIGABRT, SIGBUS, SIGFPE, SIGILL })
        std::signal(signal, &keepInputAndDie);

    std::mt19937_64 random(seed);
    QElapsedTimer clock;
    clock.start();
    qint64 slowestNs = 0;
    // The seeds as they are first, then their mutations.
    for (qint64 n = 0; n < inputs; ++n) {
        const QByteArray input = n < seeds.size() ? seeds[n] : mutate(seeds[qsizetype(random() % quint64(seeds.size()))], seeds, random);
        currentInput = &input;
        QElapsedTimer one;
        one.start();
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.constData()), size_t(input.size()));
        slowestNs = qMax(slowestNs, one.nsecsElapsed());
        currentInput = nullptr;
    }
    std::printf("%s: seed %llu, %lld inputs from %lld seeds in %.1f s, no crash; slowest input %.1f ms\n",
        qPrintable(target), static_cast<unsigned long long>(seed), static_cast<long long>(inputs),
        static_cast<long long>(seeds.size()), clock.elapsed() / 1000.0, slowestNs / 1e6);
    return 0;
}
