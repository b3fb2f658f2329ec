// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/DependencyInjectionRegistry.h"
#include "files/FileDataSource.h"

#include <QObject>

// Empties the file list as one undoable step ("Clear N files").
class ClearFileListMenuAction : public QObject {
    Q_OBJECT
public slots:
    void clearFileListAction(QObject* sender);

private:
    Inject<FileDataSource> m_dataSource;
};
