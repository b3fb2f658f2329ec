#pragma once

#include "app/OpenPanel.h"

#include <QObject>
#include <QPointer>


// Shows the open panel over the main window; the picked files and folders go to
// the open-folder flow, which asks whether to replace or append.
class OpenDocumentMenuAction : public QObject {
    Q_OBJECT
public:
    // The panel on screen, null when none is.
    OpenPanel* openPanel() const { return m_panel; }

public slots:
    void openDocument(QObject* sender);

private:
    QPointer<OpenPanel> m_panel;
};
