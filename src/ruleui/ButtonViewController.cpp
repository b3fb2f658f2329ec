// SPDX-License-Identifier: GPL-3.0-or-later
#include "ruleui/ButtonViewController.h"

#include "core/AppNotification+Typed.h"
#include "core/UserInputBlockObserver.h"
#include "core/DependencyInjectionRegistry.h"
#include "platform/NotificationCenter.h"
#include "rules/Transformers.h"
#include "ruleui/ButtonCollectionView.h"
#include "ruleui/ButtonViewDataSource.h"
#include "ruleui/ButtonViewDelegate.h"
#include "ruleui/TransformViewDialogController.h"

#include <QHBoxLayout>
#include <QTimer>

ButtonViewController::ButtonViewController(QWidget* parent)
    : QWidget(parent)
    , m_collectionView(new ButtonCollectionView(this))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_collectionView);
    connect(m_collectionView, &ButtonCollectionView::addRequested, this, [this] { addRenameAction(); });
    connect(m_collectionView, &ButtonCollectionView::deleteRequested, this, [this] { deleteRenameAction(); });
    connect(m_collectionView, &ButtonCollectionView::contextMenuRequested, this, &ButtonViewController::showContextMenu);
    initObservers();
}

void ButtonViewController::setup(Transformers* transformers, ButtonViewDataSource* dataSource, ButtonViewDelegate* delegate)
{
    m_transformers = transformers;
    m_dataSource = dataSource;
    m_delegate = delegate;
    m_collectionView->setDataSource(dataSource);
    m_collectionView->setDelegate(delegate);
    m_collectionView->reloadData();
}

void ButtonViewController::initObservers()
{
    auto& center = NotificationCenter::defaultCenter();
    new UserInputBlockObserver(
        [this](bool blocked) { blocked ? disableUserInputEvent() : enableUserInputEvent(); }, this);
    center.addObserver(this, NotificationName::transformButtonUpdated, [this](const Notification&) { transformButtonUpdatedEvent(); });
    center.addObserver(this, NotificationName::updateButtonView, [this](const Notification&) { updateButtonViewEvent(); });
    center.addObserver(this, NotificationName::selectTransformer, [this](const Notification& n) { selectTransformerEvent(n); });
}

void ButtonViewController::enableUserInputEvent()
{
    m_collectionView->setSelectable(true);
}

void ButtonViewController::disableUserInputEvent()
{
    m_collectionView->setSelectable(false);
}

void ButtonViewController::reloadAndSelect()
{
    m_collectionView->reloadData();
    if (m_dataSource)
        m_dataSource->updateCurrentSelections(m_collectionView);
}

void ButtonViewController::transformButtonUpdatedEvent()
{
    reloadAndSelect();
    // The path columns show while some rule edits paths: a new document, a
    // delete or an undo that changes that shows or hides them too.
    const bool hasPathScope = m_transformers && m_transformers->hasPathScope();
    if (hasPathScope != m_hadPathScope) {
        m_hadPathScope = hasPathScope;
        AppNotification::post(hasPathScope ? NotificationName::uncollapsePathColumns : NotificationName::collapsePathColumns,
            {}, std::nullopt, QStringLiteral("transformButtonUpdatedEvent()"));
    }
    AppNotification::post(NotificationName::applyChanges, {}, std::nullopt, QStringLiteral("transformButtonUpdatedEvent()"));
}

void ButtonViewController::updateButtonViewEvent()
{
    QPointer<ButtonViewController> self(this);
    QTimer::singleShot(0, this, [self] {
        if (self)
            self->reloadAndSelect();
    });
}

void ButtonViewController::selectTransformerEvent(const Notification& notification)
{
    const auto id = AppNotification::SelectTransformer::getId(notification);
    const auto index = AppNotification::SelectTransformer::getIndex(notification);
    if (id && id->isEmpty()) {
        m_collectionView->setSelectionIndexes({});
        return;
    }
    if (!m_delegate)
        return;
    if (id) {
        const auto found = m_dataSource ? m_dataSource->findTransformerIndexFor(*id) : std::nullopt;
        m_delegate->doSelectButtonAt(found, m_collectionView);
        return;
    }
    if (index)
        m_delegate->doSelectButtonAt(*index, m_collectionView);
}

std::optional<int> ButtonViewController::currentIndex() const
{
    if (!m_transformers)
        return std::nullopt;
    const auto index = m_transformers->indexOf(m_transformers->currentTransformerId());
    return index ? std::optional<int>(int(*index)) : std::nullopt;
}

bool ButtonViewController::validateMenuItem(ButtonViewAction action, int tag) const
{
    if (!m_collectionView->isSelectable() || !m_transformers)
        return false;
    const int count = int(m_transformers->count());
    const int current = currentIndex().value_or(0);
    const bool hasCurrent = m_transformers->currentTransformerId().has_value();
    switch (action) {
    case ButtonViewAction::addRenameAction: return true;
    case ButtonViewAction::deleteRenameAction:
    case ButtonViewAction::clearRenamingActions: return count > 0;
    case ButtonViewAction::selectTransformer: return tag >= -1 && tag < count;
    case ButtonViewAction::selectNextTransformer: return current + 1 < count;
    case ButtonViewAction::selectPrecedingTransformer: return current > 0;
    case ButtonViewAction::moveRenameActionRight: return hasCurrent && current + 1 < count;
    case ButtonViewAction::moveRenameActionLeft: return hasCurrent && current >= 1;
    }
    return false;
}

void ButtonViewController::addRenameAction(QObject* sender)
{
    // While a long process runs the bar takes no edits, from the menu or from "Add".
    if (!m_collectionView->isSelectable() || !m_delegate)
        return;
    const auto kind = sender ? transformerTypeFromRawValue(sender->property(RULE_KIND_PROPERTY).toString()) : std::nullopt;
    m_delegate->addNewButtonWithUndo(m_collectionView, kind);
    // The next keys are meant for the new rule, never for Rename.
    if (const auto dialog = DependencyInjectionRegistry::get<TransformViewDialogController>(
            QStringLiteral("Brackenfold/ButtonViewController"), QStringLiteral("addRenameAction(_:)"), __LINE__))
        dialog->focusFirstFieldWhenShown();
}

void ButtonViewController::deleteRenameAction(QObject*)
{
    if (m_collectionView->isSelectable() && m_delegate)
        m_delegate->deleteCurrentButtonWithUndo(m_collectionView);
}

void ButtonViewController::clearRenamingActions(QObject*)
{
    AppNotification::post(NotificationName::clearAllTransformers, {}, std::nullopt, QStringLiteral("clearRenamingActions(_:)"));
}

void ButtonViewController::selectTransformer(int tag)
{
    if (m_delegate)
        m_delegate->doSelectButtonAt(tag, m_collectionView);
}

void ButtonViewController::selectNextTransformer(QObject*)
{
    if (m_delegate)
        m_delegate->doSelectButtonAt(currentIndex().value_or(-1) + 1, m_collectionView);
}

void ButtonViewController::selectPrecedingTransformer(QObject*)
{
    if (m_delegate)
        m_delegate->doSelectButtonAt(currentIndex().value_or(1) - 1, m_collectionView);
}

void ButtonViewController::moveRenameActionRight(QObject*)
{
    const auto i = currentIndex();
    if (!i || !m_dataSource || *i + 1 >= m_dataSource->count() || !m_delegate)
        return;
    m_delegate->moveButtonWithUndo(m_collectionView, *i, *i + 1);
}

void ButtonViewController::moveRenameActionLeft(QObject*)
{
    const auto i = currentIndex();
    if (!i || *i - 1 < 0 || !m_delegate)
        return;
    m_delegate->moveButtonWithUndo(m_collectionView, *i, *i - 1);
}
