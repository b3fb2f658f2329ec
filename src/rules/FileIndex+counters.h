// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/File.h"
#include "files/FileIndex.h"

#include <QJsonObject>
#include <QList>

struct Transformer;

// The numbering counters of one run, per rule id. Counters saturate at the
// largest qint64 instead of overflowing.
namespace FileIndexCounters {

// The number of files the rule has numbered so far; 0 when it has none.
qint64 value(const FileIndex& fileIndex, const QString& id);
void setValue(FileIndex& fileIndex, const QString& id, qint64 value);
void increment(FileIndex& fileIndex, const QString& id);
void reset(FileIndex& fileIndex, const QString& id);

// Remembers the folder of `file` for the rule and answers whether it differs
// from the folder the rule saw last (the first file always differs).
bool isDifferentDirectory(FileIndex& fileIndex, const File& file, const QString& id);

// Keeps only the counters of Numbering rules that carry their start on.
void updateIndexes(FileIndex& fileIndex, const QList<Transformer>& transformers);

// The counters as text for log lines: ["id": 3, ...].
QString indexDescription(const FileIndex& fileIndex);

// {"index": {...}, "directoryHash": {...}}; both keys are required when read.
QJsonObject toJson(const FileIndex& fileIndex);
// Throws DecodingError.
FileIndex fromJson(const QJsonObject& object);

} // namespace FileIndexCounters
