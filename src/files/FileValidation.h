// SPDX-License-Identifier: GPL-3.0-or-later
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
    // The failures of the rules in the last transform (a pattern that does
    // not compile): they stay among the errors until the next transform.
    QSet<QString> ruleErrors;

    void insertError(const QString& error) { errors.insert(error); }
    void insertWarning(const QString& warning) { warnings.insert(warning); }
    void insertErrors(const QSet<QString>& more) { errors.unite(more); }
    void insertRuleError(const QString& error)
    {
        ruleErrors.insert(error);
        errors.insert(error);
    }
    // Keeps the errors a name check cannot clear: the rules' and the run's.
    void clearValidationResults()
    {
        errors = ruleErrors;
        if (!listedItemError.isEmpty())
            errors.insert(listedItemError);
        warnings.clear();
    }
    void clearAll()
    {
        ruleErrors.clear();
        clearValidationResults();
    }
    QStringList errorsArray() const { return QStringList(errors.cbegin(), errors.cend()); }
    bool hasNoErrors() const { return errors.isEmpty(); }

    bool operator==(const FileValidation&) const = default;
};
