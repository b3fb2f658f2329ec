// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>

class ButtonCollectionView;
class ButtonCollectionViewItem;
#include "rules/Transformers.h"

// Turns the rule list into one button per rule and a trailing "Add" button.
// It keeps no state besides the rule list; every call reads the list afresh.
class ButtonViewDataSource : public QObject {
    Q_OBJECT
public:
    explicit ButtonViewDataSource(Transformers* transformers, QObject* parent = nullptr);

    Transformers* transformers() const { return m_transformers; }
    int count() const;
    bool isEmpty() const;
    std::optional<int> findTransformerIndexFor(const QString& transformerId) const;

    // Selects the current rule's button (or none) and moves the selector line.
    void updateCurrentSelections(ButtonCollectionView* collectionView) const;
    void updateSelector(ButtonCollectionView* collectionView) const;

    int numberOfItems() const;
    void configureItem(ButtonCollectionViewItem* item, int index) const;


private:
    QPointer<Transformers> m_transformers;
};
