// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QUrl>

#include <exception>
#include <string>

// The failures of a rename that are not file-system errors, each with a
// sentence for the user and the system code that matches it. The rename run
// turns it into a RenameError with its own domain.
class FileRenameError : public std::exception {
public:
    enum class Kind { sourceDoesNotExist, sourceReplaced, targetAlreadyExists };

    // Nothing is at the listed place any more.
    static FileRenameError sourceDoesNotExist(const QUrl& url) { return FileRenameError(Kind::sourceDoesNotExist, url); }
    // Another item took the listed item's place after it was listed.
    static FileRenameError sourceReplaced(const QUrl& url) { return FileRenameError(Kind::sourceReplaced, url); }
    // `url` is the target as requested, before any counter.
    static FileRenameError targetAlreadyExists(const QUrl& url) { return FileRenameError(Kind::targetAlreadyExists, url); }

    Kind kind() const { return m_kind; }
    const QUrl& url() const { return m_url; }
    // ENOENT when the listed item is not at its place, EEXIST for a taken target.
    int code() const;
    const QString& message() const { return m_message; }
    const char* what() const noexcept override { return m_what.c_str(); }

private:
    FileRenameError(Kind kind, const QUrl& url);

    Kind m_kind;
    QUrl m_url;
    QString m_message;
    std::string m_what;
};
