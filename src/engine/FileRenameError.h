#pragma once

#include <QUrl>

#include <exception>

// The two failures of a rename that are not file-system errors. A plain value:
// the rename run turns it into a RenameError with its own domain.
class FileRenameError : public std::exception {
public:
    enum class Kind { sourceDoesNotExist, targetAlreadyExists };

    static FileRenameError sourceDoesNotExist(QUrl url) { return FileRenameError(Kind::sourceDoesNotExist, std::move(url)); }
    // `url` is the target as requested, before any counter.
    static FileRenameError targetAlreadyExists(QUrl url) { return FileRenameError(Kind::targetAlreadyExists, std::move(url)); }

    Kind kind() const { return m_kind; }
    const QUrl& url() const { return m_url; }
    const char* what() const noexcept override { return "FileRenameError"; }

private:
    FileRenameError(Kind kind, QUrl url)
        : m_kind(kind)
        , m_url(std::move(url))
    {
    }

    Kind m_kind;
    QUrl m_url;
};
