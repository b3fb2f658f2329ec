// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QMutex>
#include <QString>

// The user's settings: one JSON object in one file, read at start and written
// atomically after every change, readable by the user alone. Registered defaults live in memory and answer
// only while nothing is stored under their key. Safe to use from any thread.
class DefaultsStore {
public:
    explicit DefaultsStore(QString filePath);

    // The largest file read as settings: far beyond the address cache at its limit.
    static constexpr qint64 MAX_FILE_SIZE = 256 * 1024 * 1024;

    // The store of the application, in the XDG config folder.
    static DefaultsStore& standard();
    static QString standardFilePath();

    // The stored value, else the registered one, else undefined.
    QJsonValue value(const QString& key) const;
    bool isStored(const QString& key) const;
    void setValue(const QString& key, const QJsonValue& value);
    void remove(const QString& key);
    void registerDefaults(const QJsonObject& defaults);

    const QString& filePath() const { return m_filePath; }
    // The last write error, empty when the last write succeeded.
    QString lastError() const;

private:
    void load();
    void setDamagedFileAside();
    void save();

    static constexpr int MAX_DAMAGED_FILES = 100;

    QString m_filePath;
    mutable QMutex m_mutex;
    QJsonObject m_stored;
    // A damaged file that could not be set aside is not written over.
    bool m_keepsDamagedFile = false;
    QJsonObject m_registered;
    QString m_lastError;
};
