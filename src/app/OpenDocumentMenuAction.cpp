// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/OpenDocumentMenuAction.h"

#include "app/DialogStartFolders.h"
#include "app/MainWindow.h"
#include "app/OpenPanel.h"
#include "core/AppNotification+Typed.h"
#include "uikit/FileDialogFolder.h"

void OpenDocumentMenuAction::openDocument(QObject*)
{
    open(OpenPanel::Mode::files);
}

void OpenDocumentMenuAction::openFolder(QObject*)
{
    open(OpenPanel::Mode::folder);
}

void OpenDocumentMenuAction::open(OpenPanel::Mode mode)
{
    MainWindow* window = MainWindow::mainWindow();
    if (!window)
        return;
    if (m_panel) {
        m_panel->raise();
        return;
    }
    auto* panel = new OpenPanel(mode, window);
    panel->setAttribute(Qt::WA_DeleteOnClose);
    FileDialogFolder::attach(panel, mode == OpenPanel::Mode::files ? QStringLiteral("openFiles") : QStringLiteral("openFolder"),
        DialogStartFolders::openedFolder());
    m_panel = panel;
    connect(panel, &QDialog::finished, this, [panel](int result) {
        if (result == QDialog::Accepted)
            AppNotification::OpenFolder::post(panel->urls(), true, FileAction::replace);
    });
    // Window-modal, like a sheet: open() returns at once.
    panel->open();
}
