// SPDX-License-Identifier: GPL-3.0-or-later
#include "ruleui/ButtonViewDataSource.h"

#include "platform/Log.h"
#include "rules/Transformers.h"
#include "ruleui/ButtonCollectionView.h"
#include "ruleui/ButtonCollectionViewItem.h"

namespace {
QString scopeLabel(TransformScope scope)
{
    switch (scope) {
    case TransformScope::filename: return QStringLiteral("File");
    case TransformScope::path: return QStringLiteral("Path");
    case TransformScope::ext: return QStringLiteral("Ext");
    case TransformScope::fullPath: return QStringLiteral("Full");
    }
    return QString();
}
} // namespace

ButtonViewDataSource::ButtonViewDataSource(Transformers* transformers, QObject* parent)
    : QObject(parent)
    , m_transformers(transformers)
{
}

int ButtonViewDataSource::count() const
{
    return m_transformers ? int(m_transformers->count()) : 0;
}

bool ButtonViewDataSource::isEmpty() const
{
    return count() == 0;
}

std::optional<int> ButtonViewDataSource::findTransformerIndexFor(const QString& transformerId) const
{
    if (!m_transformers)
        return std::nullopt;
    const auto index = m_transformers->indexOf(transformerId);
    return index ? std::optional<int>(int(*index)) : std::nullopt;
}

void ButtonViewDataSource::updateCurrentSelections(ButtonCollectionView* collectionView) const
{
    std::optional<int> index;
    if (m_transformers && m_transformers->currentTransformerId())
        index = findTransformerIndexFor(*m_transformers->currentTransformerId());
    if (index) {
        Log::debug(Log::Category::ui, "Setting selected button to index: %ld", *index);
        collectionView->setSelectionIndexes({ *index });
    } else {
        collectionView->setSelectionIndexes({});
    }
    updateSelector(collectionView);
}

void ButtonViewDataSource::updateSelector(ButtonCollectionView* collectionView) const
{
    const QList<int>& selection = collectionView->selectionIndexes();
    QWidget* view = selection.isEmpty() ? nullptr : collectionView->item(selection.first());
    emit collectionView->selectorViewChanged(view);
}

int ButtonViewDataSource::numberOfItems() const
{
    const int result = count() + 1;
    Log::debug(Log::Category::ui, "Transform Button count: %ld", result);
    return result;
}

void ButtonViewDataSource::configureItem(ButtonCollectionViewItem* item, int index) const
{
    if (!m_transformers)
        return;
    const int n = count();
    if (index == n) {
        item->setStyle(ButtonStyle::add);
        item->setToolTip(QStringLiteral("Add Rename Action"));
        item->setSelected(false);
        return;
    }
    if (index > n) {
        item->setSelected(false);
        item->setStyle(ButtonStyle::none);
        return;
    }
    const Transformer rule = m_transformers->list().at(index);
    item->setTransformer(rule);
    item->setSelected(m_transformers->currentTransformerId() == rule.id);
    item->setLabel(rule.buttonLabel());
    item->setSubLabel(scopeLabel(rule.transformScope));
    if (rule.disabled)
        item->setStyle(item->isSelected() ? ButtonStyle::selectedDisabled : ButtonStyle::unselectedDisabled);
    else
        item->setStyle(item->isSelected() ? ButtonStyle::selectedEnabled : ButtonStyle::unselectedEnabled);
    item->setToolTip(rule.description.value_or(QString()));
}
