// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/TransformationService.h"

#include "core/DependencyInjectionRegistry.h"
#include "engine/RuleRunState.h"
#include "engine/TransformationUtil.h"
#include "files/FileDataSource.h"
#include "platform/Log.h"
#include "platform/MainThread.h"
#include "rules/Transformers.h"
#include "tokens/AttributeResolver.h"

std::optional<TransformationService::SingleFileResult> TransformationService::transformFile(const File& file)
{
    std::shared_ptr<FileDataSource> fileDataSource;
    std::shared_ptr<Transformers> transformers;
    MainThread::runBlocking([&] {
        fileDataSource = Inject<FileDataSource>().get();
        if (fileDataSource)
            transformers = Inject<Transformers>().get();
    });
    if (!fileDataSource || !transformers)
        return std::nullopt;

    FileIndex fileIndex = getOrCalculateFileIndex(file);
    QList<Transformer> rules;
    MainThread::runBlocking([&] { rules = transformers->list(); });

    SingleFileResult result { file, nullptr };
    File& transformed = result.file;
    const bool needsAttributes = std::any_of(rules.cbegin(), rules.cend(),
        [](const Transformer& rule) { return rule.usesFileAttributes(); });
    if (needsAttributes)
        transformed.initializeAttributes();

    try {
        TransformationUtil::transformFile(transformed, fileIndex, rules);
    } catch (...) {
        result.failure = std::current_exception();
    }
    // The rules get back their run state only.
    MainThread::runBlocking([&] { RuleRunState::writeBack(*transformers, rules); });
    showGPSAddressFailure(GPSFailureMoment::preview);
    return result;
}

FileIndex TransformationService::getOrCalculateFileIndex(const File& file)
{
    if (file.transformed.fileIndex)
        return *file.transformed.fileIndex;

    std::shared_ptr<FileDataSource> fileDataSource;
    std::shared_ptr<Transformers> transformers;
    FileComponents components;
    QList<Transformer> rules;
    // The main thread only shares the lists; the files are made here.
    MainThread::runBlocking([&] {
        fileDataSource = Inject<FileDataSource>().get();
        if (!fileDataSource)
            return;
        transformers = Inject<Transformers>().get();
        if (!transformers)
            return;
        components = fileDataSource->getAllComponents();
        rules = transformers->list();
    });
    if (!fileDataSource || !transformers)
        return {};
    const QList<File> files = FileDataSource::filesOf(components);

    Log::debug(Log::Category::process, "Calling transformAllFilesQuick to calculate the correct fileIndex");
    const TransformationUtil::TransformResult result = TransformationUtil::transformFilesQuick(files, rules);
    for (const File& candidate : result.files) {
        if (candidate.source.id == file.source.id)
            return candidate.transformed.fileIndex.value_or(FileIndex {});
    }
    return {};
}
