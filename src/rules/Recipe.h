// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/Version.h"
#include "files/FileSortOrder.h"
#include "rules/Transformer.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringConverter>
#include <QUrl>

#include <optional>

// The stored form of a rule list: one compact JSON object with sorted keys,
// holding the format version, the rules in order and the file list's sort
// order. Every key is optional on reading; older forms are converted.
struct Recipe {
    static inline const Version RECIPE_FORMAT_VERSION { QStringLiteral("9.1") };
    static inline const QString RECIPE_FILE_EXTENTION = QStringLiteral("recipe");
    // The document type, and the MIME type the desktop knows recipe files by.
    static inline const QString contentType = QStringLiteral("com.brackenfold.recipe");
    static inline const QString mimeType = QStringLiteral("application/x-brackenfold-recipe");
    // The recipe that belongs to a folder: a file of this name inside it.
    static inline const QString FOLDER_RECIPE_NAME = QStringLiteral(".recipe");
    // The largest file read as a recipe.
    static constexpr qint64 MAX_FILE_SIZE = 64 * 1024 * 1024;

    std::optional<QString> recipeFormatVersion;
    std::optional<QList<Transformer>> transformers;
    std::optional<FileSortOrder> sortOrder;

    // The bytes of the file; only the fields that are set are written.
    QByteArray getData() const;
    QJsonObject toJson() const;

    // Each read throws DecodingError; no partial recipe comes out of a failure.
    static Recipe fromData(const QByteArray& data);
    static Recipe fromURL(const QUrl& url);
    // Text that the encoding cannot carry fails as well.
    static Recipe fromText(const QString& json, QStringConverter::Encoding encoding = QStringConverter::Utf8);
    static Recipe fromJson(const QJsonObject& object);

    // Whether this build reads the recipe's format: not newer than its own.
    bool isSupportedFormat() const;
};
