// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLineProcessor.h"

#include "core/AppNotification+Typed.h"
#include "core/URL+path.h"
#include "files/Directory.h"
#include "platform/Log.h"

#include <QDir>

namespace CommandLineProcessor {

namespace {

bool isRecipeText(const QString& text)
{
    return text.startsWith(QLatin1Char('{'));
}

QString absolutePath(const QString& path, const QString& workingDirectory)
{
    QString result = path;
    if (result.startsWith(QLatin1String("file://"))) {
        if (const QString local = QUrl(result).toLocalFile(); !local.isEmpty())
            result = local;
    }
    if (result == QLatin1String("~") || result.startsWith(QLatin1String("~/")))
        result = Directory::homeDirectory() + result.mid(1);
    // A plain file path: Qt's own test would take ":x.txt" for a resource.
    if (!result.startsWith(QLatin1Char('/')))
        result = QDir::cleanPath(workingDirectory + QLatin1Char('/') + result);
    return result;
}

} // namespace

Arguments parse(const QStringList& arguments)
{
    Arguments parsed;
    QString currentOption;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == SERVICE_MARKER) {
            parsed.serviceFiles = arguments.mid(i + 1);
            break;
        }
        if (argument.startsWith(QLatin1Char('-'))) {
            currentOption = argument;
            if (!parsed.options.contains(currentOption))
                parsed.options.insert(currentOption, {});
            continue;
        }
        if (!currentOption.isEmpty())
            parsed.options[currentOption] << argument;
        else
            parsed.documents << argument;
        currentOption.clear();
    }
    return parsed;
}

std::optional<QString> helpOrVersionText(const QStringList& arguments)
{
    const Arguments parsed = parse(arguments);
    if (parsed.options.contains(QStringLiteral("--help"))) {
        return QStringLiteral(
            "Usage: brackenfold [-d PATH]... [-r RECIPE] [PATH]...\n"
            "Renames many files and folders at once by a list of rules, with a preview of every new name.\n"
            "\n"
            "  -d PATH      list this folder or file in place of the files listed; repeat -d for more\n"
            "  -r RECIPE    open this recipe: a recipe file, or recipe text beginning with \"{\"\n"
            "  PATH         add this folder or file to the list; a single recipe file is opened as the recipe\n"
            "  --help       print this help and exit\n"
            "  --version    print the version and exit\n"
            "\n"
            "When Brackenfold is running already, the request goes to its window.\n");
    }
    if (parsed.options.contains(QStringLiteral("--version")))
        return QStringLiteral("Brackenfold " BRACKENFOLD_VERSION "\n");
    return std::nullopt;
}

QList<qsizetype> pathPositions(const QStringList& arguments)
{
    QList<qsizetype> positions;
    QString currentOption;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == SERVICE_MARKER) {
            for (qsizetype j = i + 1; j < arguments.size(); ++j)
                positions << j;
            break;
        }
        if (argument.startsWith(QLatin1Char('-'))) {
            currentOption = argument;
            continue;
        }
        const bool isPath = currentOption.isEmpty() || currentOption == QLatin1String("-d")
            || (currentOption == QLatin1String("-r") && !isRecipeText(argument));
        if (isPath)
            positions << i;
        currentOption.clear();
    }
    return positions;
}

QStringList absoluteArguments(const QStringList& arguments, const QString& workingDirectory)
{
    QStringList result = arguments;
    for (qsizetype position : pathPositions(arguments))
        result[position] = absolutePath(arguments.at(position), workingDirectory);
    return result;
}

bool processCommandLine(const QStringList& arguments, const QString& workingDirectory)
{
    if (arguments.isEmpty())
        return false;
    const Arguments parsed = parse(absoluteArguments(arguments, workingDirectory));
    bool recipeAsked = false;
    for (auto it = parsed.options.constBegin(); it != parsed.options.constEnd(); ++it) {
        if (it.key() == QLatin1String("-d")) {
            openDirectory(it.value());
        } else if (it.key() == QLatin1String("-r")) {
            openRecipe(it.value().value(0));
            recipeAsked = recipeAsked || !it.value().isEmpty();
        }
    }
    if (!parsed.serviceFiles.isEmpty()) {
        Log::info(Log::Category::files, "Rename with Brackenfold: %{public}s", parsed.serviceFiles.join(QStringLiteral(", ")));
        AppNotification::OpenFolder::post(URL::from(parsed.serviceFiles), true, FileAction::replace);
    }
    return recipeAsked;
}

void openDirectory(const QStringList& paths)
{
    for (const QString& path : paths)
        Log::info(Log::Category::files, "CommandLine Opening Directory: %{public}s", path);
    AppNotification::OpenFolder::post(URL::from(paths), false, FileAction::replace);
}

void openRecipe(const QString& text)
{
    Log::info(Log::Category::transformers, "CommandLine Opening Recipe: %{public}s", text);
    if (text.isEmpty())
        return;
    if (isRecipeText(text)) {
        QString json = text;
        if (json.endsWith(QLatin1Char('\'')))
            json = json.chopped(1).normalized(QString::NormalizationForm_C);
        AppNotification::OpenRecipe::postJson(json);
        return;
    }
    const QString path = absolutePath(text, QDir::currentPath());
    AppNotification::OpenRecipe::post(QUrl::fromLocalFile(path));
}

} // namespace CommandLineProcessor
