// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/Transformers.h"

#include "core/AppNotification.h"
#include "core/DependencyInjectionRegistry.h"
#include "core/UndoManager+perform.h"
#include "core/UserInputBlockObserver.h"
#include "files/FileDataSource.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"

#include <QPointer>

Transformers::Transformers(QObject* parent)
    : QObject(parent)
{
    initObservers();
    m_inputBlock = new UserInputBlockObserver(
        [this](bool blocked) {
            if (!blocked)
                applyReadRecipes();
        },
        this);
}

void Transformers::initObservers()
{
    NotificationCenter& center = NotificationCenter::defaultCenter();
    center.addObserver(this, NotificationName::clearAllTransformers,
        [this](const Notification&) { clearAllTransformersEvent(); });
    center.addObserver(this, NotificationName::resetRandomNumbers,
        [this](const Notification&) { resetRandomNumbersEvent(); });
}

bool Transformers::contains(std::optional<qsizetype> index) const
{
    return index && *index >= 0 && *index < count();
}

bool Transformers::contains(const std::optional<Transformer>& transformer) const
{
    return transformer && m_list.contains(*transformer);
}

bool Transformers::containsId(const std::optional<QString>& id) const
{
    return id && m_keyMap.contains(*id);
}

std::optional<qsizetype> Transformers::indexOf(const std::optional<QString>& id) const
{
    if (!id)
        return std::nullopt;
    const auto it = m_keyMap.constFind(*id);
    if (it == m_keyMap.cend())
        return std::nullopt;
    return it.value();
}

std::optional<Transformer> Transformers::transformer(const QString& id) const
{
    if (m_keyMap.isEmpty() || m_keyMap.size() != m_list.size())
        return std::nullopt;
    const auto index = indexOf(id);
    if (!index || *index >= count())
        return std::nullopt;
    return m_list.at(*index);
}

std::optional<Transformer> Transformers::transformer(qsizetype index) const
{
    if (index < 0 || index >= count())
        return std::nullopt;
    return m_list.at(index);
}

std::optional<Transformer> Transformers::currentTransformer() const
{
    if (!m_currentTransformerId)
        return std::nullopt;
    return transformer(*m_currentTransformerId);
}

void Transformers::assignRecipeUrl(const std::optional<QUrl>& url)
{
    m_recipeUrl = url;
    m_recipeName = url ? ExtendedFileInfo::read(*url).name : QString();
    AppNotification::post(NotificationName::updateWindowTitle, {}, std::nullopt, QStringLiteral("recipeUrl"));
}

bool Transformers::hasPathScope() const
{
    return std::any_of(m_list.cbegin(), m_list.cend(),
        [](const Transformer& t) { return t.transformScope == TransformScope::path || t.transformScope == TransformScope::fullPath; });
}

bool Transformers::usesFileAttributes() const
{
    return std::any_of(m_list.cbegin(), m_list.cend(), [](const Transformer& t) { return t.usesFileAttributes(); });
}

void Transformers::load(const QList<Transformer>& newList)
{
    m_list = newList;
    updateKeyMap();
    updateCurrentSelectTransformer();
    selectTransformer(m_list.isEmpty() ? std::nullopt : std::optional<QString>(m_list.first().id));
    AppNotification::post(NotificationName::transformButtonUpdated, {}, std::nullopt, QStringLiteral("load(newList:)"));
    AppNotification::post(NotificationName::applyChanges, {}, std::nullopt, QStringLiteral("load(newList:)"));
}

void Transformers::replaceTransformers(const QList<Transformer>& list)
{
    m_list = list;
    updateKeyMap();
    updateCurrentSelectTransformer();
}

void Transformers::updateTransformers(const QList<Transformer>& list)
{
    for (const Transformer& transformer : list)
        updateTransformer(transformer);
    updateKeyMap();
    updateCurrentSelectTransformer();
}

void Transformers::updateTransformer(const Transformer& transformer)
{
    const auto index = indexOf(transformer.id);
    if (!index || *index >= count())
        return;
    const Transformer& stored = m_list.at(*index);
    if (qHash(stored) == qHash(transformer) && stored.state == transformer.state)
        return;
    Log::debug(Log::Category::transformers, "Updating transformer %{public}s at index %ld", transformer.id, *index);
    m_list[*index] = transformer;
}

void Transformers::addOrReplaceTransformer(const Transformer& transformer)
{
    if (containsId(transformer.id))
        updateTransformer(transformer);
    else
        m_list.append(transformer);
    updateKeyMap();
    AppNotification::post(NotificationName::updateButtonView, {}, std::nullopt,
        QStringLiteral("addOrReplaceTransformer(_:)"));
    AppNotification::post(NotificationName::applyChanges, {}, std::nullopt,
        QStringLiteral("addOrReplaceTransformer(_:)"));
}

void Transformers::insert(const Transformer& transformer, qsizetype index)
{
    // A position past the end appends; a negative one puts the rule first.
    m_list.insert(std::clamp<qsizetype>(index, 0, count()), transformer);
    logTransformerIds(QStringLiteral("Insert: "));
    updateKeyMap();
    selectTransformer(transformer.id);
}

bool Transformers::deleteTransformer(qsizetype index)
{
    if (!contains(index))
        return false;
    m_list.removeAt(index);
    logTransformerIds(QStringLiteral("Delete: "));
    updateKeyMap();
    if (index < count())
        selectTransformer(m_list.at(index).id);
    else if (index - 1 >= 0 && index - 1 < count())
        selectTransformer(m_list.at(index - 1).id);
    else
        selectTransformer(std::nullopt);
    return true;
}

void Transformers::deleteTransformer(const QString& id)
{
    if (const auto index = indexOf(id))
        deleteTransformer(*index);
}

void Transformers::move(qsizetype from, qsizetype to)
{
    if (from == to || !contains(from) || !contains(to))
        return;
    const qsizetype targetIndex = from < to ? to + 1 : to;
    Log::debug(Log::Category::transformers, "Moving button from %ld to %ld, targetIndex: %ld", from, to, targetIndex);
    logTransformerIds(QStringLiteral("Before Move: "));
    m_list.move(from, to);
    logTransformerIds(QStringLiteral("After Move: "));
    updateKeyMap();
}

void Transformers::selectTransformer(const std::optional<QString>& id)
{
    if (id == m_currentTransformerId)
        return;
    m_currentTransformerId = containsId(id) ? id : std::nullopt;
    updateCurrentSelectTransformer();
}

void Transformers::selectTransformerAt(std::optional<qsizetype> index)
{
    if (contains(index))
        selectTransformer(m_list.at(*index).id);
    else
        selectTransformer(std::nullopt);
}

void Transformers::updateEnabledState(const std::optional<QString>& id, bool enabled)
{
    const auto index = indexOf(id);
    if (!index || *index >= count())
        return;
    Transformer changed = m_list.at(*index);
    changed.disabled = !enabled;
    addOrReplaceTransformer(changed);
    AppNotification::post(NotificationName::transformButtonUpdated, {}, std::nullopt,
        QStringLiteral("updateEnabledState(of:to:)"));
}

void Transformers::setRecipeUrl(const std::optional<QUrl>& url)
{
    assignRecipeUrl(url);
    AppNotification::post(NotificationName::dataSourceUpdated, {}, std::nullopt, QStringLiteral("setRecipeUrl(_:)"));
}

void Transformers::clear()
{
    m_list.clear();
    m_keyMap.clear();
    if (m_currentTransformerId) {
        m_currentTransformerId.reset();
        updateCurrentSelectTransformer();
    }
    assignRecipeUrl(std::nullopt);
    if (m_cancelValidation)
        m_cancelValidation();
}

void Transformers::reset()
{
    clear();
    addOrReplaceTransformer(Transformer::newTransformer());
    selectTransformer(m_list.isEmpty() ? std::nullopt : std::optional<QString>(m_list.first().id));
    AppNotification::post(NotificationName::transformButtonUpdated, {}, std::nullopt, QStringLiteral("reset()"));
}

void Transformers::clearAllTransformersEvent()
{
    const QList<Transformer> captured = m_list;
    const std::optional<QUrl> capturedUrl = m_recipeUrl;
    const QPointer<Transformers> weakSelf(this);
    const auto step = [weakSelf](const QList<Transformer>& list, const std::optional<QUrl>& url) {
        if (weakSelf) {
            weakSelf->load(list);
            weakSelf->setRecipeUrl(url);
        }
        AppNotification::post(NotificationName::dataSourceUpdated, {}, std::nullopt,
            QStringLiteral("clearAllTransformersEvent()"));
    };
    UndoManagerHelpers::perform(
        QStringLiteral("Clear All Transformers"), [step] { step({}, std::nullopt); },
        [step, captured, capturedUrl] { step(captured, capturedUrl); });
}

void Transformers::resetRandomNumbersEvent()
{
    const auto current = currentTransformer();
    if (!current)
        return;
    const auto dataSource = DependencyInjectionRegistry::get<FileDataSource>(
        QStringLiteral("Transformers+EventHandlers"), QStringLiteral("resetRandomNumbersEvent()"), 0);
    if (!dataSource)
        return;
    Transformer changed = *current;
    changed.state.randomNumberGenerator = UniqueRandomNumberGenerator(dataSource->orderedIndex().size());
    addOrReplaceTransformer(changed);
}

void Transformers::updateKeyMap()
{
    m_keyMap = getKeyMap(m_list);
    if (m_currentTransformerId && !m_keyMap.contains(*m_currentTransformerId))
        m_currentTransformerId.reset();
    // Every structural change may change which Select rule governs the current
    // rule (a deleted or moved Select rule), not only a change of the current rule.
    updateCurrentSelectTransformer();
}

QHash<QString, qsizetype> Transformers::getKeyMap(const QList<Transformer>& list)
{
    QHash<QString, qsizetype> map;
    for (qsizetype i = 0; i < list.size(); ++i)
        map.insert(list.at(i).id, i);
    return map;
}

void Transformers::updateCurrentSelectTransformer()
{
    m_currentSelectTransformer.reset();
    for (const Transformer& transformer : std::as_const(m_list)) {
        if (transformer.type == TransformerType::select && !transformer.disabled)
            m_currentSelectTransformer = transformer;
        if (m_currentTransformerId && transformer.id == *m_currentTransformerId)
            return;
    }
}

QStringList Transformers::keys() const
{
    QStringList ids;
    for (const Transformer& transformer : m_list)
        ids << transformer.id;
    return ids;
}

void Transformers::logTransformerIds(const QString& prefix) const
{
    if (!Log::isEnabled(Log::Category::transformers, Log::Level::debug))
        return;
    QStringList quoted;
    for (const QString& id : keys())
        quoted << QLatin1Char('"') + id + QLatin1Char('"');
    Log::debug(Log::Category::transformers, "%{public}sTransformers: %{public}s", prefix,
        QLatin1Char('[') + quoted.join(QStringLiteral(", ")) + QLatin1Char(']'));
}
