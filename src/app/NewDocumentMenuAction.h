// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/DependencyInjectionRegistry.h"
#include "files/FileDataSource.h"
#include "rules/Transformers.h"

#include <QObject>

// Starts a new document, no files and one fresh rule, as one undo step "New".
class NewDocumentMenuAction : public QObject {
    Q_OBJECT
public slots:
    void newDocument(QObject* sender);

private:
    Inject<FileDataSource> m_dataSource;
    Inject<Transformers> m_transformers;
};
