// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/DependencyInjectionRegistry.h"
#include "core/UserInputBlockObserver.h"
#include "files/FileDataSource.h"

#include <QObject>

class QAction;

// Answers the sixteen sort items: sorts the file list by the chosen order as
// one undoable step. The store moves the check mark.
class SortMenuAction : public QObject {
    Q_OBJECT
public:
    SortMenuAction();

    bool userInputEnabled() const { return !m_inputBlock.isBlocked(); }

public slots:
    bool validateMenuItem(QAction* item);

    void sortNone(QObject* sender) { sort(FileSortOrder::none); }
    void sortDefault(QObject* sender) { sort(FileSortOrder::defaultSort); }
    void sortByNameAscending(QObject* sender) { sort(FileSortOrder::byNameAscending); }
    void sortByNameDescending(QObject* sender) { sort(FileSortOrder::byNameDescending); }
    void sortByTransformedNameAscending(QObject* sender) { sort(FileSortOrder::byTransformedNameAscending); }
    void sortByTransformedNameDescending(QObject* sender) { sort(FileSortOrder::byTransformedNameDescending); }
    void sortByPathAscending(QObject* sender) { sort(FileSortOrder::byPathAscending); }
    void sortByPathDescending(QObject* sender) { sort(FileSortOrder::byPathDescending); }
    void sortByTransformedPathAscending(QObject* sender) { sort(FileSortOrder::byTransformedPathAscending); }
    void sortByTransformedPathDescending(QObject* sender) { sort(FileSortOrder::byTransformedPathDescending); }
    void sortByDateAscending(QObject* sender) { sort(FileSortOrder::byDateModifiedAscending); }
    void sortByDateDescending(QObject* sender) { sort(FileSortOrder::byDateModifiedDescending); }
    void sortByNumericNameAscending(QObject* sender) { sort(FileSortOrder::byNumericNameAscending); }
    void sortByNumericNameDescending(QObject* sender) { sort(FileSortOrder::byNumericNameDescending); }
    void sortByNumericTransformedNameAscending(QObject* sender)
    {
        sort(FileSortOrder::byNumericTransformedNameAscending);
    }
    void sortByNumericTransformedNameDescending(QObject* sender)
    {
        sort(FileSortOrder::byNumericTransformedNameDescending);
    }

private:
    void sort(FileSortOrder order);

    Inject<FileDataSource> m_dataSource;
    UserInputBlockObserver m_inputBlock { nullptr };
};
