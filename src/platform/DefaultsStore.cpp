// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/DefaultsStore.h"

#include "platform/Log.h"
#include "platform/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QStandardPaths>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

DefaultsStore::DefaultsStore(QString filePath)
    : m_filePath(std::move(filePath))
{
    load();
}

QString DefaultsStore::standardFilePath()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return folder + QStringLiteral("/brackenfold/defaults.json");
}

DefaultsStore& DefaultsStore::standard()
{
    static DefaultsStore store(standardFilePath());
    return store;
}

QJsonValue DefaultsStore::value(const QString& key) const
{
    QMutexLocker lock(&m_mutex);
    auto stored = m_stored.constFind(key);
    if (stored != m_stored.constEnd())
        return *stored;
    return m_registered.value(key);
}

bool DefaultsStore::isStored(const QString& key) const
{
    QMutexLocker lock(&m_mutex);
    return m_stored.contains(key);
}

void DefaultsStore::setValue(const QString& key, const QJsonValue& value)
{
    QMutexLocker lock(&m_mutex);
    if (value.isUndefined() || value.isNull())
        m_stored.remove(key);
    else
        m_stored.insert(key, value);
    save();
}

void DefaultsStore::remove(const QString& key)
{
    QMutexLocker lock(&m_mutex);
    m_stored.remove(key);
    save();
}

void DefaultsStore::registerDefaults(const QJsonObject& defaults)
{
    QMutexLocker lock(&m_mutex);
    for (auto it = defaults.begin(); it != defaults.end(); ++it)
        m_registered.insert(it.key(), it.value());
}

QString DefaultsStore::lastError() const
{
    QMutexLocker lock(&m_mutex);
    return m_lastError;
}

void DefaultsStore::load()
{
    // Only a regular file of settings' size is read: a named pipe or a device
    // at this path would hold the start for good.
    const RegularFile::Contents contents = RegularFile::read(m_filePath, MAX_FILE_SIZE);
    switch (contents.failure) {
    case RegularFile::Failure::none:
        break;
    case RegularFile::Failure::cannotOpen:
    case RegularFile::Failure::cannotRead:
        if (contents.error != ENOENT)
            Log::error(Log::Category::general, "Unable to read settings %s: %s", m_filePath, contents.reason);
        return;
    case RegularFile::Failure::notRegular:
    case RegularFile::Failure::tooLarge:
        Log::error(Log::Category::general, "Settings %s are not read: not a regular file of settings' size", m_filePath);
        return;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(contents.data, &parseError);
    if (!document.isObject()) {
        Log::error(Log::Category::general, "Settings file %s is not a JSON object: %s",
            m_filePath, parseError.errorString());
        setDamagedFileAside();
        return;
    }
    m_stored = document.object();
}

void DefaultsStore::setDamagedFileAside()
{
    // Each damaged file is kept under a name of its own, never over an earlier one.
    const QByteArray from = QFile::encodeName(m_filePath);
    for (int number = 1; number <= MAX_DAMAGED_FILES; ++number) {
        const QString name = m_filePath + QStringLiteral(".damaged")
            + (number == 1 ? QString() : QStringLiteral("-%1").arg(number));
        const QByteArray to = QFile::encodeName(name);
        int result = ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE);
        // A file system without that rename: a second link, then the first one goes.
        if (result != 0 && (errno == EINVAL || errno == ENOSYS)) {
            result = ::link(from.constData(), to.constData());
            if (result == 0)
                ::unlink(from.constData());
        }
        if (result == 0) {
            Log::error(Log::Category::general, "Damaged settings kept as %s", name);
            return;
        }
        if (errno != EEXIST)
            break;
    }
    // Written over, it would be lost: the settings of this run stay in memory.
    m_keepsDamagedFile = true;
    Log::error(Log::Category::general, "Damaged settings %s could not be set aside; settings are not written", m_filePath);
}

void DefaultsStore::save()
{
    if (m_keepsDamagedFile) {
        m_lastError = QStringLiteral("The damaged settings file could not be set aside.");
        return;
    }
    // The settings hold the places of the user's photos: a folder made here is
    // the user's alone, and so is the file. A new file is written beside the
    // old and renamed over it, which replaces a link there, never its target.
    const QString folder = QFileInfo(m_filePath).absolutePath();
    if (!QFileInfo::exists(folder) && QDir().mkpath(folder))
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const auto fail = [this](const QString& error) {
        m_lastError = error;
        Log::error(Log::Category::general, "Unable to write settings %s: %s", m_filePath, m_lastError);
    };
    const QByteArray target = QFile::encodeName(m_filePath);
    QByteArray temporary = target + ".XXXXXX";
    const int descriptor = ::mkostemp(temporary.data(), O_CLOEXEC); // 0600, whatever the umask
    if (descriptor < 0)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    const QByteArray content = QJsonDocument(m_stored).toJson(QJsonDocument::Indented);
    int error = 0;
    for (qsizetype written = 0; written < content.size() && !error;) {
        const ssize_t n = ::write(descriptor, content.constData() + written, size_t(content.size() - written));
        if (n > 0)
            written += n;
        else if (n == 0)
            error = EIO;
        else if (errno != EINTR)
            error = errno;
    }
    if (!error && ::fsync(descriptor) != 0)
        error = errno;
    if (::close(descriptor) != 0 && !error)
        error = errno;
    if (!error && ::rename(temporary.constData(), target.constData()) != 0)
        error = errno;
    if (error) {
        ::unlink(temporary.constData());
        return fail(QString::fromLocal8Bit(std::strerror(error)));
    }
    m_lastError.clear();
}
