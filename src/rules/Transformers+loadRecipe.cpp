// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/Transformers.h"

#include "core/AppNotification.h"
#include "core/DependencyInjectionRegistry.h"
#include "core/UndoManager+perform.h"
#include "files/FileDataSource.h"
#include "platform/Log.h"
#include "tokens/DecodingError.h"

#include <QFileInfo>
#include <QPointer>
#include <QSet>

namespace {

const QString kUnableToLoad = QStringLiteral("Unable to load Recipe");

// A hand-edited recipe may repeat a rule id; the rule list needs them unique.
QList<Transformer> withUniqueIds(QList<Transformer> rules)
{
    QSet<QString> seen;
    for (Transformer& rule : rules) {
        if (seen.contains(rule.id))
            rule.id = Transformer::newId();
        seen.insert(rule.id);
    }
    return rules;
}

} // namespace

void Transformers::warn(const QString& messageText, const QString& informativeText) const
{
    if (m_presentAlert)
        m_presentAlert(messageText, informativeText);
}

void Transformers::loadRecipe(const QUrl& recipeUrl)
{
    Log::debug(Log::Category::transformers, "🔶 ===============[ loadRecipe ]==================");
    if (!recipeFileExists(ExtendedFileInfo::read(recipeUrl).fullPath))
        return;
    Recipe recipe;
    try {
        recipe = Recipe::fromURL(recipeUrl);
    } catch (const DecodingError& error) {
        Log::error(Log::Category::transformers, "Unable to load recipe from '%{public}s', error: %{public}@",
            recipeUrl.toString(), error.message());
        warn(kUnableToLoad, error.message());
        return;
    }
    loadTransformers(recipe, recipeUrl);
    // Remembered even when its version is refused: the file is still a recipe.
    if (m_rememberRecipe)
        m_rememberRecipe(recipeUrl);
}

void Transformers::loadRecipe(const QString& jsonString)
{
    try {
        loadTransformers(Recipe::fromText(jsonString, QStringConverter::Utf8), std::nullopt);
    } catch (const DecodingError&) {
        Log::error(Log::Category::transformers, "Unable to load recipe from JSON: \"%{public}s\"", jsonString);
    }
}

bool Transformers::recipeFileExists(const QString& path)
{
    if (QFileInfo::exists(path))
        return true;
    const QString message = QStringLiteral("Recipe file '") + path + QStringLiteral("' does not exist.");
    Log::error(Log::Category::transformers, "%{public}s", message);
    warn(kUnableToLoad, message);
    return false;
}

bool Transformers::isSupportedRecipeFormat(const Recipe& recipe)
{
    return recipe.isSupportedFormat();
}

void Transformers::loadTransformers(const Recipe& recipe, const std::optional<QUrl>& newRecipeUrl)
{
    const auto dataSource = DependencyInjectionRegistry::get<FileDataSource>(
        QStringLiteral("Transformers+loadRecipe"), QStringLiteral("loadTransformers(recipe:newRecipeUrl:)"), __LINE__);
    if (!dataSource)
        return;
    if (!isSupportedRecipeFormat(recipe)) {
        warn(kUnableToLoad,
            QStringLiteral("The Recipe file is created by an incompatible version of Brackenfold.\n\n"
                           "The opened file format has version ")
                + recipe.recipeFormatVersion.value_or(QString())
                + QStringLiteral("\nCurrently supported file format is version ")
                + Recipe::RECIPE_FORMAT_VERSION.description());
        return;
    }
    const QList<Transformer> capturedList = m_list;
    const std::optional<QUrl> capturedUrl = m_recipeUrl;
    const QByteArray capturedSavedRules = m_savedRules;
    const FileSortOrder capturedSortOrder = dataSource->sortOrder();
    const QList<Transformer> newList = withUniqueIds(recipe.transformers.value_or(QList<Transformer>()));
    const FileSortOrder newSortOrder = recipe.sortOrder.value_or(FileSortOrder::none);

    const QPointer<Transformers> weakSelf(this);
    const auto step = [weakSelf, dataSource](const QList<Transformer>& list, const std::optional<QUrl>& url,
                          FileSortOrder sortOrder, const std::optional<QByteArray>& savedRules) {
        if (weakSelf) {
            weakSelf->load(list);
            // Opened: the rules are those of the file. Undone: the earlier recipe's state comes back.
            weakSelf->m_savedRules = savedRules.value_or(storedData(weakSelf->m_list));
            weakSelf->setRecipeUrl(url);
        }
        dataSource->sortByWithoutUndo(sortOrder);
        AppNotification::post(NotificationName::dataSourceUpdated, {}, std::nullopt,
            QStringLiteral("loadTransformers(recipe:newRecipeUrl:)"));
    };
    UndoManagerHelpers::perform(
        QStringLiteral("Open Recipe"), [step, newList, newRecipeUrl, newSortOrder] { step(newList, newRecipeUrl, newSortOrder, std::nullopt); },
        [step, capturedList, capturedUrl, capturedSortOrder, capturedSavedRules] {
            step(capturedList, capturedUrl, capturedSortOrder, capturedSavedRules);
        });
}
