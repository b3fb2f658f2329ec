// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/Transformers.h"

#include "core/AppNotification.h"
#include "core/UserInputBlockObserver.h"
#include "core/DependencyInjectionRegistry.h"
#include "core/UndoManager+perform.h"
#include "files/FileDataSource.h"
#include "files/ExtendedFileInfo.h"
#include "platform/BackgroundPool.h"
#include "platform/Log.h"
#include "platform/MainThread.h"
#include "tokens/DecodingError.h"

#include <QFileInfo>
#include <QPointer>
#include <QSet>

#include <atomic>

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

// A recipe asked for: filled on a worker, applied on the main thread.
struct Transformers::PendingRecipe {
    std::optional<QUrl> url; // none for a recipe given as text
    // Set by the worker once the fields below are final.
    std::atomic<bool> isRead = false;
    std::optional<Recipe> recipe; // none when it could not be read
    QString error;
    // The rules as they will be listed, and as a recipe file stores them.
    QList<Transformer> rules;
    QList<QByteArray> savedRules;
};

void Transformers::loadRecipe(const QUrl& recipeUrl)
{
    Log::debug(Log::Category::transformers, "🔶 ===============[ loadRecipe ]==================");
    auto pending = std::make_shared<PendingRecipe>();
    pending->url = recipeUrl;
    startLoading(std::move(pending), [recipeUrl](PendingRecipe& read) {
        const QString path = ExtendedFileInfo::read(recipeUrl).fullPath;
        if (!QFileInfo::exists(path)) {
            read.error = QStringLiteral("Recipe file '") + path + QStringLiteral("' does not exist.");
            Log::error(Log::Category::transformers, "%{public}s", read.error);
            return;
        }
        try {
            read.recipe = Recipe::fromURL(recipeUrl);
        } catch (const DecodingError& error) {
            Log::error(Log::Category::transformers, "Unable to load recipe from '%{public}s', error: %{public}@",
                recipeUrl.toString(), error.message());
            read.error = error.message();
        }
    });
}

void Transformers::loadRecipe(const QString& jsonString)
{
    startLoading(std::make_shared<PendingRecipe>(), [jsonString](PendingRecipe& read) {
        try {
            read.recipe = Recipe::fromText(jsonString, QStringConverter::Utf8);
        } catch (const DecodingError& error) {
            Log::error(Log::Category::transformers, "Unable to load recipe from JSON: \"%{public}s\"", jsonString);
            read.error = QStringLiteral("The recipe text could not be read.\n\n") + error.message();
        }
    });
}

void Transformers::startLoading(std::shared_ptr<PendingRecipe> pending, std::function<void(PendingRecipe&)> read)
{
    m_pendingRecipes.push_back(pending);
    const QPointer<Transformers> self(this);
    BackgroundPool::start([self, pending, read = std::move(read)] {
        read(*pending);
        if (pending->recipe && pending->recipe->isSupportedFormat()) {
            pending->rules = withUniqueIds(pending->recipe->transformers.value_or(QList<Transformer>()));
            for (const Transformer& rule : pending->rules)
                pending->savedRules << storedData(rule);
        }
        pending->isRead.store(true, std::memory_order_release);
        MainThread::post([self] {
            if (self)
                self->applyReadRecipes();
        });
    });
}

void Transformers::applyReadRecipes()
{
    if (m_inputBlock && m_inputBlock->isBlocked())
        return;
    // Taken off the list first: an alert shown while applying may run the
    // loop that applies the next one.
    while (!m_pendingRecipes.empty() && m_pendingRecipes.front()->isRead.load(std::memory_order_acquire)) {
        const std::shared_ptr<PendingRecipe> next = std::move(m_pendingRecipes.front());
        m_pendingRecipes.pop_front();
        apply(*next);
    }
}

void Transformers::apply(PendingRecipe& pending)
{
    if (!pending.recipe) {
        warn(kUnableToLoad, pending.error);
        return;
    }
    loadTransformers(pending);
    // Remembered even when its version is refused: the file is still a recipe.
    if (pending.url && m_rememberRecipe)
        m_rememberRecipe(*pending.url);
}

bool Transformers::isSupportedRecipeFormat(const Recipe& recipe)
{
    return recipe.isSupportedFormat();
}

void Transformers::loadTransformers(const PendingRecipe& read)
{
    const Recipe& recipe = *read.recipe;
    const std::optional<QUrl>& newRecipeUrl = read.url;
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
    const QList<QByteArray> capturedSavedRules = m_savedRules;
    const FileSortOrder capturedSortOrder = dataSource->sortOrder();
    const QList<Transformer> newList = read.rules;
    const QList<QByteArray> newSavedRules = read.savedRules;
    // Written out already, on the worker.
    for (qsizetype i = 0; i < newList.size(); ++i)
        m_storedRules.insert(newList[i].id, { newList[i], newSavedRules[i] });
    const FileSortOrder newSortOrder = recipe.sortOrder.value_or(FileSortOrder::none);

    const QPointer<Transformers> weakSelf(this);
    const auto step = [weakSelf, dataSource](const QList<Transformer>& list, const std::optional<QUrl>& url,
                          FileSortOrder sortOrder, const QList<QByteArray>& savedRules) {
        if (weakSelf) {
            weakSelf->load(list);
            // Opened: the rules are those of the file. Undone: the earlier recipe's state comes back.
            weakSelf->m_savedRules = savedRules;
            weakSelf->setRecipeUrl(url);
        }
        dataSource->sortByWithoutUndo(sortOrder);
        AppNotification::post(NotificationName::dataSourceUpdated, {}, std::nullopt,
            QStringLiteral("loadTransformers(recipe:newRecipeUrl:)"));
    };
    UndoManagerHelpers::perform(
        QStringLiteral("Open Recipe"),
        [step, newList, newRecipeUrl, newSortOrder, newSavedRules] {
            step(newList, newRecipeUrl, newSortOrder, newSavedRules);
        },
        [step, capturedList, capturedUrl, capturedSortOrder, capturedSavedRules] {
            step(capturedList, capturedUrl, capturedSortOrder, capturedSavedRules);
        });
}
