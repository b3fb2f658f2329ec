// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/TransformationUtil.h"

#include "core/RegularExpression.h"
#include "platform/ConcurrentChunks.h"
#include "platform/Log.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <utility>
#include <vector>

namespace TransformationUtil {

namespace {

// The transform each file starts from, made on all cores ahead of a full pass.
QList<FileTransform> initialTransformsOf(const QList<File>& files)
{
    constexpr qsizetype CHUNK_SIZE = 4096;
    return listMadeConcurrently<FileTransform>(files.size(), CHUNK_SIZE, [&](qsizetype i) {
        const FileSource& source = files.at(i).source;
        return FileTransform::initial(source.id, source.fileInfo, std::nullopt);
    });
}

// The files a thread takes at a time; a list of fewer than two stays on one thread.
constexpr qsizetype PASS_CHUNK_SIZE = 1024;

// A pass whose every rule works on each file alone runs on all cores: no
// result then depends on which file went first.
bool passesOnAllCores(const QList<File>& files, const QList<Transformer>& transformers)
{
    return files.size() >= 2 * PASS_CHUNK_SIZE
        && std::all_of(transformers.cbegin(), transformers.cend(),
            [](const Transformer& rule) { return rule.dependsOnItsFileAlone(); });
}

// The verdicts a full pass moves aside for a file, to give them back when its rules fail.
struct VerdictsBefore {
    QSet<QString> errors;
    QSet<QString> warnings;
    QSet<QString> ruleErrors;
};

VerdictsBefore takeVerdicts(File& file)
{
    return { std::exchange(file.validation.errors, {}), std::exchange(file.validation.warnings, {}),
        std::exchange(file.validation.ruleErrors, {}) };
}

void giveBackVerdicts(File& file, VerdictsBefore& before)
{
    file.validation.errors = std::move(before.errors);
    file.validation.warnings = std::move(before.warnings);
    file.validation.ruleErrors = std::move(before.ruleErrors);
}

// Runs `transform(i, rules, fileIndex)` for every file of a pass on all
// cores: each thread with its own copy of the rules, the pass's time-outs in
// scope and counters of its own, which stay empty since no rule of such a
// pass counts, as in list order. `chunkEnded(size)` follows every chunk.
// False when cancelled or when `transform` answered false.
template <typename Transform, typename ChunkEnded>
bool forEachFileOfAPass(qsizetype count, const QList<Transformer>& transformers, RegularExpression::TimeOuts& timeOuts,
    std::stop_token stop, Transform transform, ChunkEnded chunkEnded)
{
    return forEachChunkConcurrently(count, PASS_CHUNK_SIZE, [&] {
        return [&, rules = transformers](qsizetype begin, qsizetype end) mutable {
            const RegularExpression::TimeOuts::Scope scope(timeOuts);
            FileIndex fileIndex;
            for (qsizetype i = begin; i < end; ++i) {
                if (stop.stop_requested() || !transform(i, rules, fileIndex))
                    return false;
            }
            chunkEnded(end - begin);
            return true;
        };
    });
}

// The serial pass below, on all cores: each file through the rules' quick
// form. False when cancelled, or when a pattern ran out of time: which files
// then got its time-out would depend on the threads, so the caller makes the
// pass again in list order.
bool transformFilesQuickOnAllCores(QList<File>& files, QList<Transformer>& transformers, std::stop_token stop,
    TransformStart start, bool& lateUpdateRequired)
{
    RegularExpression::TimeOuts timeOuts;
    File* const first = files.data();
    std::atomic<bool> late = false;
    const bool completed = forEachFileOfAPass(
        files.size(), transformers, timeOuts, stop,
        [&](qsizetype i, QList<Transformer>& rules, FileIndex& fileIndex) {
            transformFileQuick(first[i], fileIndex, rules, start);
            if (first[i].transformed.lateUpdateRequired)
                late = true;
            return true;
        },
        [](qsizetype) {});
    lateUpdateRequired = late;
    return completed && !timeOuts.any();
}

enum class PassEnd { done, aborted, inListOrder };

// The full pass below, on all cores. A rule that fails on a file, but for
// `skipped`, or a pattern that runs out of time, ends it with `inListOrder`
// and every file as it was: which file fails first, and what the files after
// it hold, is the serial pass's to say. Rules of such a pass never read
// attributes, so those are not kept aside.
PassEnd transformFilesOnAllCores(QList<File>& files, QList<Transformer>& transformers, const ProgressCallback& progress,
    Clock& clock, std::stop_token stop)
{
    const qsizetype count = files.size();
    // Swapped with each file's transform: afterwards, what the file held before.
    QList<FileTransform> transforms = initialTransformsOf(files);
    std::vector<VerdictsBefore> verdicts(count);
    // One writer an element, so bytes, not packed bits.
    std::vector<char> changed(count, 0);
    RegularExpression::TimeOuts timeOuts;
    File* const first = files.data();
    FileTransform* const before = transforms.data();
    std::atomic<bool> failed = false;
    std::atomic<qsizetype> done = 0;
    std::mutex reporting;
    qint64 lastReport = clock.nowMilliseconds(); // under `reporting`
    const auto giveBack = [&](qsizetype i) {
        std::swap(first[i].transformed, before[i]);
        giveBackVerdicts(first[i], verdicts[i]);
        changed[i] = 0;
    };
    const auto transform = [&](qsizetype i, QList<Transformer>& rules, FileIndex& fileIndex) {
        std::swap(first[i].transformed, before[i]);
        verdicts[i] = takeVerdicts(first[i]);
        changed[i] = 1;
        try {
            transformFile(first[i], fileIndex, rules, TransformStart::initial);
        } catch (const TransformError& error) {
            giveBack(i);
            if (error.kind() != TransformError::Kind::skipped) {
                failed = true;
                return false;
            }
        } catch (...) {
            giveBack(i);
            failed = true;
            return false;
        }
        return true;
    };
    // Whichever thread ends a chunk tells the progress, one at a time: the
    // caller's thread may get no chunk at all on a busy machine.
    const auto chunkEnded = [&](qsizetype size) {
        done += size;
        if (!progress)
            return;
        const std::unique_lock lock(reporting, std::try_to_lock);
        if (lock.owns_lock() && clock.nowMilliseconds() - lastReport >= ProgressData::progressInterval) {
            lastReport = clock.nowMilliseconds();
            progress(ProgressData { done.load(), count });
        }
    };
    forEachFileOfAPass(count, transformers, timeOuts, stop, transform, chunkEnded);
    if (stop.stop_requested())
        return PassEnd::aborted;
    if (failed || timeOuts.any()) {
        for (qsizetype i = 0; i < count; ++i) {
            if (changed[i])
                giveBack(i);
        }
        return PassEnd::inListOrder;
    }
    // What the files held before goes on all cores too.
    clearConcurrently(transforms);
    return PassEnd::done;
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
    updateTransformerState(transformers, files.size());
    bool lateUpdateRequired = false;
    if (passesOnAllCores(files, transformers)) {
        // Which files the pass changes: to make it again in list order if it must.
        std::vector<bool> dirty(files.size());
        for (qsizetype i = 0; i < files.size(); ++i)
            dirty[i] = files.at(i).transformed.isDirty;
        if (transformFilesQuickOnAllCores(files, transformers, stop, start, lateUpdateRequired))
            return { std::move(files), std::move(transformers), std::nullopt, lateUpdateRequired, FileIndex() };
        if (stop.stop_requested())
            return { std::move(files), std::move(transformers), TransformError::aborted(), false, FileIndex() };
        for (qsizetype i = 0; i < files.size(); ++i)
            files[i].transformed.isDirty = dirty[i];
        start = TransformStart::reset;
        lateUpdateRequired = false;
    }
    FileIndex fileIndex;
    RegularExpression::TimeOuts timeOuts;
    const RegularExpression::TimeOuts::Scope timeOutScope(timeOuts);
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
    if (passesOnAllCores(files, transformers)) {
        switch (transformFilesOnAllCores(files, transformers, progress, clock, stop)) {
        case PassEnd::done: return { std::move(files), std::move(transformers), std::nullopt, false, FileIndex() };
        case PassEnd::aborted:
            return { std::move(files), std::move(transformers), TransformError::aborted(), false, FileIndex() };
        case PassEnd::inListOrder: break;
        }
    }
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
        VerdictsBefore verdictsBefore = takeVerdicts(file);
        const std::optional<FileAttributes> attributesBefore = file.attributes;
        const auto restore = [&] {
            file.transformed = std::move(transformedBefore);
            giveBackVerdicts(file, verdictsBefore);
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
