#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

// The command line: "-d" followed by a folder or file to open in place of the
// list, "-r" followed by a recipe (a path, "~/…", or JSON text beginning with
// "{"). Each option takes the one argument right after it; repeat "-d" for more.
namespace CommandLineProcessor {

struct Arguments {
    QMap<QString, QStringList> options;
    // Arguments that follow no option (the program path left out): documents
    // handed over by the desktop.
    QStringList documents;
};

Arguments parse(const QStringList& arguments);
void processCommandLine(const QStringList& arguments);

void openDirectory(const QStringList& paths);
void openRecipe(const QString& text);

} // namespace CommandLineProcessor
