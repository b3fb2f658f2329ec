#include "engine/FileValidationUtil.h"

#include "core/AppNotification+Typed.h"
#include "core/CanonicalText.h"
#include "core/Preference.h"
#include "core/RegularExpression.h"
#include "core/String+path.h"
#include "platform/ConcurrentChunks.h"
#include "engine/DiskMove.h"
#include "engine/FreePaths.h"
#include "files/DirectoryValidator.h"
#include "files/FileTransform.h"
#include "platform/Log.h"

#include <atomic>

namespace FileValidationUtil {

namespace Message {
QString suffixAdded(const QString& suffix)
{
    return QStringLiteral("Filename is not unique. A numeric suffix '") + suffix.trimmed()
        + QStringLiteral("' has been added.");
}
} // namespace Message

namespace {

constexpr int MAX_COUNTER = 99999;

const std::optional<RegularExpression>& emptyPattern()
{
    static const auto pattern = RegularExpression::compile(QStringLiteral("(?m)^[\\s.]*$"), {});
    return pattern;
}

const std::optional<RegularExpression>& lineBreakPattern()
{
    static const auto pattern = RegularExpression::compile(QStringLiteral("(?m)[\\t\\r\\n]"), {});
    return pattern;
}

// None when the pattern cannot be used.
std::optional<bool> matches(const std::optional<RegularExpression>& pattern, const QString& text)
{
    if (!pattern)
        return std::nullopt;
    QString error;
    const auto match = pattern->firstMatch(text, &error);
    if (!error.isEmpty())
        return std::nullopt;
    return match.has_value();
}

// Linux stores neither "/" nor NUL in a name.
bool holdsPathSeparatorOrNul(const QString& text)
{
    return text.contains(QLatin1Char('/')) || text.contains(QChar(0));
}

// The file system counts bytes; a character is at least one, so bytes decide.
// Counted in place: asked for every file.
bool isTooLong(const QString& component)
{
    qsizetype bytes = 0;
    for (const QChar c : component) {
        const char16_t unit = c.unicode();
        // A surrogate pair is four bytes, two a half; a lone half is encoded as U+FFFD.
        bytes += unit < 0x80 ? 1 : unit < 0x800 ? 2 : 3;
        if (c.isSurrogate())
            return component.toUtf8().size() > MAX_FILENAME_LENGTH;
    }
    return bytes > MAX_FILENAME_LENGTH;
}

bool hasErrors(const File& file)
{
    return !file.validation.errors.isEmpty();
}

} // namespace

bool isChanged(const File& file)
{
    const ExtendedFileInfo& info = file.source.fileInfo;
    const FileTransform& transformed = file.transformed;
    // A folder path the rules left alone is the stored one itself: the rule
    // that makes a stored path comparable is needed only when they differ.
    const QString& path = transformed.transformedPath.value();
    if (!CanonicalText::equal(path, info.path) && !CanonicalText::equal(path, FileTransformRules::path(info.path)))
        return true;
    // A folder's new full path is its path; its name and extension are no part of it.
    if (file.isDirectory())
        return false;
    return !CanonicalText::equal(transformed.transformedName.value(), info.name)
        || !CanonicalText::equal(transformed.transformedExt.value(), info.ext);
}

void validateFile(File& file, const DirectoryRoots& roots)
{
    DirectoryValidator directoryValidator(roots);
    validateFile(file, directoryValidator);
}

void validateFile(File& file, DirectoryValidator& directoryValidator)
{
    FileValidation& validation = file.validation;
    validation.clearValidationResults();
    for (const QString& warning : file.transformed.resolutionWarnings)
        validation.insertWarning(warning);
    const QString& name = file.transformed.transformedName.value();
    const QString& ext = file.transformed.transformedExt.value();

    if (!file.isDirectory()) {
        const auto onlyDots = matches(emptyPattern(), name);
        if (!onlyDots) {
            validation.insertError(Message::validationFailed);
            return;
        }
        if (name.isEmpty())
            validation.insertError(Message::empty);
        else if (*onlyDots)
            validation.insertError(Message::onlyDotsOrSpaces);
    }

    const QString fileName = file.isDirectory() ? QString() : file.transformed.targetFileName();
    if (isTooLong(fileName))
        validation.insertError(Message::tooLong);

    if (!name.isEmpty()) {
        const auto lineBreak = matches(lineBreakPattern(), name);
        if (!lineBreak) {
            validation.insertError(Message::validationFailed);
            return;
        }
        if (*lineBreak)
            validation.insertError(Message::invalidCharacters);
    }
    if (holdsPathSeparatorOrNul(name) || holdsPathSeparatorOrNul(ext))
        validation.insertError(Message::invalidCharacters);
    if (fileName == QLatin1String(".") || fileName == QLatin1String(".."))
        validation.insertError(Message::onlyDotsOrSpaces);

    validation.insertErrors(directoryValidator.validatePath(file.transformed.transformedPath.value(), file.source.fileInfo.path));
}

void validateFiles(QList<File>& files)
{
    DirectoryValidator directoryValidator;
    for (File& file : files)
        validateFile(file, directoryValidator);
}

QSet<QString> unchangedFilenames(const QList<File>& files)
{
    QSet<QString> paths;
    for (const File& file : files) {
        if (hasErrors(file) || !isChanged(file))
            paths.insert(file.source.fileInfo.fullPath);
    }
    return paths;
}

std::optional<QString> findUniqueSuffixForFile(const File& file, QSet<QString>& taken, std::stop_token stop,
    const std::function<bool(const QString&)>& isTakenOnDisk)
{
    const FileTransform& transformed = file.transformed;
    for (int counter = 2; counter < MAX_COUNTER + 1; ++counter) {
        if (stop.stop_requested())
            return std::nullopt;
        const QString suffix = QLatin1Char(' ') + QString::number(counter);
        // A folder's full path is its new path: the suffix goes at its end.
        const QString candidate = file.isDirectory()
            ? transformed.transformedPath.value() + suffix
            : String::stringByAppendingPathComponent(transformed.transformedPath.value(),
                  transformed.transformedName.value() + suffix + transformed.transformedExtSuffix());
        if (!taken.contains(candidate) && !(isTakenOnDisk && isTakenOnDisk(candidate))) {
            taken.insert(candidate);
            return suffix;
        }
    }
    return std::nullopt;
}

namespace {

// Whether an item other than the file itself holds `path` on disk, where no
// file of the run is leaving. The file is asked for only when something is
// found: the file itself under another spelling, where the file system folds
// case, is no clash.
bool isHeldOnDisk(const File& file, const QString& path, const QSet<QString>& leaving)
{
    if (leaving.contains(path))
        return false;
    const std::optional<DiskMove::Identity> found = DiskMove::identity(path);
    return found && found != DiskMove::identity(file.source.fileInfo.fullPath);
}

constexpr qsizetype DISK_CHUNK_SIZE = 4096;

} // namespace

void validateUniquenessInterruptable(QList<File>& files, std::stop_token stop)
{
    const qsizetype count = files.size();
    const File* const first = files.constData();
    const auto eachFile = [&](const auto& work) {
        return forEachChunkConcurrently(count, DISK_CHUNK_SIZE, [&] {
            return [&, probe = std::make_shared<FreePaths::Probe>()](qsizetype begin, qsizetype end) {
                for (qsizetype i = begin; i < end; ++i) {
                    if (stop.stop_requested())
                        return false;
                    work(i, *probe);
                }
                return true;
            };
        });
    };

    // Which files move is decided once; the checks below do not change it.
    std::vector<char> moves(count);
    std::vector<QString> paths(count);
    if (!eachFile([&](qsizetype i, FreePaths::Probe&) { moves[i] = !hasErrors(first[i]) && isChanged(first[i]); }))
        return;
    // The new paths outlive this check in the set of taken paths: they are
    // made here, by the thread that keeps them, not by the helpers.
    QSet<QString> taken;
    taken.reserve(count);
    for (qsizetype i = 0; i < count; ++i) {
        if (moves[i])
            paths[i] = first[i].transformed.transformedFullPath();
        else
            taken.insert(first[i].source.fileInfo.fullPath);
    }
    // The places the files that move leave: free for the others. Needed only
    // where something is found on disk.
    std::optional<QSet<QString>> leavingPaths;
    const auto leaving = [&]() -> const QSet<QString>& {
        if (!leavingPaths) {
            leavingPaths.emplace();
            leavingPaths->reserve(count);
            for (qsizetype i = 0; i < count; ++i) {
                if (moves[i])
                    leavingPaths->insert(first[i].source.fileInfo.fullPath);
            }
        }
        return *leavingPaths;
    };

    // The disk is asked for every new path at once, in parallel; only the
    // numbered candidates of a clash are asked for one by one below.
    const FreePaths freePaths(paths);
    std::vector<char> heldOnDisk(count);
    std::atomic<bool> anyFound = false;
    bool probed = eachFile([&](qsizetype i, FreePaths::Probe& probe) {
        heldOnDisk[i] = moves[i] && !freePaths.isSurelyFree(paths[i], probe);
        if (heldOnDisk[i])
            anyFound = true;
    });
    if (probed && anyFound) {
        const QSet<QString>& left = leaving();
        probed = eachFile([&](qsizetype i, FreePaths::Probe&) {
            heldOnDisk[i] = heldOnDisk[i] && isHeldOnDisk(first[i], paths[i], left);
        });
    }
    if (!probed)
        return;

    const bool autoResolveDuplicates = Preference::boolFor(PreferenceKey::autoResolveDuplicates);
    for (qsizetype i = 0; i < count; ++i) {
        if (stop.stop_requested())
            return;
        if (!moves[i])
            continue;
        File& file = files[i];
        const bool listed = taken.contains(paths[i]);
        if (!listed && !heldOnDisk[i]) {
            taken.insert(paths[i]);
            continue;
        }
        std::optional<QString> suffix;
        if (autoResolveDuplicates) {
            suffix = findUniqueSuffixForFile(file, taken, stop,
                [&](const QString& candidate) { return isHeldOnDisk(file, candidate, leaving()); });
        }
        if (!suffix) {
            // Another file of the list may still give way; an item on disk will not.
            if (listed)
                file.validation.insertWarning(Message::notUnique);
            else
                file.validation.insertError(Message::alreadyExists);
            continue;
        }
        file.transformed.uniqueSuffix = *suffix;
        file.validation.insertWarning(Message::suffixAdded(*suffix));
        // The counter is part of the name on disk and counts towards its length.
        if (isTooLong(file.transformed.targetFileName()))
            file.validation.insertError(Message::tooLong);
    }
}

QString description(const FileValidationResult& result)
{
    return QStringLiteral("FileValidationResult: errorCount: %1 , renameCount: %2 , totalCount: %3")
        .arg(result.errorCount)
        .arg(result.renameCount)
        .arg(result.totalCount);
}

FileValidationResult countFiles(const QList<File>& files)
{
    FileValidationResult result;
    for (const File& file : files) {
        if (hasErrors(file))
            ++result.errorCount;
        else if (isChanged(file))
            ++result.renameCount;
    }
    result.totalCount = files.size();
    return result;
}

FileValidationResultRef makeValidationResult(const QList<File>& files)
{
    auto result = std::make_shared<FileValidationResult>(countFiles(files));
    Log::debug(Log::Category::process, "%s", description(*result));
    return result;
}

void reportValidationResults(const QList<File>& files, const QString& function)
{
    const FileValidationResultRef result = makeValidationResult(files);
    Log::debug(Log::Category::process, "%s: Reporting validation result: %s", function, description(*result));
    AppNotification::ValidationResult::post(result);
}

} // namespace FileValidationUtil
