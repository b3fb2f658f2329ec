// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Clock.h"
#include "rules/Transformer.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QPixmap>
#include <QPointer>

#include <chrono>

#include <optional>

class ButtonCollectionView;
class QMimeData;
#include "rules/Transformers.h"

// The rule bar's behaviour: which buttons can be selected and dragged, the
// selection of a rule by click, the live reorder while a button is dragged,
// and every add, delete and move of a rule as a named undo step. Each change
// ends in transformButtonUpdated, which reloads the bar and re-runs the preview.
class ButtonViewDelegate : public QObject {
    Q_OBJECT
public:
    explicit ButtonViewDelegate(Transformers* transformers, QObject* parent = nullptr);

    Transformers* transformers() const { return m_transformers; }

    // Drag state, for inspection.
    std::optional<int> initialDragIndexPath() const { return m_initialDragIndexPath; }
    std::optional<int> dragIndexPath() const { return m_dragIndexPath; }
    std::optional<QString> dragTransformerId() const { return m_dragTransformerId; }
    std::optional<int> lastValidatedDragPath() const { return m_lastValidatedDragPath; }

    // Selection.
    QList<int> shouldSelectItemsAt(ButtonCollectionView* collectionView, const QList<int>& indexes) const;
    void didSelectItemsAt(ButtonCollectionView* collectionView, const QList<int>& indexes);
    void doSelectButton(const std::optional<QString>& transformerId, int index);
    void doSelectButtonAt(std::optional<int> index, ButtonCollectionView* collectionView);

    // Edits; each is also the body of an undo or redo.
    void doAddButtonAt(int index, const Transformer& transformer, ButtonCollectionView* collectionView);
    void doDeleteButtonAt(int index, ButtonCollectionView* collectionView);
    void doMoveButton(ButtonCollectionView* collectionView, int from, int to,
        const QString& function = QStringLiteral("doMoveButton(collectionView:from:to:)"));

    // Undoable steps.
    // A new rule at the end, of the default kind or of `kind`.
    void addNewButtonWithUndo(ButtonCollectionView* collectionView, std::optional<TransformerType> kind = std::nullopt);
    void deleteCurrentButtonWithUndo(ButtonCollectionView* collectionView);
    void moveButtonWithUndo(ButtonCollectionView* collectionView, int from, int to);
    // The move of a drag, already made live: doing it only announces it.
    void moveButtonAfterDragWithUndo(ButtonCollectionView* collectionView, int from, int to);

    // Drag and drop.
    QMimeData* pasteboardWriterForItemAt(int index) const;
    bool canDragItemsAt(ButtonCollectionView* collectionView, const QList<int>& indexes);
    void willBeginAt(ButtonCollectionView* collectionView, const QList<int>& indexes);
    Qt::DropAction validateDrop(ButtonCollectionView* collectionView, int proposedIndex);
    bool acceptDrop(ButtonCollectionView* collectionView, int index);
    // The end of every drag: `screenPoint` is where the pointer let go.
    void endedAt(ButtonCollectionView* collectionView, const QPoint& screenPoint);

    // Bar animations follow each other at least this far apart; tests drive
    // the clock by hand.
    static constexpr std::chrono::milliseconds animationGap { 300 };
    void setClock(Clock& clock);
    // The sound of a rule dragged off the bar, this long after the drop.
    static constexpr std::chrono::milliseconds deleteSoundDelay { 200 };
    static inline const QString deleteSoundName = QStringLiteral("DeleteButton");

private:
    struct PendingRemoval {
        QPixmap picture;
        QPoint globalCenter;
    };

    void postTransformButtonUpdated(const QString& function);
    // Every add, delete and move asks; only one more than animationGap after
    // the last may animate.
    bool passesAnimationGate();

    QPointer<Transformers> m_transformers;
    std::optional<int> m_initialDragIndexPath;
    std::optional<int> m_dragIndexPath;
    std::optional<QString> m_dragTransformerId;
    std::optional<int> m_lastValidatedDragPath;
    bool m_dropAccepted = false;
    Clock* m_clock;
    Clock::TimePoint m_lastAnimationTime;
    std::optional<PendingRemoval> m_pendingRemoval;
};
