// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DialogStartFolders.h"

#include "core/DependencyInjectionRegistry.h"
#include "files/FileDataSource.h"
#include "rules/Transformers.h"

#include <QFileInfo>

namespace DialogStartFolders {

QString openedFolder()
{
    const auto dataSource = DependencyInjectionRegistry::get<FileDataSource>(
        QStringLiteral("Brackenfold/DialogStartFolders.cpp"), QStringLiteral("openedFolder()"), __LINE__);
    return dataSource ? dataSource->openedFolder() : QString();
}

QString recipeFolder()
{
    const auto transformers = DependencyInjectionRegistry::get<Transformers>(
        QStringLiteral("Brackenfold/DialogStartFolders.cpp"), QStringLiteral("recipeFolder()"), __LINE__);
    if (transformers && transformers->recipeUrl() && transformers->recipeUrl()->isLocalFile())
        return QFileInfo(transformers->recipeUrl()->toLocalFile()).absolutePath();
    return openedFolder();
}

} // namespace DialogStartFolders
