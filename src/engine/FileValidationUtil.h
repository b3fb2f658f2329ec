// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/FileValidationResult.h"
#include "files/DirectoryRoots.h"
#include "files/DirectoryValidator.h"
#include "files/File.h"

#include <QList>
#include <QStringList>
#include <QSet>
#include <QString>

#include <functional>
#include <optional>
#include <stop_token>

// The rules that decide whether a file's new name can be applied on disk. The
// verdicts go into the file's validation facet: errors keep a file from being
// renamed, warnings do not.
namespace FileValidationUtil {

inline constexpr int MAX_FILENAME_LENGTH = 255;

namespace Message {
inline const QString empty = QStringLiteral("Filename is empty");
inline const QString tooLong = QStringLiteral("Filename is longer than 255 bytes");
inline const QString invalidCharacters = QStringLiteral("Filename contains invalid characters");
// The sentence above followed by the characters found, by name: "…: tab, “/”".
QString invalidCharactersNamed(const QStringList& characters);
inline const QString validationFailed = QStringLiteral("Validation Failed");
inline const QString notUnique = QStringLiteral("Filename is not unique.");
inline const QString alreadyExists = QStringLiteral("An item with this name already exists");
QString suffixAdded(const QString& suffix);
} // namespace Message

// Clears the file's errors and warnings, then applies the per-file rules.
// `roots` are the machine's folders for the folder rules; read once per list.
void validateFile(File& file, const DirectoryRoots& roots = DirectoryRoots::fromMachine());
// The same with a validator that serves the whole list (one per thread): the
// folder rules then ask the disk once per folder.
void validateFile(File& file, DirectoryValidator& directoryValidator);
void validateFiles(QList<File>& files);

// Whether the new path, name or extension differs from the one on disk
// (canonical comparison, with case).
bool isChanged(const File& file);
// Whether the new full path, counter included, is exactly where the file is
// already: such a file needs no move and is no rename, whatever its parts say.
bool isInPlace(const File& file);

// The full paths of the files that stay where they are (errors or unchanged).
QSet<QString> unchangedFilenames(const QList<File>& files);
// The duplicate check over the whole list, after the per-file rules: the first
// file in list order keeps a path, later ones get a counter suffix. A path held
// on disk by an item that is not leaving in this run is taken too. Where no
// counter is given (duplicates are not resolved automatically, or none is
// free) the file gets the error the run would stop at: notUnique when a listed
// file takes the path, alreadyExists for an item on disk. A file with an error
// stays where it is, so its place is taken as well. In a folder that folds
// case two spellings of one name are one path. A file whose folder the run
// could not write gets the run's refusal as an error. Counters of an earlier
// check are looked for afresh. Returns early at cancellation.
void validateUniquenessInterruptable(QList<File>& files, std::stop_token stop = {});
// `isTakenOnDisk` tells which candidates are held on disk.
std::optional<QString> findUniqueSuffixForFile(const File& file, QSet<QString>& taken, std::stop_token stop = {},
    const std::function<bool(const QString&)>& isTakenOnDisk = {});

// The counts of a list.
FileValidationResult countFiles(const QList<File>& files);
// The counts of a list, logged.
FileValidationResultRef makeValidationResult(const QList<File>& files);
QString description(const FileValidationResult& result);
// Builds the counts, logs them and posts validationResult.
void reportValidationResults(const QList<File>& files, const QString& function);

} // namespace FileValidationUtil
