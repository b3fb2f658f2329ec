// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "filetable/PreviewWindow.h"
#include "files/File.h"
#include "platform/Notification.h"

#include <QObject>
#include <QPointer>

#include <optional>

class QWidget;

// Shows the file the table announces in the preview window: showOrHideQuickLook
// opens or closes it, updateQuickLook moves it to the newly selected file while
// it is open. One instance lives for the run.
class QuickLookController : public QObject {
    Q_OBJECT
public:
    static QuickLookController& shared();
    ~QuickLookController() override;

    const std::optional<File>& previewedFile() const { return m_previewedFile; }
    // Null until the preview was first opened.
    PreviewWindow* previewWindow() const { return m_previewWindow; }
    bool isPreviewVisible() const;

    void showOrHideQuickLookEvent(const Notification& notification);
    void updateQuickLookEvent(const Notification& notification);

private:
    QuickLookController();
    void setPreviewedFile(const Notification& notification);
    PreviewWindow* makePreviewWindow(QObject* responder);
    QString previewedPath() const;

    std::optional<File> m_previewedFile;
    QPointer<PreviewWindow> m_previewWindow;
};
