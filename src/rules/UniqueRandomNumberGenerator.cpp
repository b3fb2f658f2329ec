// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/UniqueRandomNumberGenerator.h"

#include <QRandomGenerator>

#include <algorithm>
#include <limits>
#include <random>

namespace {
constexpr qint64 kMaxReserve = 1 << 20;
constexpr qint64 kMaxAttempts = 1 << 24;
} // namespace

UniqueRandomNumberGenerator::UniqueRandomNumberGenerator(qint64 minimumCount)
    : minimumCount(minimumCount)
{
    if (minimumCount >= 11)
        uniqueNumbers.reserve(std::min(minimumCount, kMaxReserve));
}

qint64 UniqueRandomNumberGenerator::number(const QUuid& id, qint64 digits, qint64 base, qint64 limit)
{
    if (const auto it = numbers.constFind(id); it != numbers.cend())
        return it.value();
    const qint64 needed = std::max(minimumCount, static_cast<qint64>(numbers.size()) + 1);
    const qint64 n = uniqueRandomInt(std::min(maxValue(digits, base, needed), limit));
    numbers.insert(id, n);
    return n;
}

qint64 UniqueRandomNumberGenerator::maxValue(qint64 digits, qint64 base, qint64 min)
{
    // A base below 2 has no digits to count in; it draws from 0 ... 1.
    base = std::max<qint64>(base, 2);
    qint64 width = std::max<qint64>(digits, 1);
    if (min >= base) {
        qint64 minimumWidth = 0;
        for (qint64 rest = min; rest > 0; rest /= base)
            ++minimumWidth;
        width = std::max(width, minimumWidth);
    }
    // Exact integers: a double loses the last digits of wide ranges.
    qint64 power = 1;
    for (qint64 i = 0; i < width; ++i) {
        if (__builtin_mul_overflow(power, base, &power))
            return std::numeric_limits<qint64>::max();
    }
    return power - 1;
}

qint64 UniqueRandomNumberGenerator::uniqueRandomInt(qint64 max)
{
    const qint64 served = std::max(minimumCount, static_cast<qint64>(numbers.size()));
    // Checked: a huge count must not overflow the attempt budget.
    const qint64 attempts = served > kMaxAttempts / 10 ? kMaxAttempts : std::max<qint64>(100, served * 10);
    std::uniform_int_distribution<quint64> distribution(0, static_cast<quint64>(std::max<qint64>(max, 0)));
    QRandomGenerator* source = QRandomGenerator::global();
    qint64 drawn = 0;
    for (qint64 attempt = 0; attempt < attempts; ++attempt) {
        drawn = static_cast<qint64>(distribution(*source));
        if (!uniqueNumbers.contains(drawn)) {
            uniqueNumbers.insert(drawn);
            break;
        }
    }
    return drawn;
}
