// SPDX-License-Identifier: GPL-3.0-or-later
#include "ruleui/ButtonViewDelegate.h"

#include "core/AppNotification.h"
#include "core/DelayedUpdateWorker.h"
#include "core/UndoManager+perform.h"
#include "platform/Log.h"
#include "rules/Transformers.h"
#include "ruleui/ButtonCollectionView.h"
#include "ruleui/ButtonCollectionViewItem.h"
#include "ruleui/RemovalAnimation.h"
#include "platform/Task.h"
#include "uikit/Sound.h"

#include <QMimeData>
#include <QTimer>

namespace {
QString optionalText(const std::optional<QString>& text)
{
    return text ? QStringLiteral("Optional(\"%1\")").arg(*text) : QStringLiteral("nil");
}
} // namespace

ButtonViewDelegate::ButtonViewDelegate(Transformers* transformers, QObject* parent)
    : QObject(parent)
    , m_transformers(transformers)
    , m_clock(&Clock::system())
    , m_lastAnimationTime(m_clock->now())
{
}

void ButtonViewDelegate::setClock(Clock& clock)
{
    m_clock = &clock;
    m_lastAnimationTime = clock.now();
}

bool ButtonViewDelegate::passesAnimationGate()
{
    const Clock::TimePoint now = m_clock->now();
    const bool passes = now - m_lastAnimationTime > animationGap;
    m_lastAnimationTime = now;
    return passes;
}

void ButtonViewDelegate::postTransformButtonUpdated(const QString& function)
{
    AppNotification::post(NotificationName::transformButtonUpdated, {}, std::nullopt, function);
}

QList<int> ButtonViewDelegate::shouldSelectItemsAt(ButtonCollectionView* collectionView, const QList<int>& indexes) const
{
    // The trailing "Add" button is never selected.
    QList<int> accepted;
    for (int index : indexes)
        if (index < collectionView->numberOfItems() - 1)
            accepted << index;
    return accepted;
}

void ButtonViewDelegate::didSelectItemsAt(ButtonCollectionView*, const QList<int>& indexes)
{
    if (!m_transformers || indexes.isEmpty())
        return;
    const int k = indexes.first();
    Log::debug(Log::Category::ui, "⭐️ didSelectItemsAt: %ld", k);
    if (k < 0 || k >= m_transformers->count())
        return;
    const QString id = m_transformers->list().at(k).id;
    if (m_dragTransformerId != id)
        doSelectButton(id, k);
}

void ButtonViewDelegate::doSelectButton(const std::optional<QString>& transformerId, int index)
{
    if (!m_transformers || transformerId == m_transformers->currentTransformerId())
        return;
    QPointer<ButtonViewDelegate> self(this);
    QTimer::singleShot(0, this, [self, transformerId, index] {
        if (!self || !self->m_transformers)
            return;
        Log::debug(Log::Category::ui, "Selecting button %s at index %ld", optionalText(transformerId), index);
        self->m_transformers->selectTransformer(transformerId);
        self->postTransformButtonUpdated(QStringLiteral("doSelectButton(_:at:)"));
    });
}

void ButtonViewDelegate::doSelectButtonAt(std::optional<int> index, ButtonCollectionView* collectionView)
{
    if (!m_transformers)
        return;
    const int count = int(m_transformers->count());
    std::optional<int> i = index;
    if (i == -1)
        i = count - 1;
    if (i && *i >= 0 && *i < count) {
        if (collectionView)
            collectionView->setSelectionIndexes({ *i });
        m_transformers->selectTransformerAt(*i);
    } else {
        if (collectionView)
            collectionView->setSelectionIndexes({});
        if (m_transformers->currentTransformerId())
            m_transformers->selectTransformer(std::nullopt);
    }
    postTransformButtonUpdated(QStringLiteral("doSelectButtonAt(_:_:)"));
}

void ButtonViewDelegate::doAddButtonAt(int index, const Transformer& transformer, ButtonCollectionView*)
{
    if (!m_transformers)
        return;
    m_transformers->insert(transformer, index);
    passesAnimationGate(); // the bar shows an insert by its reload
    postTransformButtonUpdated(QStringLiteral("doAddButtonAt(_:_:_:)"));
}

void ButtonViewDelegate::doDeleteButtonAt(int index, ButtonCollectionView*)
{
    if (!m_transformers)
        return;
    const std::optional<PendingRemoval> removal = std::exchange(m_pendingRemoval, std::nullopt);
    if (m_transformers->deleteTransformer(index) && passesAnimationGate() && removal)
        RemovalAnimation::play(removal->picture, removal->globalCenter);
    postTransformButtonUpdated(QStringLiteral("doDeleteButtonAt(_:_:)"));
}

void ButtonViewDelegate::doMoveButton(ButtonCollectionView* collectionView, int from, int to, const QString& function)
{
    if (m_transformers) {
        m_transformers->move(from, to);
        if (to < m_transformers->count())
            m_transformers->selectTransformer(m_transformers->list().at(to).id);
    }
    passesAnimationGate(); // the move itself is not animated
    if (collectionView)
        collectionView->moveItem(from, to);
    postTransformButtonUpdated(function);
}

void ButtonViewDelegate::addNewButtonWithUndo(ButtonCollectionView* collectionView, std::optional<TransformerType> kind)
{
    if (!m_transformers)
        return;
    const int n = int(m_transformers->count());
    Transformer transformer = Transformer::newTransformer();
    if (kind)
        transformer.type = *kind;
    QPointer<ButtonViewDelegate> self(this);
    QPointer<ButtonCollectionView> view(collectionView);
    UndoManagerHelpers::perform(QStringLiteral("Add Rename Action"),
        [self, view, n, transformer] { if (self) self->doAddButtonAt(n, transformer, view); },
        [self, view, n] { if (self) self->doDeleteButtonAt(n, view); });
}

void ButtonViewDelegate::deleteCurrentButtonWithUndo(ButtonCollectionView* collectionView)
{
    if (!m_transformers)
        return;
    const auto index = m_transformers->indexOf(m_transformers->currentTransformerId());
    if (!index || *index >= m_transformers->count())
        return;
    const int i = int(*index);
    const Transformer deleted = m_transformers->list().at(i);
    QPointer<ButtonViewDelegate> self(this);
    QPointer<ButtonCollectionView> view(collectionView);
    UndoManagerHelpers::perform(QStringLiteral("Delete %1 Action").arg(deleted.buttonLabel()),
        [self, view, i] { if (self) self->doDeleteButtonAt(i, view); },
        [self, view, i, deleted] { if (self) self->doAddButtonAt(i, deleted, view); });
}

void ButtonViewDelegate::moveButtonWithUndo(ButtonCollectionView* collectionView, int from, int to)
{
    if (from == to)
        return;
    QPointer<ButtonViewDelegate> self(this);
    QPointer<ButtonCollectionView> view(collectionView);
    UndoManagerHelpers::perform(QStringLiteral("Move Rename Action"),
        [self, view, from, to] { if (self) self->doMoveButton(view, from, to); },
        [self, view, from, to] { if (self) self->doMoveButton(view, to, from); },
        [self, view, from, to] { if (self) self->doMoveButton(view, from, to); });
}

void ButtonViewDelegate::moveButtonAfterDragWithUndo(ButtonCollectionView* collectionView, int from, int to)
{
    if (from == to)
        return;
    const QString function = QStringLiteral("doMoveButton(_:_:_:)");
    QPointer<ButtonViewDelegate> self(this);
    QPointer<ButtonCollectionView> view(collectionView);
    UndoManagerHelpers::perform(QStringLiteral("Move Rename Action"),
        [self] { if (self) self->postTransformButtonUpdated(QStringLiteral("moveButtonWithUndo(collectionView:from:to:)")); },
        [self, view, from, to, function] { if (self) self->doMoveButton(view, to, from, function); },
        [self, view, from, to, function] { if (self) self->doMoveButton(view, from, to, function); });
}

QMimeData* ButtonViewDelegate::pasteboardWriterForItemAt(int) const
{
    // The drag carries no rule: the dragged rule is known from the drag state.
    auto* mimeData = new QMimeData;
    mimeData->setData(Transformer::pasteboardType, QByteArray());
    return mimeData;
}

bool ButtonViewDelegate::canDragItemsAt(ButtonCollectionView* collectionView, const QList<int>& indexes)
{
    if (!m_transformers || indexes.isEmpty())
        return false;
    const int k = indexes.first();
    const bool allRules = std::all_of(indexes.begin(), indexes.end(), [&](int i) { return i >= 0 && i < m_transformers->count(); });
    const auto current = m_transformers->indexOf(m_transformers->currentTransformerId());
    if (current && collectionView)
        collectionView->setSelectionIndexes({ int(*current) });
    const bool answer = allRules && current.has_value() && *current == k;
    Log::debug(Log::Category::ui, "⭐️ canDragItemsAt: %ld %s %{bool}d", k, optionalText(m_transformers->currentTransformerId()),
        answer ? 1 : 0);
    return answer;
}

void ButtonViewDelegate::willBeginAt(ButtonCollectionView*, const QList<int>& indexes)
{
    // A new drag starts from a clean state, whatever the last one left.
    m_dragIndexPath.reset();
    m_lastValidatedDragPath.reset();
    m_dropAccepted = false;
    m_initialDragIndexPath = indexes.isEmpty() ? std::nullopt : std::optional<int>(indexes.first());
    m_dragTransformerId.reset();
    if (!m_initialDragIndexPath)
        return;
    const int k = *m_initialDragIndexPath;
    Log::debug(Log::Category::ui, "⭐️ willBeginAt: %ld", k);
    if (m_transformers && k >= 0 && k < m_transformers->count()) {
        m_dragTransformerId = m_transformers->list().at(k).id;
        m_transformers->selectTransformer(m_dragTransformerId);
    }
}

Qt::DropAction ButtonViewDelegate::validateDrop(ButtonCollectionView* collectionView, int proposedIndex)
{
    const std::optional<int> source = m_dragIndexPath ? m_dragIndexPath : m_initialDragIndexPath;
    if (!source || !m_transformers || proposedIndex >= m_transformers->count() || proposedIndex < 0 || *source == proposedIndex)
        return Qt::MoveAction;
    if (m_lastValidatedDragPath == proposedIndex) {
        Log::debug(Log::Category::ui, "⭐️ validateDrop: blocked duplicate fromIndex: %ld toIndex: %ld", *source, proposedIndex);
        return Qt::MoveAction;
    }
    m_lastValidatedDragPath = proposedIndex;
    Log::debug(Log::Category::ui, "⭐️ validateDrop: fromIndex: %ld toIndex: %ld", *source, proposedIndex);
    // The live move happens now, so no queued move can outlive the drag.
    m_dragIndexPath = proposedIndex;
    m_transformers->move(*source, proposedIndex);
    if (collectionView)
        collectionView->moveItem(*source, proposedIndex);
    return Qt::MoveAction;
}

bool ButtonViewDelegate::acceptDrop(ButtonCollectionView* collectionView, int index)
{
    const int count = m_transformers ? int(m_transformers->count()) : 0;
    if (index >= count || index < 0 || !m_initialDragIndexPath)
        return false;
    Log::debug(Log::Category::ui, "⭐️ acceptDrop: fromIndex: %ld toIndex: %ld", *m_initialDragIndexPath, index);
    // The undo step names where the rule really is after the live moves.
    const auto position = m_transformers->indexOf(m_dragTransformerId);
    const int to = position ? int(*position) : index;
    m_dropAccepted = true;
    moveButtonAfterDragWithUndo(collectionView, *m_initialDragIndexPath, to);
    return true;
}

void ButtonViewDelegate::endedAt(ButtonCollectionView* collectionView, const QPoint& screenPoint)
{
    Log::debug(Log::Category::ui, "⭐️ endedAt: [x: %f, y: %f]", double(screenPoint.x()), double(screenPoint.y()));
    // A drag that was not dropped on the bar puts back the order its live
    // moves made: no undo step names them, and the preview never saw them.
    if (!m_dropAccepted && m_transformers && m_initialDragIndexPath && m_dragTransformerId) {
        const auto position = m_transformers->indexOf(m_dragTransformerId);
        if (position && int(*position) != *m_initialDragIndexPath && *m_initialDragIndexPath < m_transformers->count()) {
            m_transformers->move(*position, *m_initialDragIndexPath);
            if (collectionView)
                collectionView->moveItem(int(*position), *m_initialDragIndexPath);
            postTransformButtonUpdated(QStringLiteral("collectionView(_:draggingSession:endedAt:dragOperation:)"));
        }
    }
    const bool outside = collectionView && collectionView->window() && !collectionView->isWithinKeepMargin(screenPoint);
    if (outside && !m_dropAccepted) {
        if (const auto position = m_transformers && m_dragTransformerId ? m_transformers->indexOf(m_dragTransformerId) : std::nullopt)
            if (ButtonCollectionViewItem* dragged = collectionView->item(int(*position)))
                m_pendingRemoval = PendingRemoval { dragged->grab(), screenPoint };
        deleteCurrentButtonWithUndo(collectionView);
        m_pendingRemoval.reset();
        // Played also when the wait is cut short.
        TaskHandle::detached([](std::stop_token stop) {
            cancellableSleep(stop, deleteSoundDelay);
            Sound::play(deleteSoundName);
        });
    }
    m_initialDragIndexPath.reset();
    m_dragIndexPath.reset();
    m_dragTransformerId.reset();
    m_lastValidatedDragPath.reset();
    m_dropAccepted = false;
    DelayedUpdateWorker::scheduleDelayedUpdate(false);
}
