// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/OpenPanel.h"

#include <QObject>
#include <QPointer>


// Shows the open dialog for files, or the one for a folder, over the main
// window; what is picked goes to the open-folder flow, which asks whether to
// replace or append.
class OpenDocumentMenuAction : public QObject {
    Q_OBJECT
public:
    // The panel on screen, null when none is.
    OpenPanel* openPanel() const { return m_panel; }

public slots:
    void openDocument(QObject* sender);
    void openFolder(QObject* sender);

private:
    void open(OpenPanel::Mode mode);

    QPointer<OpenPanel> m_panel;
};
