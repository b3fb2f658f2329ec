#pragma once

#include <QSet>
#include <QString>
#include <QStringList>
#include <QUuid>

// The errors and warnings of a file's new name, written by the validation.
struct FileValidation {
    QUuid id;
    QSet<QString> errors;
    QSet<QString> warnings;
    // The error a rename run met because the listed item had gone or been
    // replaced. A new validation keeps it: no later run can rename that item.
    QString listedItemError;

    void insertError(const QString& error) { errors.insert(error); }
    void insertWarning(const QString& warning) { warnings.insert(warning); }
    void insertErrors(const QSet<QString>& more) { errors.unite(more); }
    void clearValidationResults()
    {
        errors.clear();
        warnings.clear();
    }
    QStringList errorsArray() const { return QStringList(errors.cbegin(), errors.cend()); }
    bool hasNoErrors() const { return errors.isEmpty(); }

    bool operator==(const FileValidation&) const = default;
};
