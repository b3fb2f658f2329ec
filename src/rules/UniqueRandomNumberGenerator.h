// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QSet>
#include <QUuid>

#include <limits>

// Random numbers that no other file of the list gets, one per file id, kept for
// that file while the generator lives.
struct UniqueRandomNumberGenerator {
    qint64 minimumCount = 1;
    QHash<QUuid, qint64> numbers;
    QSet<qint64> uniqueNumbers;

    UniqueRandomNumberGenerator() = default;
    explicit UniqueRandomNumberGenerator(qint64 minimumCount);

    // The file's number, drawn on first request from 0 ... base^width - 1, where
    // the width fits the larger of the minimum count and the numbers handed out;
    // never above `limit`.
    qint64 number(const QUuid& id, qint64 digits, qint64 base, qint64 limit = std::numeric_limits<qint64>::max());

    // The largest value of `width` digits in `base`, the width raised so that
    // `min` fits; the largest qint64 when it does not fit 63 bits.
    static qint64 maxValue(qint64 digits, qint64 base, qint64 min);

    bool operator==(const UniqueRandomNumberGenerator&) const = default;

private:
    qint64 uniqueRandomInt(qint64 max);
};
