// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/NewDocumentMenuAction.h"

#include "app/MainWindow.h"
#include "app/RecipeChangesAlert.h"
#include "core/AppNotification.h"
#include "core/UndoableActionManager.h"
#include "platform/Log.h"
#include "platform/MainThread.h"
#include "tokens/FileAttributesWorker.h"
#include "platform/MainWindowLocator.h"

namespace {
void bringToFront()
{
    if (MainWindow* window = MainWindow::mainWindow()) {
        window->raise();
        window->activateWindow();
    }
}
} // namespace

void NewDocumentMenuAction::newDocument(QObject* sender)
{
    MainThread::post([this] {
        const auto dataSource = m_dataSource();
        const auto transformers = m_transformers();
        if (!MainWindow::mainWindow() || !dataSource || !transformers)
            return;
        if (!RecipeChangesAlert::mayReplaceRecipe())
            return;
        // What undo brings back: the list as it is stored, so that the steps
        // before this one find their files where they left them.
        const FileComponents files = dataSource->getAllComponents();
        const FileSortOrder sortOrder = dataSource->sortOrder();
        const QList<Transformer> rules = transformers->list();
        const std::optional<QUrl> recipeUrl = transformers->recipeUrl();
        const std::weak_ptr<FileDataSource> weakDataSource = dataSource;
        const std::weak_ptr<Transformers> weakTransformers = transformers;

        auto doAction = UndoableActionManager::fromSync([weakDataSource, weakTransformers] {
            Log::debug(Log::Category::ui, "🔷 newFilesAndTransformers");
            const auto store = weakDataSource.lock();
            const auto rulesList = weakTransformers.lock();
            if (!store || !rulesList)
                return;
            FileAttributesWorker::shared().cancel();
            store->replaceFilesNoUndo({}, FileAction::replace, false);
            store->sortByWithoutUndo(FileSortOrder::defaultSort);
            rulesList->reset();
            bringToFront();
        });
        auto undoAction = UndoableActionManager::fromSync(
            [weakDataSource, weakTransformers, files, sortOrder, rules, recipeUrl] {
                Log::debug(Log::Category::ui, "🔷 undoing newFilesAndTransformers");
                const auto store = weakDataSource.lock();
                const auto rulesList = weakTransformers.lock();
                if (!store || !rulesList)
                    return;
                store->restoreAllComponents(files);
                // The order as it was, dragged rows included; no new sort.
                store->setSortOrder(sortOrder);
                rulesList->load(rules);
                rulesList->setRecipeUrl(recipeUrl);
                AppNotification::post(NotificationName::dataSourceUpdated, {}, std::nullopt,
                    QStringLiteral("newDocument(_:)"));
                bringToFront();
            });
        // Its undo brings back the list, with paths that a rename makes stale.
        const UndoManager::TargetScope listStep(MainWindowLocator::undoManager(), dataSource.get());
        UndoableActionManager::shared().perform(QStringLiteral("New"), doAction, undoAction);
    });
}
