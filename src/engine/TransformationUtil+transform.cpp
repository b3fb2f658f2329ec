// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/TransformationUtil.h"

#include "core/RegularExpression.h"
#include "platform/ConcurrentChunks.h"
#include "platform/Log.h"

namespace TransformationUtil {

namespace {

// The transform each file starts from, made on all cores ahead of a pass,
// which itself is serial: its rules share counters in list order.
QList<FileTransform> initialTransformsOf(const QList<File>& files)
{
    constexpr qsizetype CHUNK_SIZE = 4096;
    return listMadeConcurrently<FileTransform>(files.size(), CHUNK_SIZE, [&](qsizetype i) {
        const FileSource& source = files.at(i).source;
        return FileTransform::initial(source.id, source.fileInfo, std::nullopt);
    });
}

} // namespace

void updateTransformerState(QList<Transformer>& transformers, qint64 fileCount)
{
    for (Transformer& transformer : transformers) {
        if (transformer.state.randomNumberGenerator.minimumCount != fileCount)
            transformer.state.randomNumberGenerator = UniqueRandomNumberGenerator(fileCount);
    }
}

void transformFileQuick(File& file, FileIndex& fileIndex, QList<Transformer>& transformers, TransformStart start)
{
    if (!file.transformed.isDirty)
        return;
    if (start == TransformStart::reset)
        file.resetTransformations();
    file.transformed.fileIndex = fileIndex;
    for (Transformer& transformer : transformers)
        transformer.transformQuick(file, fileIndex);
    file.transformed.isDirty = false;
}

TransformResult transformFilesQuick(QList<File> files, QList<Transformer> transformers, std::stop_token stop,
    TransformStart start)
{
    FileIndex fileIndex;
    RegularExpression::TimeOuts timeOuts;
    const RegularExpression::TimeOuts::Scope timeOutScope(timeOuts);
    updateTransformerState(transformers, files.size());
    bool lateUpdateRequired = false;
    for (File& file : files) {
        if (stop.stop_requested()) {
            Log::debug(Log::Category::process, "🔷 Cancelled transformFilesQuick for %ld files.", files.size());
            return { std::move(files), std::move(transformers), TransformError::aborted(), false, fileIndex };
        }
        transformFileQuick(file, fileIndex, transformers, start);
        lateUpdateRequired = lateUpdateRequired || file.transformed.lateUpdateRequired;
    }
    return { std::move(files), std::move(transformers), std::nullopt, lateUpdateRequired, fileIndex };
}

void transformFile(File& file, FileIndex& fileIndex, QList<Transformer>& transformers, TransformStart start)
{
    if (start == TransformStart::reset)
        file.resetTransformations();
    else
        file.validation.clearAll();
    file.transformed.fileIndex = fileIndex;
    for (Transformer& transformer : transformers)
        transformer.transform(file, fileIndex);
    file.transformed.isDirty = false;
}

TransformResult transformFiles(QList<File> files, QList<Transformer> transformers, const ProgressCallback& progress,
    Clock& clock, std::stop_token stop)
{
    FileIndex fileIndex;
    RegularExpression::TimeOuts timeOuts;
    const RegularExpression::TimeOuts::Scope timeOutScope(timeOuts);
    qint64 lastReport = clock.nowMilliseconds();
    const qsizetype count = files.size();
    QList<FileTransform> initials = initialTransformsOf(files);
    for (qsizetype i = 0; i < count; ++i) {
        if (stop.stop_requested())
            return { std::move(files), std::move(transformers), TransformError::aborted(), false, fileIndex };
        // Transformed in place; a file whose rules fail keeps the facets it had.
        File& file = files[i];
        // The rules change these facets only; the rest is not copied. The
        // pass starts from a fresh transform and clean verdicts, so the old
        // ones are moved aside rather than copied.
        FileTransform transformedBefore = std::exchange(file.transformed, std::move(initials[i]));
        QSet<QString> errorsBefore = std::exchange(file.validation.errors, {});
        QSet<QString> warningsBefore = std::exchange(file.validation.warnings, {});
        QSet<QString> ruleErrorsBefore = std::exchange(file.validation.ruleErrors, {});
        const std::optional<FileAttributes> attributesBefore = file.attributes;
        const auto restore = [&] {
            file.transformed = std::move(transformedBefore);
            file.validation.errors = std::move(errorsBefore);
            file.validation.warnings = std::move(warningsBefore);
            file.validation.ruleErrors = std::move(ruleErrorsBefore);
            file.attributes = attributesBefore;
        };
        try {
            transformFile(file, fileIndex, transformers, TransformStart::initial);
        } catch (const TransformError& error) {
            restore();
            if (error.kind() != TransformError::Kind::skipped)
                return { std::move(files), std::move(transformers), error, false, fileIndex };
        } catch (const std::exception& error) {
            restore();
            return { std::move(files), std::move(transformers),
                TransformError::fatal(QStringLiteral("Transformation failed"), QString::fromUtf8(error.what())), false, fileIndex };
        } catch (...) {
            restore();
            return { std::move(files), std::move(transformers),
                TransformError::fatal(QStringLiteral("Transformation failed"), QStringLiteral("Unknown error")), false, fileIndex };
        }
        if (clock.nowMilliseconds() - lastReport >= ProgressData::progressInterval) {
            lastReport = clock.nowMilliseconds();
            if (progress)
                progress(ProgressData { i, count });
        }
    }
    return { std::move(files), std::move(transformers), std::nullopt, false, fileIndex };
}

} // namespace TransformationUtil
