// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

// The command line: "-d" followed by a folder or file to open in place of the
// list, "-r" followed by a recipe (a path, "~/…", or JSON text beginning with
// "{"). Each option takes the one argument right after it; repeat "-d" for more.
// Relative paths count from the working folder.
//
// What the desktop hands over: arguments that follow no option are documents
// (opened like files dropped on the application), and every argument after
// "--service" is a file or folder to rename (opened asking to replace or append).
namespace CommandLineProcessor {

inline const QString SERVICE_MARKER = QStringLiteral("--service");

struct Arguments {
    QMap<QString, QStringList> options;
    // Arguments that follow no option (the program path left out).
    QStringList documents;
    // Every argument after "--service".
    QStringList serviceFiles;
};

Arguments parse(const QStringList& arguments);
// What "--help" or "--version" prints in place of starting the application;
// none when neither is asked for.
std::optional<QString> helpOrVersionText(const QStringList& arguments);
// The positions of the arguments that name files or folders.
QList<qsizetype> pathPositions(const QStringList& arguments);
// The arguments with every path made absolute against the working folder:
// "~" is the home folder, file:// URLs become paths.
QStringList absoluteArguments(const QStringList& arguments, const QString& workingDirectory);

// Acts on "-d", "-r" and "--service"; the documents are the caller's (see
// `parse`). Answers whether a recipe was asked for.
bool processCommandLine(const QStringList& arguments, const QString& workingDirectory);

void openDirectory(const QStringList& paths);
void openRecipe(const QString& text);

} // namespace CommandLineProcessor
