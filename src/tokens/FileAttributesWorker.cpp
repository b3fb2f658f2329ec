// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokens/FileAttributesWorker.h"

#include "core/AppNotification+Typed.h"
#include "core/DependencyInjectionRegistry.h"
#include "files/FileAttributeLoader.h"
#include "files/FileDataSource.h"
#include "platform/GlobalActors.h"
#include "platform/Log.h"
#include "platform/MainThread.h"
#include "tokens/FileAttributeUtil.h"

namespace {

constexpr auto BACKGROUND = Log::Category::background;
constexpr qint64 APPLY_CHANGES_INTERVAL_MS = 2000;
const QString FUNCTION = QStringLiteral("preloadAttributes(for:)");

FileAttributes load(const QUrl& url)
{
    // The installed reader when there is one (tests install their own).
    if (auto attributes = FileAttributeLoader::load(url))
        return FileAttributes { std::move(*attributes) };
    return FileAttributes { FileAttributeUtil::loadAttributes(url) };
}

} // namespace

FileAttributesWorker& FileAttributesWorker::shared()
{
    static FileAttributesWorker worker;
    return worker;
}

void FileAttributesWorker::setRuleUsage(RuleUsage usage)
{
    std::lock_guard lock(m_mutex);
    m_ruleUsage = std::move(usage);
}

void FileAttributesWorker::setClock(Clock* clock)
{
    std::lock_guard lock(m_mutex);
    m_clock = clock;
}

Clock& FileAttributesWorker::clock() const
{
    std::lock_guard lock(m_mutex);
    return m_clock ? *m_clock : Clock::system();
}

TaskHandle FileAttributesWorker::currentTask() const
{
    std::lock_guard lock(m_mutex);
    return m_task;
}

QList<FileAttributesWorker::Entry> FileAttributesWorker::getFilesToPreload()
{
    RuleUsage ruleUsage;
    {
        std::lock_guard lock(m_mutex);
        ruleUsage = m_ruleUsage;
    }
    std::optional<FileComponents> components;
    MainThread::runBlocking([&] {
        const auto fileDataSource = Inject<FileDataSource>().get();
        if (!fileDataSource || !ruleUsage || !ruleUsage())
            return;
        // Shared copies of the facet lists: nothing per file on the main thread.
        components = fileDataSource->getAllComponents();
    });
    QList<Entry> files;
    if (!components)
        return files;
    const qsizetype n = components->orderedIndex.size();
    if (components->fileSources.size() != n || components->fileAttributes.size() != n)
        return files;
    for (int storageIndex : components->orderedIndex) {
        if (storageIndex < 0 || storageIndex >= n || components->fileAttributes.at(storageIndex))
            continue;
        files.append({ storageIndex, components->fileGenerationId, components->fileSources.at(storageIndex).fileInfo.url(),
            std::nullopt });
    }
    return files;
}

void FileAttributesWorker::preloadAllAttributes()
{
    if (MainThread::isCurrent()) {
        TaskHandle::detached([this](std::stop_token) { preloadAllAttributes(); });
        return;
    }
    std::lock_guard decision(m_decision);
    // A running preload is asked first: read after the list, it may have ended
    // in between with its last values still on their way to the store, and those
    // files would be read again. When it ends it posts applyChanges, whose pass
    // decides again on the list as it then is.
    {
        std::lock_guard lock(m_mutex);
        if (m_task.isValid() && !m_task.isCancelled())
            return;
    }
    QList<Entry> files = getFilesToPreload();
    if (files.isEmpty())
        return;
    Log::debug(BACKGROUND, "🔹 preloadAllAttributes for %ld files.", files.size());
    startNewPreloadAttributesTask(std::move(files));
}

void FileAttributesWorker::preloadAllAttributesNow(std::stop_token stop)
{
    cancel();
    QList<Entry> files;
    {
        std::lock_guard decision(m_decision);
        files = getFilesToPreload();
    }
    Log::debug(BACKGROUND, "🔹 preloadAllAttributesNow for %ld files.", files.size());
    preloadAttributes(files, stop);
}

void FileAttributesWorker::startNewPreloadAttributesTask(QList<Entry> files)
{
    std::lock_guard lock(m_mutex);
    if (m_task.isValid())
        m_task.cancel();
    auto handle = std::make_shared<TaskHandle>();
    m_task = TaskHandle::start(GlobalActors::fileAttributes(), [this, files = std::move(files), handle](std::stop_token stop) {
        Log::debug(BACKGROUND, "🔹 startNewPreloadAttributesTask for %ld files.", files.size());
        preloadAttributes(files, stop);
        // Only our own handle: a successor started meanwhile keeps its own.
        std::lock_guard lock(m_mutex);
        if (m_task == *handle)
            m_task = TaskHandle();
    });
    *handle = m_task;
}

void FileAttributesWorker::cancel()
{
    std::lock_guard lock(m_mutex);
    if (!m_task.isValid())
        return;
    Log::debug(BACKGROUND, "🔹 Cancelling Preload Attributes.");
    m_task.cancel();
    m_task = TaskHandle();
}

void FileAttributesWorker::cancelPreload()
{
    FileAttributesWorker& worker = shared();
    std::lock_guard lock(worker.m_mutex);
    worker.m_task.cancel();
}

void FileAttributesWorker::preloadAttributes(const QList<Entry>& files, std::stop_token stop)
{
    if (files.isEmpty())
        return;
    std::shared_ptr<FileDataSource> fileDataSource;
    QString messageId;
    MainThread::runBlocking([&] {
        fileDataSource = Inject<FileDataSource>().get();
        if (fileDataSource)
            messageId = AppNotification::ShowProgressIndicator::post(QStringLiteral("Scanning..."), FUNCTION);
    });
    if (!fileDataSource)
        return;
    const auto postApplyChanges = [] {
        MainThread::post([] { AppNotification::post(NotificationName::applyChanges, {}, std::nullopt, FUNCTION); });
    };
    const auto hideIndicator = [messageId] {
        MainThread::post([messageId] { AppNotification::HideProgressIndicator::post(messageId, FUNCTION); });
    };

    Clock& time = clock();
    qint64 lastPost = time.nowMilliseconds();
    for (qsizetype i = 0; i < files.size(); ++i) {
        if (stop.stop_requested()) {
            Log::debug(BACKGROUND, "🔹 Preloading attributes aborted, task cancelled.");
            hideIndicator();
            return;
        }
        const Entry& entry = files.at(i);
        File file;
        file.index = entry.index;
        file.fileGenerationId = entry.fileGenerationId;
        file.attributes = entry.attributes ? *entry.attributes : load(entry.url);
        // The store drops it when cancelled meanwhile, when the index is gone or
        // when the list was replaced since the entry was taken.
        MainThread::post([fileDataSource, file = std::move(file), stop] { fileDataSource->setFileAttributes(file, stop); });

        const qint64 now = time.nowMilliseconds();
        if (now - lastPost >= APPLY_CHANGES_INTERVAL_MS) {
            Log::debug(BACKGROUND, "🔹 Preloading attributes: %ld/%ld", i + 1, files.size());
            postApplyChanges();
            lastPost = now;
        }
    }
    postApplyChanges();
    hideIndicator();
}
