// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/Transformers.h"

#include "core/DependencyInjectionRegistry.h"
#include "files/FileDataSource.h"
#include "platform/Log.h"

#include <QJsonDocument>
#include <QSaveFile>

bool Transformers::saveRecipe(const QUrl& url)
{
    const auto dataSource = DependencyInjectionRegistry::get<FileDataSource>(
        QStringLiteral("Transformers+saveRecipe"), QStringLiteral("saveRecipe(_:)"), __LINE__);
    if (!dataSource)
        return false;
    Log::debug(Log::Category::transformers, "saveRecipe: %{public}s", url.toString());

    Recipe recipe;
    recipe.recipeFormatVersion = Recipe::RECIPE_FORMAT_VERSION.description();
    recipe.transformers = storedForm(m_list);
    recipe.sortOrder = dataSource->sortOrder();
    const QByteArray data = recipe.getData();

    // The earlier file stays as it was until the new one is complete.
    QSaveFile file(url.toLocalFile());
    QString reason;
    // Unbuffered, so a short write (a full disk, a size limit) is seen here;
    // through the buffer it would be committed as a cut-off file.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        reason = file.errorString();
    else if (file.write(data) != data.size())
        reason = QStringLiteral("Only part of the recipe could be written; the disk may be full.");
    if (reason.isEmpty() && !file.commit())
        reason = file.errorString();
    if (!reason.isEmpty()) {
        file.cancelWriting();
        Log::error(Log::Category::transformers, "Unable to save to %{public}s,error: %{public}@", url.toString(), reason);
        warn(QStringLiteral("Unable to save Recipe"),
            QStringLiteral("The recipe could not be saved to '%1'.\n\n%2").arg(url.toLocalFile(), reason));
        return false;
    }
    m_savedRules = storedData(m_list);
    setRecipeUrl(url);
    if (m_rememberRecipe)
        m_rememberRecipe(url);
    return true;
}

QList<Transformer> Transformers::storedForm(const QList<Transformer>& rules)
{
    QList<Transformer> stored;
    stored.reserve(rules.size());
    for (const Transformer& rule : rules) {
        Transformer copy = rule;
        copy.properties = rule.properties.copy(rule.type);
        stored << copy;
    }
    return stored;
}

QByteArray Transformers::storedData(const Transformer& rule)
{
    return QJsonDocument(storedForm({ rule }).constFirst().toJson()).toJson(QJsonDocument::Compact);
}

QList<QByteArray> Transformers::storedData(const QList<Transformer>& rules) const
{
    QList<QByteArray> stored;
    stored.reserve(rules.size());
    for (const Transformer& rule : rules) {
        // Equal rules are stored alike.
        auto known = m_storedRules.constFind(rule.id);
        if (known == m_storedRules.constEnd() || !(known->first == rule))
            known = m_storedRules.insert(rule.id, { rule, storedData(rule) });
        stored << known->second;
    }
    // Rules deleted long ago are let go.
    if (m_storedRules.size() > 2 * rules.size() + 16) {
        QHash<QString, std::pair<Transformer, QByteArray>> current;
        for (const Transformer& rule : rules)
            current.insert(rule.id, m_storedRules.value(rule.id));
        m_storedRules = std::move(current);
    }
    return stored;
}

bool Transformers::hasUnsavedChanges() const
{
    if (m_recipeUrl)
        return storedData(m_list) != m_savedRules;
    // Never saved: only an empty list or one untouched new rule holds no work.
    if (m_list.isEmpty())
        return false;
    if (m_list.size() > 1)
        return true;
    // Compared as stored: the values the rule editor fills in are not stored.
    Transformer fresh = Transformer::newTransformer();
    fresh.id = m_list.constFirst().id;
    return storedData(fresh) != storedData(m_list.constFirst());
}
