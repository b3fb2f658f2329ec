// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/FileValidationUtil.h"

#include "core/AppNotification+Typed.h"
#include "core/CanonicalText.h"
#include "core/Preference.h"
#include "core/RegularExpression.h"
#include "core/String+path.h"
#include "platform/ConcurrentChunks.h"
#include "engine/CaseFolding.h"
#include "engine/RenameOrder.h"
#include "engine/DiskMove.h"
#include "engine/FreePaths.h"
#include "files/DirectoryValidator.h"
#include "files/FileManagerError.h"
#include "files/FileTransform.h"
#include "platform/Log.h"

#include <QFile>
#include <QVarLengthArray>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <thread>
#include <vector>

namespace FileValidationUtil {

namespace Message {
QString suffixAdded(const QString& suffix)
{
    // Made in one allocation: every counted file of a clash gets one.
    const QLatin1StringView before("Filename is not unique. A numeric suffix '");
    const QLatin1StringView after("' has been added.");
    const QStringView counter = QStringView(suffix).trimmed();
    QString message;
    message.reserve(before.size() + counter.size() + after.size());
    message += before;
    message += counter;
    message += after;
    return message;
}

QString invalidCharactersNamed(const QStringList& characters)
{
    return invalidCharacters + QStringLiteral(": ") + characters.join(QStringLiteral(", "));
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

// A line break cannot be read in a name; Linux stores neither "/" nor NUL.
// Named in words: most of them show as nothing.
void nameInvalidCharacters(const QString& text, bool lineBreaks, QStringList& found)
{
    static const std::pair<QChar, const char*> names[] = {
        { QLatin1Char('\t'), "tab" },
        { QLatin1Char('\r'), "carriage return" },
        { QLatin1Char('\n'), "line feed" },
        { QLatin1Char('/'), "\u201c/\u201d" },
        { QChar(0), "NUL" },
    };
    for (const auto& [character, name] : names) {
        const bool isLineBreak = character != QLatin1Char('/') && character != QChar(0);
        const QString word = QString::fromUtf8(name);
        if ((lineBreaks || !isLineBreak) && text.contains(character) && !found.contains(word))
            found << word;
    }
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

bool isInPlace(const File& file)
{
    return file.transformed.isFullPath(file.source.fileInfo.fullPath);
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
    // A name no rule changed is the one the disk holds: nothing to refuse.
    if (!isChanged(file))
        return;
    const QString& name = file.transformed.transformedName.value();
    const QString& ext = file.transformed.transformedExt.value();

    // A name of printable ASCII holds no line break, and its only white space
    // is the space: the patterns need not be asked. Asked for every file.
    const bool printableAscii = std::all_of(name.cbegin(), name.cend(), [](QChar c) { return c.unicode() >= 0x20 && c.unicode() < 0x7f; });
    if (!file.isDirectory()) {
        const auto onlyDots = printableAscii
            ? std::optional<bool>(std::all_of(name.cbegin(), name.cend(), [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('.'); }))
            : matches(emptyPattern(), name);
        if (!onlyDots) {
            validation.insertError(Message::validationFailed);
            return;
        }
        if (name.isEmpty() || *onlyDots)
            validation.insertError(Message::empty);
    }

    const QString fileName = file.isDirectory() ? QString() : file.transformed.targetFileName();
    if (isTooLong(fileName))
        validation.insertError(Message::tooLong);

    QStringList invalid;
    if (!name.isEmpty()) {
        const auto lineBreak = printableAscii ? std::optional<bool>(false) : matches(lineBreakPattern(), name);
        if (!lineBreak) {
            validation.insertError(Message::validationFailed);
            return;
        }
        nameInvalidCharacters(name, *lineBreak, invalid);
    }
    nameInvalidCharacters(ext, false, invalid);
    if (!invalid.isEmpty())
        validation.insertError(Message::invalidCharactersNamed(invalid));
    if (fileName == QLatin1String(".") || fileName == QLatin1String(".."))
        validation.insertError(Message::empty);

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

namespace {

// The key of a path by its folder and its folded name: two paths that may
// name one entry have the same.
size_t foldedPathHash(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const QStringView folder = QStringView(path).first(slash + 1);
    const QStringView name = QStringView(path).sliced(slash + 1);
    // An ASCII name folds to its lower case, hashed here without making the folded text.
    QVarLengthArray<char16_t, 256> lowered;
    for (const QChar c : name) {
        const char16_t unit = c.unicode();
        if (unit >= 0x80)
            return qHashMulti(0, folder, QStringView(CaseFolding::folded(name.toString())));
        lowered.append(unit >= u'A' && unit <= u'Z' ? char16_t(unit + (u'a' - u'A')) : unit);
    }
    return qHashMulti(0, folder, QStringView(lowered.constData(), lowered.size()));
}

// Whether two ascending lists have an element in common.
bool sharesAnElement(const std::vector<size_t>& a, const std::vector<size_t>& b)
{
    auto i = a.cbegin();
    auto j = b.cbegin();
    while (i != a.cend() && j != b.cend()) {
        if (*i == *j)
            return true;
        if (*i < *j)
            ++i;
        else
            ++j;
    }
    return false;
}

// The paths taken so far, by their text and by their folded name too: in a
// folder that folds case "A.txt" takes "a.txt". The folder is asked only when
// two paths meet under one folded name.
class TakenPaths {
public:
    TakenPaths(QSet<QString>& exact, CaseFolding* folding)
        : m_exact(exact)
        , m_folding(folding)
    {
    }

    // The key of a path's folded name; asked once for a path that is looked up and then taken.
    size_t foldedHash(const QString& path) const { return m_folding ? foldedPathHash(path) : 0; }
    bool contains(const QString& path) const { return contains(path, foldedHash(path)); }
    bool contains(const QString& path, size_t hash) const { return m_exact.contains(path) || foldedContains(path, hash); }
    void insert(const QString& path) { insert(path, foldedHash(path)); }
    void insert(const QString& path, size_t hash)
    {
        m_exact.insert(path);
        if (m_folding)
            insertFolded(hash, path);
    }
    // Takes the path unless it is taken; answers whether it was free.
    bool claim(const QString& path)
    {
        const qsizetype before = m_exact.size();
        m_exact.insert(path);
        if (m_exact.size() == before)
            return false;
        if (!m_folding)
            return true;
        const size_t hash = foldedHash(path);
        if (foldedContains(path, hash)) {
            m_exact.remove(path);
            return false;
        }
        insertFolded(hash, path);
        return true;
    }
    // The taken paths that name the same entry as `path`: itself, and in a
    // folder that folds case its other spellings.
    QStringList entriesOf(const QString& path) const
    {
        QStringList entries;
        if (m_exact.contains(path))
            entries << path;
        if (!m_folding)
            return entries;
        forEachFolded(foldedHash(path), [&](const QString& other) {
            if (other != path && m_folding->areOneEntry(other, path))
                entries << other;
            return false;
        });
        return entries;
    }
    void reserve(qsizetype count)
    {
        m_exact.reserve(count);
        if (m_folding)
            m_folded.reserve(count);
    }

private:
    bool foldedContains(const QString& path, size_t hash) const
    {
        if (!m_folding)
            return false;
        return forEachFolded(hash, [&](const QString& other) { return other != path && m_folding->areOneEntry(other, path); });
    }
    // Most folded keys have one path: it is kept in the table itself, and only
    // further paths of the same key take a node of their own.
    void insertFolded(size_t hash, const QString& path)
    {
        if (m_folded.contains(hash))
            m_foldedMore.insert(hash, path);
        else
            m_folded.emplace(hash, path);
    }
    // Calls `found` with each path of the key until it answers true; answers whether one did.
    template <typename Found>
    bool forEachFolded(size_t hash, Found found) const
    {
        const auto single = m_folded.constFind(hash);
        if (single == m_folded.cend())
            return false;
        if (found(*single))
            return true;
        for (auto it = m_foldedMore.constFind(hash); it != m_foldedMore.cend() && it.key() == hash; ++it) {
            if (found(*it))
                return true;
        }
        return false;
    }

    QSet<QString>& m_exact;
    CaseFolding* m_folding;
    QHash<size_t, QString> m_folded;
    QMultiHash<size_t, QString> m_foldedMore;
};

// Where the search for a free counter of one wanted path stands. Every counter
// below `next` was found in the set of taken paths, which only grows, or held
// on disk: those are kept apart and asked again for each file, since what is
// there may be that file itself. So a clash costs what is new to try, not
// the counters every earlier clash of the same name went through.
struct CounterSearch {
    int next = 2;
    std::vector<int> heldOnDisk; // ascending
};

// " <counter>", as a name carries it, written into `room` without allocating.
QStringView counterSuffix(int counter, std::array<char16_t, 16>& room)
{
    qsizetype at = room.size();
    unsigned value = unsigned(counter);
    do {
        room[--at] = char16_t(u'0' + value % 10);
        value /= 10;
    } while (value != 0);
    room[--at] = u' ';
    return QStringView(room.data() + at, room.size() - at);
}

QString counterSuffix(int counter)
{
    std::array<char16_t, 16> room;
    return counterSuffix(counter, room).toString();
}

// The path a file would take with the counter, its name made in one piece: a
// clash of thousands of files makes one candidate or more for each.
QString counterCandidate(const File& file, int counter)
{
    const FileTransform& transformed = file.transformed;
    std::array<char16_t, 16> room;
    const QStringView suffix = counterSuffix(counter, room);
    // A folder's full path is its new path: the suffix goes at its end.
    if (file.isDirectory()) {
        QString path = transformed.transformedPath.value();
        return path.append(suffix);
    }
    const QString& name = transformed.transformedName.value();
    const QStringView separator = transformed.extSeparator();
    const QString& ext = transformed.transformedExt.value();
    QString fileName;
    fileName.reserve(name.size() + suffix.size() + separator.size() + ext.size());
    fileName += name;
    fileName += suffix;
    fileName += separator;
    fileName += ext;
    return String::stringByAppendingPathComponent(transformed.transformedPath.value(), fileName);
}

std::optional<QString> findUniqueSuffix(const File& file, TakenPaths& taken, std::stop_token stop,
    const std::function<bool(const QString&)>& isTakenOnDisk, CounterSearch& search)
{
    const auto claim = [&](const QString& candidate, size_t hash, int counter) {
        taken.insert(candidate, hash);
        return counterSuffix(counter);
    };
    for (const int counter : search.heldOnDisk) {
        if (stop.stop_requested())
            return std::nullopt;
        const QString candidate = counterCandidate(file, counter);
        const size_t hash = taken.foldedHash(candidate);
        if (!taken.contains(candidate, hash) && !isTakenOnDisk(candidate))
            return claim(candidate, hash, counter);
    }
    for (; search.next < MAX_COUNTER + 1; ++search.next) {
        if (stop.stop_requested())
            return std::nullopt;
        const QString candidate = counterCandidate(file, search.next);
        const size_t hash = taken.foldedHash(candidate);
        if (taken.contains(candidate, hash))
            continue;
        if (isTakenOnDisk && isTakenOnDisk(candidate)) {
            search.heldOnDisk.push_back(search.next);
            continue;
        }
        return claim(candidate, hash, search.next++);
    }
    return std::nullopt;
}

} // namespace

std::optional<QString> findUniqueSuffixForFile(const File& file, QSet<QString>& taken, std::stop_token stop,
    const std::function<bool(const QString&)>& isTakenOnDisk)
{
    CounterSearch fresh;
    TakenPaths takenPaths(taken, nullptr);
    return findUniqueSuffix(file, takenPaths, stop, isTakenOnDisk, fresh);
}

namespace {

// Whether an item other than the file itself holds `path` on disk, where no
// file of the run is leaving. The file itself is its own entry under another
// spelling in a folder that folds case; another entry of the same inode (a
// hard link) is an item of its own, which the move would not replace.
bool isHeldOnDisk(const File& file, const QString& path, const QSet<QString>& leaving, CaseFolding& folding)
{
    if (leaving.contains(path) || !DiskMove::exists(path))
        return false;
    return !folding.areOneEntry(file.source.fileInfo.fullPath, path);
}

// Why the run could not write the file's target into its folder, in the words
// the run would use; none where it can. Asked once per folder.
class FolderWriteCheck {
public:
    std::optional<QString> refusal(const QString& target)
    {
        // Files of one folder come one after another: their folder is made
        // out and looked up once for all of them. A target ending in "/"
        // loses that slash first, so it is always made out anew.
        const qsizetype slash = target.lastIndexOf(QLatin1Char('/'));
        const QStringView prefix = QStringView(target).first(std::max<qsizetype>(slash, 0));
        if (!m_hasLast || prefix != m_lastPrefix || target.endsWith(QLatin1Char('/'))) {
            const QString folder = String::stringByDeletingLastPathComponent(target);
            auto known = m_refusals.constFind(folder);
            if (known == m_refusals.cend())
                known = m_refusals.insert(folder, refusalOf(folder));
            m_last = *known;
            m_lastPrefix = prefix.toString();
            m_hasLast = true;
        }
        if (!m_last.code)
            return std::nullopt;
        // A folder still to be made fails where the run makes the first missing one.
        return m_last.missingFolder.isEmpty() ? FileManagerError(m_last.code, target, QStringLiteral("move")).message()
                                              : FileManagerError(m_last.code, m_last.missingFolder, QStringLiteral("create folder")).message();
    }

private:
    struct Refusal {
        int code = 0;
        QString missingFolder; // the outermost folder to be made; empty when the folder is there
    };

    static Refusal refusalOf(const QString& folder)
    {
        QString missing;
        QString at = folder;
        while (!DiskMove::exists(at)) {
            const QString parent = String::stringByDeletingLastPathComponent(at);
            if (parent == at || parent.isEmpty())
                return {};
            missing = at;
            at = parent;
        }
        if (::faccessat(AT_FDCWD, QFile::encodeName(at).constData(), W_OK, AT_EACCESS) == 0)
            return {};
        return { errno, missing };
    }

    QHash<QString, Refusal> m_refusals;
    bool m_hasLast = false;
    QString m_lastPrefix; // what stands before the last "/" of the last target
    Refusal m_last;
};

constexpr qsizetype DISK_CHUNK_SIZE = 4096;
// Counted files whose warnings one thread writes at a time: a clash of a few
// thousand files is spread over all cores.
constexpr qsizetype WARNING_CHUNK_SIZE = 256;

} // namespace

void validateUniquenessInterruptable(QList<File>& files, std::stop_token stop)
{
    const qsizetype count = files.size();
    // Detached once here (a list the caller still shares), never inside the passes below.
    File* const first = files.data();
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

    // Which files move, to begin with; a file that cannot go where it wants
    // stays after all. A counter of an earlier check is looked for afresh.
    std::vector<char> moves(count);
    std::vector<QString> paths(count);
    if (!eachFile([&](qsizetype i, FreePaths::Probe&) {
            moves[i] = !hasErrors(first[i]) && isChanged(first[i]);
            if (!first[i].transformed.uniqueSuffix.isEmpty())
                first[i].transformed.uniqueSuffix.clear();
            if (moves[i])
                paths[i] = first[i].transformed.transformedFullPath();
        }))
        return;
    // The folders of the new paths are read while the refusals are worked
    // out: neither needs the other.
    std::optional<FreePaths> listing;
    std::jthread reading([&] { listing.emplace(paths); });
    // A file the run would be refused to write where it goes stays: the
    // preview says so in the run's words.
    FolderWriteCheck writeCheck;
    for (qsizetype i = 0; i < count; ++i) {
        if (!moves[i])
            continue;
        if (const auto refusal = writeCheck.refusal(paths[i])) {
            first[i].validation.insertError(*refusal);
            moves[i] = false;
        }
    }
    // Mostly no new path may meet another or the place of any file of the
    // list, told by sorted keys of folded paths made on all cores: then no
    // file waits for another to leave, and every mover keeps its path.
    std::vector<size_t> targetKeys(count);
    std::vector<size_t> placeKeys(count);
    if (!eachFile([&](qsizetype i, FreePaths::Probe&) {
            placeKeys[i] = foldedPathHash(first[i].source.fileInfo.fullPath);
            if (moves[i])
                targetKeys[i] = foldedPathHash(paths[i]);
        }))
        return;
    // The movers' keys alone. A counting predicate would count wrong where
    // an algorithm copies it, as the standard allows.
    qsizetype kept = 0;
    for (qsizetype i = 0; i < count; ++i) {
        if (moves[i])
            targetKeys[kept++] = targetKeys[i];
    }
    targetKeys.resize(kept);
    {
        std::jthread sorting([&] { std::sort(placeKeys.begin(), placeKeys.end()); });
        std::sort(targetKeys.begin(), targetKeys.end());
    }
    const bool mayMeet = std::adjacent_find(targetKeys.cbegin(), targetKeys.cend()) != targetKeys.cend()
        || sharesAnElement(targetKeys, placeKeys);
    for (const RenameOrder::Refusal& refusal : RenameOrder::refusals(files, paths, moves, mayMeet)) {
        files[refusal.position].validation.insertError(refusal.reason);
        moves[refusal.position] = false;
    }
    QSet<QString> takenTexts;
    CaseFolding folding;
    TakenPaths taken(takenTexts, &folding);
    taken.reserve(count);
    for (qsizetype i = 0; i < count; ++i) {
        if (!moves[i])
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
    reading.join();
    const FreePaths& freePaths = *listing;
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
            heldOnDisk[i] = heldOnDisk[i] && isHeldOnDisk(first[i], paths[i], left, folding);
        });
    }
    if (!probed)
        return;
    // Nothing in the way on disk either: the sets of taken paths below are not needed.
    if (!anyFound && !mayMeet)
        return;

    const bool autoResolveDuplicates = Preference::boolFor(PreferenceKey::autoResolveDuplicates);
    // The searches by wanted path, shared by the files that want it: the
    // length of the extension tells "a.b" + "c" from "a" + "b.c".
    QHash<std::pair<QString, qsizetype>, CounterSearch> searches;
    FreePaths::Probe candidateProbe;
    // Which mover claimed a path; kept once a file has stayed, whose place a
    // mover may have claimed while it was still leaving.
    std::optional<QHash<QString, qsizetype>> claimedBy;
    const auto claimed = [&](qsizetype i) {
        if (claimedBy)
            claimedBy->insert(first[i].transformed.transformedFullPath(), i);
    };
    std::vector<qsizetype> stayed;
    // A file that cannot go where it wants stays where it is, and its place
    // is taken: the run would refuse a mover that counts on it.
    const auto stay = [&](qsizetype i) {
        if (!claimedBy) {
            claimedBy.emplace();
            for (qsizetype j = 0; j < i; ++j) {
                if (moves[j])
                    claimed(j);
            }
        }
        moves[i] = false;
        const QString& place = first[i].source.fileInfo.fullPath;
        if (leavingPaths)
            leavingPaths->remove(place);
        taken.insert(place);
        stayed.push_back(i);
    };
    // Gives a mover whose path is taken a counter, or makes it stay with the
    // error the run would stop at.
    const auto resolve = [&](qsizetype i, bool listed) {
        File& file = first[i];
        std::optional<QString> suffix;
        if (autoResolveDuplicates) {
            // A counted name is looked up in the folder's listing first, where it was read.
            suffix = findUniqueSuffix(file, taken, stop,
                [&](const QString& candidate) {
                    return !freePaths.isSurelyFree(candidate, candidateProbe) && isHeldOnDisk(file, candidate, leaving(), folding);
                },
                searches[{ paths[i], file.isDirectory() ? -1 : file.transformed.transformedExt.value().size() }]);
        }
        if (!suffix) {
            file.validation.insertError(listed ? Message::notUnique : Message::alreadyExists);
            stay(i);
            return;
        }
        // Its warning is written once all counters are settled, on all cores.
        file.transformed.uniqueSuffix = *suffix;
        claimed(i);
        // The counter is part of the name on disk and counts towards its length.
        if (isTooLong(file.transformed.targetFileName())) {
            file.validation.insertError(Message::tooLong);
            stay(i);
        }
    };
    // A mover that claimed the place of a file that stays looks again.
    const auto settle = [&] {
        while (!stayed.empty()) {
            const qsizetype s = stayed.back();
            stayed.pop_back();
            for (const QString& path : taken.entriesOf(first[s].source.fileInfo.fullPath)) {
                const qsizetype c = claimedBy->value(path, -1);
                if (c < 0 || c == s || !moves[c])
                    continue;
                claimedBy->remove(path);
                first[c].transformed.uniqueSuffix.clear();
                resolve(c, true);
            }
        }
    };

    for (qsizetype i = 0; i < count; ++i) {
        if (stop.stop_requested())
            return;
        if (!moves[i])
            continue;
        if (!heldOnDisk[i] && taken.claim(paths[i])) {
            claimed(i);
            continue;
        }
        resolve(i, !heldOnDisk[i] || taken.contains(paths[i]));
        settle();
    }
    // A counted file says so: its own message, its own set, made on all cores.
    forEachChunkConcurrently(count, WARNING_CHUNK_SIZE, [&] {
        return [&](qsizetype begin, qsizetype end) {
            for (qsizetype i = begin; i < end; ++i) {
                if (const QString& suffix = first[i].transformed.uniqueSuffix; !suffix.isEmpty())
                    first[i].validation.insertWarning(Message::suffixAdded(suffix));
            }
            return true;
        };
    });
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
    std::atomic<qint64> errorCount = 0;
    std::atomic<qint64> renameCount = 0;
    forEachChunkConcurrently(files.size(), DISK_CHUNK_SIZE, [&] {
        return [&](qsizetype begin, qsizetype end) {
            qint64 errors = 0;
            qint64 renames = 0;
            for (qsizetype i = begin; i < end; ++i) {
                const File& file = files.at(i);
                if (hasErrors(file))
                    ++errors;
                else if (isChanged(file) && !isInPlace(file))
                    ++renames;
            }
            errorCount += errors;
            renameCount += renames;
            return true;
        };
    });
    FileValidationResult result;
    result.errorCount = errorCount;
    result.renameCount = renameCount;
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
