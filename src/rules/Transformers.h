// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rules/Recipe.h"
#include "rules/Transformer.h"

#include <QHash>
#include <QPointer>
#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>

#include <deque>
#include <functional>
#include <memory>
#include <optional>

// The document's ordered list of rename rules, with the current rule (the one
// in the rule editor), the Select rule that governs it and the recipe file.
// Main thread only. Single edits are made undoable by the rule bar and the
// rule editor; clearing all rules is an undo step of its own.
class UserInputBlockObserver;

class Transformers : public QObject {
    Q_OBJECT
public:
    explicit Transformers(QObject* parent = nullptr);

    // Hook of the layer above: cancels the running validation when the list is cleared.
    void setValidationCanceller(std::function<void()> cancel) { m_cancelValidation = std::move(cancel); }
    // Hooks of the layer above: shows a warning (message and informative text),
    // and remembers a recipe file among the recent ones.
    using AlertPresenter = std::function<void(const QString& messageText, const QString& informativeText)>;
    void setAlertPresenter(AlertPresenter present) { m_presentAlert = std::move(present); }
    void setRecipeRememberer(std::function<void(const QUrl&)> remember) { m_rememberRecipe = std::move(remember); }

    // Queries.
    const QList<Transformer>& list() const { return m_list; }
    qsizetype count() const { return m_list.size(); }
    bool isEmpty() const { return m_list.isEmpty(); }
    bool contains(std::optional<qsizetype> index) const;
    bool contains(const std::optional<Transformer>& transformer) const;
    bool containsId(const std::optional<QString>& id) const;
    std::optional<qsizetype> indexOf(const std::optional<QString>& id) const;
    // None unless every rule has its own id.
    std::optional<Transformer> transformer(const QString& id) const;
    std::optional<Transformer> transformer(qsizetype index) const;

    const std::optional<QString>& currentTransformerId() const { return m_currentTransformerId; }
    std::optional<Transformer> currentTransformer() const;
    const std::optional<Transformer>& currentSelectTransformer() const { return m_currentSelectTransformer; }

    const std::optional<QUrl>& recipeUrl() const { return m_recipeUrl; }
    // Assigns the recipe file: refreshes the recipe name and the window title.
    void assignRecipeUrl(const std::optional<QUrl>& url);
    const QString& recipeName() const { return m_recipeName; }
    // Whether the rules differ from those the recipe file held when it was
    // last opened or saved; without a recipe file, whether they are more than
    // one untouched new rule.
    bool hasUnsavedChanges() const;

    bool hasPathScope() const;
    bool usesFileAttributes() const;

    // Edits.
    void load(const QList<Transformer>& newList);
    void replaceTransformers(const QList<Transformer>& list);
    void updateTransformers(const QList<Transformer>& list);
    void addOrReplaceTransformer(const Transformer& transformer);
    void insert(const Transformer& transformer, qsizetype index);
    bool deleteTransformer(qsizetype index);
    void deleteTransformer(const QString& id);
    void move(qsizetype from, qsizetype to);
    void selectTransformer(const std::optional<QString>& id);
    void selectTransformerAt(std::optional<qsizetype> index);
    void updateEnabledState(const std::optional<QString>& id, bool enabled);
    void setRecipeUrl(const std::optional<QUrl>& url);
    void clear();
    void reset();

    // Recipes. Loading replaces the rules, the recipe file and the file list's
    // sort order as one undo step ("Open Recipe"); a recipe that cannot be
    // read, or is newer than this build reads, changes nothing and is reported.
    // A recipe is read and parsed off the main thread, so a large or slow file
    // never holds the window; loads take effect in the order they were asked
    // for, and not while input is blocked (a rename run keeps its rules).
    void loadRecipe(const QUrl& recipeUrl);
    void loadRecipe(const QString& jsonString);
    // Whether a recipe asked for has not taken effect yet.
    bool isLoadingRecipe() const { return !m_pendingRecipes.empty(); }
    // Writes the rules and the sort order to the file, replacing it only once
    // the whole recipe is written; false, after a warning, when that fails.
    bool saveRecipe(const QUrl& url);

    // Notification handlers.
    void clearAllTransformersEvent();
    void resetRandomNumbersEvent();

private:
    void initObservers();
    void updateTransformer(const Transformer& transformer);
    void updateKeyMap();
    static QHash<QString, qsizetype> getKeyMap(const QList<Transformer>& list);
    void updateCurrentSelectTransformer();
    void logTransformerIds(const QString& prefix) const;
    QStringList keys() const;
    struct PendingRecipe;
    // Reads the recipe on a worker; it is applied once it and every load asked
    // for before it are read.
    void startLoading(std::shared_ptr<PendingRecipe> pending, std::function<void(PendingRecipe&)> read);
    void applyReadRecipes();
    void apply(PendingRecipe& pending);
    void loadTransformers(const PendingRecipe& read);
    static bool isSupportedRecipeFormat(const Recipe& recipe);
    void warn(const QString& messageText, const QString& informativeText) const;
    // The rules as a recipe file stores them.
    static QList<Transformer> storedForm(const QList<Transformer>& rules);
    // One rule as a recipe file stores it.
    static QByteArray storedData(const Transformer& rule);
    // Every rule so; a rule unchanged since it was last written out is not
    // written again, so a large lookup table costs nothing while other rules
    // are edited.
    QList<QByteArray> storedData(const QList<Transformer>& rules) const;

    std::optional<QUrl> m_recipeUrl;
    // The rules as the recipe file held them when it was last opened or saved.
    QList<QByteArray> m_savedRules;
    // By rule id: the stored form last made of the rule, with the rule it was made from.
    mutable QHash<QString, std::pair<Transformer, QByteArray>> m_storedRules;
    QString m_recipeName;
    std::optional<QString> m_currentTransformerId;
    std::optional<Transformer> m_currentSelectTransformer;
    QList<Transformer> m_list;
    QHash<QString, qsizetype> m_keyMap;
    std::function<void()> m_cancelValidation;
    AlertPresenter m_presentAlert;
    std::function<void(const QUrl&)> m_rememberRecipe;
    std::deque<std::shared_ptr<PendingRecipe>> m_pendingRecipes;
    QPointer<UserInputBlockObserver> m_inputBlock;
};
