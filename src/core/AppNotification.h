// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Notification.h"

#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <optional>
#include <source_location>

// The event vocabulary of the application. Each name's text is its identifier.
#define BF_NOTIFICATION_NAMES(X) \
    X(applyChanges) X(commitChanges) X(transformButtonUpdated) X(transformButtonSave) \
    X(currentButtonEnabledState) X(abortProcess) X(cancelPendingTransformationTasks) \
    X(removeFiles) X(openFolder) X(openFolderAndWait) X(openRecipe) X(openMostRecentRecipe) \
    X(resetRandomNumbers) X(dataSourceUpdated) X(disableUserInput) X(enableUserInput) \
    X(showProgressIndicator) X(hideProgressIndicator) X(showModalAlert) X(hideModalAlert) \
    X(showProgressView) X(hideProgressView) X(updateProgressView) X(showTokenTextView) \
    X(hideTokenTextView) X(dismissTokenTextPane) X(selectAttribute) X(showOrHideQuickLook) \
    X(updateQuickLook) X(showFileInspector) X(hideFileInspector) X(updateFileInspector) \
    X(showOrHideFileInspector) X(toggleLookupTable) X(showLookupTable) X(hideLookupTable) \
    X(updateLookupTable) X(toggleTokenAttributePanel) X(showTokenAttributePanel) \
    X(hideTokenAttributePanel) X(hideAllPanels) X(insertToken) X(beginTokenEdit) X(endTokenEdit) \
    X(collapsePathColumns) X(uncollapsePathColumns) X(selectTransformer) X(updateButtonView) \
    X(deleteCurrentButton) X(clearAllTransformers) X(validationResult) X(updateWindowTitle) \
    X(setWindowTitle) X(clearFileList)

namespace NotificationName {
#define BF_DECLARE_NAME(n) inline const QString n = QStringLiteral(#n);
BF_NOTIFICATION_NAMES(BF_DECLARE_NAME)
#undef BF_DECLARE_NAME

// Every name, in the order of declaration.
const QStringList& all();
} // namespace NotificationName

namespace AppNotification {

// The user-info key shared by the QuickLook notifications.
inline const QString FILE = QStringLiteral("file");

// Queues `name` on the main thread's notification queue: delivered when the event
// loop is idle, coalesced by name. Logs the post first.
void post(const QString& name,
    const QVariant& object = {},
    const std::optional<QVariantMap>& userInfo = std::nullopt,
    const QString& function = QString::fromUtf8(std::source_location::current().function_name()));

// The text the post's log line shows for a user info ("" when absent or empty).
QString userInfoSuffix(const std::optional<QVariantMap>& userInfo);

} // namespace AppNotification
