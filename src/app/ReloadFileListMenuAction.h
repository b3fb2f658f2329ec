// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/DependencyInjectionRegistry.h"
#include "core/UserInputBlockObserver.h"
#include "files/FileDataSource.h"

#include <QObject>

class QAction;

// Opens the locations of the last open again, replacing the list.
class ReloadFileListMenuAction : public QObject {
    Q_OBJECT
public:
    ReloadFileListMenuAction();

    bool userInputEnabled() const { return !m_inputBlock.isBlocked(); }

public slots:
    void reloadFileList(QObject* sender);
    bool validateMenuItem(QAction* item);

private:
    Inject<FileDataSource> m_dataSource;
    UserInputBlockObserver m_inputBlock { nullptr };
};
