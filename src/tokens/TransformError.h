// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <exception>

// The failures of one rule on one file. Thrown by the token resolution and the
// rule kinds; the rule run decides what each means for the file.
class TransformError : public std::exception {
public:
    enum class Kind { fatal, lateUpdateRequired, skipped, aborted };

    static TransformError fatal(const QString& messageText, const QString& informativeText)
    {
        return TransformError(Kind::fatal, messageText, informativeText);
    }
    static TransformError lateUpdateRequired() { return TransformError(Kind::lateUpdateRequired); }
    static TransformError skipped() { return TransformError(Kind::skipped); }
    static TransformError aborted() { return TransformError(Kind::aborted); }

    Kind kind() const { return m_kind; }
    QString messageText() const { return m_messageText; }
    QString informativeText() const { return m_informativeText; }
    const char* what() const noexcept override { return "TransformError"; }

private:
    explicit TransformError(Kind kind, QString messageText = {}, QString informativeText = {})
        : m_kind(kind)
        , m_messageText(std::move(messageText))
        , m_informativeText(std::move(informativeText))
    {
    }
    Kind m_kind;
    QString m_messageText;
    QString m_informativeText;
};
