// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The outcome of a full transformation of all files: the rename run goes on only
// after `ok`.
struct TransformationResult {
    enum class Kind { error, ok, aborted };

    Kind kind = Kind::aborted;
    QString message; // for `error`: why the rules failed

    static TransformationResult ok() { return { Kind::ok, {} }; }
    static TransformationResult aborted() { return { Kind::aborted, {} }; }
    static TransformationResult error(const QString& message) { return { Kind::error, message }; }

    bool operator==(const TransformationResult&) const = default;
};
