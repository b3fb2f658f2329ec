#include "platform/DefaultsStore.h"

#include "platform/Log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSaveFile>
#include <QStandardPaths>

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
    QFile file(m_filePath);
    if (!file.exists())
        return;
    if (!file.open(QIODevice::ReadOnly)) {
        Log::error(Log::Category::general, "Unable to read settings %s: %s", m_filePath, file.errorString());
        return;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (!document.isObject()) {
        // A damaged file is kept aside rather than overwritten by the next write.
        Log::error(Log::Category::general, "Settings file %s is not a JSON object: %s",
            m_filePath, parseError.errorString());
        QFile::rename(m_filePath, m_filePath + QStringLiteral(".damaged"));
        return;
    }
    m_stored = document.object();
}

void DefaultsStore::save()
{
    QDir().mkpath(QFileInfo(m_filePath).absolutePath());
    QSaveFile file(m_filePath);
    if (!file.open(QIODevice::WriteOnly)) {
        m_lastError = file.errorString();
        Log::error(Log::Category::general, "Unable to write settings %s: %s", m_filePath, m_lastError);
        return;
    }
    file.write(QJsonDocument(m_stored).toJson(QJsonDocument::Indented));
    if (!file.commit()) {
        m_lastError = file.errorString();
        Log::error(Log::Category::general, "Unable to write settings %s: %s", m_filePath, m_lastError);
        return;
    }
    m_lastError.clear();
}
