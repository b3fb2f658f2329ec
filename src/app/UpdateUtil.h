// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <functional>

// Downloads an offered update, accepts it only when its signature verifies and
// it is the kind of package we publish, keeps it in a folder of our own and
// hands it to the desktop, which opens it with the user's handler for its type.
// Nothing is ever made executable or run.
namespace UpdateUtil {

// A download is at most this large.
constexpr qint64 MAXIMUM_UPDATE_BYTES = qint64(512) * 1024 * 1024;
// What we publish: the desktop picks the handler by the file's type, so a
// signed file under another name could reach another handler.
inline const QString PACKAGE_TYPE = QStringLiteral("application/vnd.debian.binary-package");

struct Hooks {
    QString folder;                                  // where the verified file is written
    QString publicKey;                               // hexadecimal Ed25519 key
    std::function<void(const QString& path)> open;  // main thread
    std::function<void()> quit;                      // main thread
    QString packageType = PACKAGE_TYPE;              // by the name and by the content
    qint64 maximumBytes = MAXIMUM_UPDATE_BYTES;
};
Hooks defaultHooks();

// Starts the download off the main thread and returns at once.
void downloadAndLaunch(const QUrl& url, const QString& signature);

// The whole download, blocking the calling worker. The body is written to a
// hidden file of the folder as it arrives and takes its name only once it is
// complete, verified and of the package type; anything else removes it. True
// when the file was verified and written; then, on the main thread, the
// success alert is shown and, once the user closes it, the file is opened and
// the application quits.
bool download(const QUrl& url, const QString& signature, const Hooks& hooks);

// The last part of the address, reduced to letters, digits, ".", "_" and "-";
// "update.bin" when nothing usable is left.
QString sanitizedFileName(const QUrl& url);
// The private folder for updates (mode 0700), made when missing.
QString updateFolder();
// Writes the bytes atomically; on failure `error` says why.
bool saveFile(const QByteArray& data, const QString& path, QString* error);
// Whether the name and the first bytes both say `type`.
bool isPackage(const QString& name, const QByteArray& head, const QString& type);

void showDownloadSuccessfulMessage(const std::function<void()>& whenClosed);
void showUpdateFailedMessage();

} // namespace UpdateUtil
