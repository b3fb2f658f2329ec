#include "app/CommandLineProcessor.h"

#include "core/AppNotification+Typed.h"
#include "core/URL+path.h"
#include "files/Directory.h"
#include "platform/Log.h"

#include <QDir>

namespace CommandLineProcessor {

Arguments parse(const QStringList& arguments)
{
    Arguments parsed;
    QString currentOption;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
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

void processCommandLine(const QStringList& arguments)
{
    if (arguments.isEmpty())
        return;
    const Arguments parsed = parse(arguments);
    for (auto it = parsed.options.constBegin(); it != parsed.options.constEnd(); ++it) {
        if (it.key() == QLatin1String("-d"))
            openDirectory(it.value());
        else if (it.key() == QLatin1String("-r"))
            openRecipe(it.value().value(0));
    }
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
    if (text.startsWith(QLatin1Char('{'))) {
        QString json = text;
        if (json.endsWith(QLatin1Char('\'')))
            json = json.chopped(1).normalized(QString::NormalizationForm_C);
        AppNotification::OpenRecipe::postJson(json);
        return;
    }
    QString path = text.startsWith(QLatin1Char('~')) ? Directory::homeDirectory() + text.mid(1) : text;
    if (QDir::isRelativePath(path))
        path = QDir::currentPath() + QLatin1Char('/') + path;
    AppNotification::OpenRecipe::post(QUrl::fromLocalFile(path));
}

} // namespace CommandLineProcessor
