// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/UpdateUtil.h"

#include "app/SignatureUtil.h"
#include "platform/HttpGet.h"
#include "platform/Log.h"
#include "platform/MainThread.h"
#include "platform/Task.h"
#include "uikit/Alert.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QMimeDatabase>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace UpdateUtil {

namespace {
constexpr auto TIMEOUT = std::chrono::minutes(10);

void fail(const QString& error)
{
    if (!error.isEmpty())
        Log::error(Log::Category::general, "Update failed: %{public}@", error);
    showUpdateFailedMessage();
}
} // namespace

Hooks defaultHooks()
{
    return Hooks {
        updateFolder(),
        SignatureUtil::publicKey(),
        [](const QString& path) {
            Log::info(Log::Category::general, "Launching %{public}s", QUrl::fromLocalFile(path).toString());
            if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
                Log::error(Log::Category::general, "Update failed: %{public}@", QStringLiteral("No application opens %1").arg(path));
        },
        [] { QCoreApplication::quit(); },
    };
}

void downloadAndLaunch(const QUrl& url, const QString& signature)
{
    Log::info(Log::Category::general, "Downloading from %{public}s", url.toString());
    TaskHandle::detached([url, signature](std::stop_token) { download(url, signature, defaultHooks()); });
}

bool download(const QUrl& url, const QString& signature, const Hooks& hooks)
{
    const QString name = sanitizedFileName(url);
    const QString target = QDir(hooks.folder).filePath(name);
    Log::debug(Log::Category::general, "tempFile: %{public}s", target);
    if (hooks.folder.isEmpty()) {
        fail(QStringLiteral("No folder for updates"));
        return false;
    }
    if (!QMimeDatabase().mimeTypeForFile(name, QMimeDatabase::MatchExtension).inherits(hooks.packageType)) {
        fail(QStringLiteral("The update %1 is not a package of the type %2").arg(name, hooks.packageType));
        return false;
    }
    // Hidden and removed unless it is verified; never under the final name before.
    QTemporaryFile partial(QDir(hooks.folder).filePath(QStringLiteral(".download-XXXXXX")));
    if (!partial.open()) {
        fail(partial.errorString());
        return false;
    }
    HttpGet::Options options;
    options.timeout = TIMEOUT;
    options.maximumBytes = hooks.maximumBytes;
    options.write = [&partial](QByteArrayView piece) { return partial.write(piece.data(), piece.size()) == piece.size(); };
    const HttpGet::Result result = HttpGet::get(url, options);
    if (result.kind != HttpGet::Result::Kind::finished) {
        fail(result.kind == HttpGet::Result::Kind::failed && partial.error() != QFileDevice::NoError ? partial.errorString() : result.errorText);
        return false;
    }
    if (!result.isSuccess() || !partial.flush()) {
        fail({});
        return false;
    }
    // Read from the disk through a mapping: the body never sits in memory whole.
    const qint64 size = partial.size();
    const uchar* mapped = size > 0 ? partial.map(0, size) : nullptr;
    const QByteArray written = mapped ? QByteArray::fromRawData(reinterpret_cast<const char*>(mapped), size) : QByteArray();
    const bool verified = SignatureUtil::validateSignedData(written, signature, hooks.publicKey)
        && isPackage(name, written.left(4096), hooks.packageType);
    if (mapped)
        partial.unmap(const_cast<uchar*>(mapped));
    // A wrong signature or content: the partial file goes, nothing is kept.
    if (!verified) {
        fail({});
        return false;
    }
    if (::fsync(partial.handle()) != 0 || ::rename(QFile::encodeName(partial.fileName()).constData(), QFile::encodeName(target).constData()) != 0) {
        fail(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    partial.setAutoRemove(false);
    MainThread::post([hooks, target] {
        showDownloadSuccessfulMessage([hooks, target] {
            hooks.open(target);
            hooks.quit();
        });
    });
    return true;
}

bool isPackage(const QString& name, const QByteArray& head, const QString& type)
{
    const QMimeDatabase types;
    return types.mimeTypeForFile(name, QMimeDatabase::MatchExtension).inherits(type)
        && types.mimeTypeForData(head).inherits(type);
}

QString sanitizedFileName(const QUrl& url)
{
    QString name;
    for (const QChar c : url.fileName()) {
        if ((c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            || (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('.') || c == QLatin1Char('_')
            || c == QLatin1Char('-'))
            name += c;
    }
    while (name.startsWith(QLatin1Char('.')))
        name.remove(0, 1);
    return name.isEmpty() ? QStringLiteral("update.bin") : name;
}

QString updateFolder()
{
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (cache.isEmpty())
        return {};
    const QString folder = cache + QStringLiteral("/updates");
    if (!QDir().mkpath(folder))
        return {};
    // Only the user may read or replace what is opened from here.
    if (!QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
        return {};
    return folder;
}

bool saveFile(const QByteArray& data, const QString& path, QString* error)
{
    Log::debug(Log::Category::general, "Writing to file: %{public}s", path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    return true;
}

void showDownloadSuccessfulMessage(const std::function<void()>& whenClosed)
{
    Alert::info(QStringLiteral("Download completed successfully."),
        QStringLiteral("The application will now close to allow installation to proceed."), {},
        [whenClosed](Alert::ModalResponse) { whenClosed(); });
}

void showUpdateFailedMessage()
{
    Alert::warning(QStringLiteral("Update failed"), QStringLiteral("Please try again later"));
}

} // namespace UpdateUtil
