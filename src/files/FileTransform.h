// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/ExtendedFileInfo.h"
#include "files/FileIndex.h"
#include "files/TransformScope.h"

#include <QStringList>
#include <QUuid>

#include <optional>

// A text field that normalises every value assigned to it by its rule.
template <QString (*Rule)(const QString&)>
class NormalizedText {
public:
    NormalizedText() = default;
    // Stores `raw` as given; only later assignments are normalised.
    static NormalizedText unnormalized(QString raw)
    {
        NormalizedText field;
        field.m_value = std::move(raw);
        return field;
    }
    NormalizedText& operator=(const QString& value)
    {
        m_value = Rule(value);
        return *this;
    }
    const QString& value() const { return m_value; }
    operator const QString&() const { return m_value; }
    bool operator==(const NormalizedText&) const = default;

private:
    QString m_value;
};

namespace FileTransformRules {
// "/" in front, runs of "/" collapsed, one trailing "/" removed unless it is all.
QString path(const QString& value);
// Runs of "/" collapsed, one leading "/" removed.
QString name(const QString& value);
// Runs of "." collapsed, one leading and one trailing "." removed.
QString ext(const QString& value);
} // namespace FileTransformRules

// The new folder path, name and extension that the rules build for one file,
// with the flags of the transformation run.
class FileTransform {
public:
    FileTransform() = default;
    FileTransform(QUuid id, bool isDirectory, bool isHidden, const QString& transformedPath,
        const QString& transformedName, const QString& transformedExt, QString uniqueSuffix = {},
        bool isDirty = true, bool isSelected = true, std::optional<FileIndex> fileIndex = std::nullopt);
    // The initial transform of a file's information.
    static FileTransform initial(QUuid id, const ExtendedFileInfo& fileInfo, std::optional<FileIndex> fileIndex);

    const QUuid& id() const { return m_id; }
    // The same transform for the file of another id.
    FileTransform withId(QUuid id) const
    {
        FileTransform copy = *this;
        copy.m_id = id;
        return copy;
    }
    bool isDirectory() const { return m_isDirectory; }
    bool isHidden() const { return m_isHidden; }
    const QString& initialLastPathComponent() const { return m_initialLastPathComponent; }

    NormalizedText<FileTransformRules::path> transformedPath;
    NormalizedText<FileTransformRules::name> transformedName;
    NormalizedText<FileTransformRules::ext> transformedExt;
    QString uniqueSuffix;
    bool isDirty = true;
    bool isSelected = true;
    bool isFirstFileInDirectory = false;
    std::optional<FileIndex> fileIndex;
    bool lateUpdateRequired = false;
    // What the new name lacks and why (an address that could not be found);
    // the validation shows them as the file's warnings.
    QStringList resolutionWarnings;

    QString transformedFullPath() const;
    // Whether transformedFullPath() is `path`, mostly answered without making it.
    bool isFullPath(QStringView path) const;
    // The last component the item will have on disk: name, unique suffix and extension.
    QString targetFileName() const;
    void setTransformedFullPath(const QString& value);
    QString transformedExtSuffix() const;
    // "." between name and extension, unless the extension has its own or there is none.
    QStringView extSeparator() const;

    // The text a rule of that scope works on: hidden names without their dot.
    QString getTransformedText(TransformScope scope) const;
    // Writes a rule's result back, or drops it when the preferences forbid it.
    void setTransformedText(const QString& text, TransformScope scope);
    void setFileIndex(const FileIndex& index) { fileIndex = index; }

    bool operator==(const FileTransform&) const = default;

private:
    void writeName(const QString& text);
    void writePath(const QString& text);
    void writeFullPath(const QString& text);

    QUuid m_id;
    bool m_isDirectory = false;
    bool m_isHidden = false;
    QString m_initialLastPathComponent;
};
