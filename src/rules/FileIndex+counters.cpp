// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/FileIndex+counters.h"

#include "rules/Transformer.h"
#include "tokens/DecodingError.h"
#include "tokens/JsonRead.h"

#include <QHashFunctions>
#include <QStringList>

#include <limits>

namespace FileIndexCounters {

qint64 value(const FileIndex& fileIndex, const QString& id)
{
    return fileIndex.index.value(id, 0);
}

void setValue(FileIndex& fileIndex, const QString& id, qint64 value)
{
    fileIndex.index.insert(id, value);
}

void increment(FileIndex& fileIndex, const QString& id)
{
    qint64 next = 0;
    if (__builtin_add_overflow(value(fileIndex, id), qint64(1), &next))
        next = std::numeric_limits<qint64>::max();
    fileIndex.index.insert(id, next);
}

void reset(FileIndex& fileIndex, const QString& id)
{
    fileIndex.index.remove(id);
}

bool isDifferentDirectory(FileIndex& fileIndex, const File& file, const QString& id)
{
    const qint64 hash = static_cast<qint64>(qHash(file.source.fileInfo.path));
    const auto old = fileIndex.directoryHash.constFind(id);
    // The first file always counts as a change, also for a folder hashing to 0.
    const bool different = old == fileIndex.directoryHash.cend() || old.value() != hash;
    fileIndex.directoryHash.insert(id, hash);
    return different;
}

void updateIndexes(FileIndex& fileIndex, const QList<Transformer>& transformers)
{
    QMap<QString, qint64> kept;
    for (const Transformer& transformer : transformers) {
        if (transformer.isNumberingWithContinuedStart() && fileIndex.index.contains(transformer.id))
            kept.insert(transformer.id, fileIndex.index.value(transformer.id));
    }
    fileIndex.index = kept;
}

QString indexDescription(const FileIndex& fileIndex)
{
    if (fileIndex.index.isEmpty())
        return QStringLiteral("[:]");
    QStringList entries;
    for (auto it = fileIndex.index.cbegin(); it != fileIndex.index.cend(); ++it)
        entries << QStringLiteral("\"%1\": %2").arg(it.key()).arg(it.value());
    return QLatin1Char('[') + entries.join(QStringLiteral(", ")) + QLatin1Char(']');
}

namespace {
QJsonObject counters(const QMap<QString, qint64>& map)
{
    QJsonObject object;
    for (auto it = map.cbegin(); it != map.cend(); ++it)
        object.insert(it.key(), it.value());
    return object;
}

QMap<QString, qint64> readCounters(const QJsonObject& object, const QString& key)
{
    const auto members = JsonRead::optionalObject(object, key);
    if (!members)
        throw DecodingError(QStringLiteral("Missing key \"%1\"").arg(key));
    QMap<QString, qint64> map;
    for (auto it = members->constBegin(); it != members->constEnd(); ++it) {
        const auto number = JsonRead::integer(it.value());
        if (!number)
            throw DecodingError(QStringLiteral("Expected an integer for \"%1\"").arg(it.key()));
        map.insert(it.key(), *number);
    }
    return map;
}
} // namespace

QJsonObject toJson(const FileIndex& fileIndex)
{
    return QJsonObject { { QStringLiteral("index"), counters(fileIndex.index) },
        { QStringLiteral("directoryHash"), counters(fileIndex.directoryHash) } };
}

FileIndex fromJson(const QJsonObject& object)
{
    FileIndex fileIndex;
    fileIndex.index = readCounters(object, QStringLiteral("index"));
    fileIndex.directoryHash = readCounters(object, QStringLiteral("directoryHash"));
    return fileIndex;
}

} // namespace FileIndexCounters
