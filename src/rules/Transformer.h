// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/File.h"
#include "files/FileIndex.h"
#include "files/TransformScope.h"
#include "rules/Transformable.h"
#include "rules/TransformerProperties.h"
#include "rules/TransformerState.h"
#include "rules/TransformerType.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringConverter>

#include <memory>
#include <optional>

// One rename rule ("Rename Action"): its kind, the part of the path it edits,
// its settings and its run state.
struct Transformer {
    static inline const QString pasteboardType = QStringLiteral("com.tollamarquendrel.brackenfold.transformer");

    QString id = newId();
    TransformerType type = TransformerType::simple;
    TransformScope transformScope = TransformScope::filename;
    bool disabled = false;
    std::optional<QString> description;
    TransformerProperties properties;
    TransformerState state;           // never stored, never compared
    bool needsInitialSave = true;     // never stored, never compared

    static Transformer newTransformer();
    // "transformer_" and the creation time in hexadecimal milliseconds; never
    // the same id twice in one process, even for rules made in one millisecond.
    static QString newId();

    // The kind of this rule.
    std::unique_ptr<Transformable> transformer() const;
    // The kind's button label, "?" without a kind.
    QString buttonLabel() const;
    bool usesFileAttributes() const;
    // Whether the rule's result for a file comes from that file alone: no
    // counter or random number carried from file to file, and no attribute
    // token (addresses are looked up, and their failures told, in list order).
    // Disabled rules do nothing and count as such.
    bool dependsOnItsFileAlone() const;
    bool isNumberingWithContinuedStart() const;
    // A Numbering rule that carries its start on starts, from now on, at the
    // number its next file would have had after `fileIndex`.
    void updateNumberingStartToNextSequentialNumber(const FileIndex& fileIndex);

    // The preview run of this rule on one file: never throws; a failure goes
    // into the file's validation errors.
    void transformQuick(File& file, FileIndex& fileIndex);
    // The full run: logs and records every failure but `skipped`, then throws it.
    void transform(File& file, FileIndex& fileIndex);

    // Throws DecodingError (also for text that the encoding cannot carry).
    static Transformer fromJson(const QString& json, QStringConverter::Encoding encoding = QStringConverter::Utf8);
    static Transformer fromJsonData(const QByteArray& data);
    static Transformer fromJsonObject(const QJsonObject& object);
    QJsonObject toJson() const;

    // Ids, kinds, scopes, flags, descriptions and the settings of the rule's own kind.
    bool operator==(const Transformer& other) const;

private:
    void run(TransformMode mode, File& file, FileIndex& fileIndex);
    bool passesGates(const File& file) const;
};

size_t qHash(const Transformer& transformer, size_t seed = 0);
