// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/AppNotification.h"
#include "core/FileAction.h"
#include "core/FileValidationResult.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QUrl>

#include <optional>
#include <source_location>

// The payload of updateProgressView.
struct Progress {
    qint64 currentProgressCount = 0;
    qint64 maxProgressCount = 0;
    QString label;
    bool abortable = false;
};

// Row indexes, ascending and without repeats.
using IndexSet = QList<int>;

// Typed posts and reads of the notifications that carry a payload. Each `get`
// answers its default when the user info, the key or the value's type is off.
//
// Delivery: "immediate" wrappers call the observers before they return;
// "main-thread" wrappers post later on the main thread and return at once;
// OpenRecipe goes through the queued post.
namespace AppNotification {

struct OpenFolderInfo {
    QList<QUrl> urls;
    bool ask = false;
    FileAction action = FileAction::replace;
};

namespace SelectAttribute { // main-thread; the table view is the object
void post(QObject* tableView);
}

namespace ShowProgressIndicator { // immediate
struct Payload {
    QString message;
    QString messageId;
};
QString post(const QString& message,
    const QString& function = QString::fromUtf8(std::source_location::current().function_name()));
Payload get(const Notification& notification);
}

namespace HideProgressIndicator { // immediate
void post(const QString& messageId,
    const QString& function = QString::fromUtf8(std::source_location::current().function_name()));
QString get(const Notification& notification);
}

namespace DataSourceUpdated { // immediate
inline const QString ROWINDEXES = QStringLiteral("rowIndexes");
void post(const IndexSet& rowIndexes);
void post(int lowerBound, int upperBound); // the half-open range
std::optional<IndexSet> getRowIndexes(const Notification& notification);
}

namespace SelectTransformer { // main-thread
void post(const QString& transformerId);
void postIndex(int index);
std::optional<QString> getId(const Notification& notification);
std::optional<int> getIndex(const Notification& notification);
}

namespace SetWindowTitle { // main-thread
void post(const QString& windowTitle);
std::optional<QString> get(const Notification& notification);
}

namespace RemoveFiles { // main-thread; the indexes are storage indexes
void post(const QSet<int>& orderedIndexes);
QSet<int> get(const Notification& notification);
}

namespace OpenFolder { // immediate
void post(const QList<QUrl>& urls, bool ask, std::optional<FileAction> action = std::nullopt);
OpenFolderInfo get(const Notification& notification);
}

namespace OpenFolderAndWait { // main-thread; the post does not wait
void post(const QList<QUrl>& urls);
std::optional<OpenFolderInfo> get(const Notification& notification);
}

namespace ShowHideQuickLook { // main-thread; the responder is the object
// `file` holds a file record of the file list.
void post(const std::optional<QVariant>& file, QObject* responder);
std::optional<QVariant> getFile(const Notification& notification);
QObject* getResponder(const Notification& notification);
}

namespace UpdateQuickLook { // main-thread
void post(const std::optional<QVariant>& file);
}

namespace ValidationResult { // main-thread
void post(const FileValidationResultRef& validationResult);
FileValidationResultRef get(const Notification& notification);
}

namespace ShowModalAlertView { // main-thread
struct Payload {
    QString messageText;
    QString informativeText;
};
void post(const QString& messageText, const QString& informativeText);
Payload get(const Notification& notification);
}

namespace UpdateProgressView { // immediate
void post(qint64 currentProgressCount, qint64 maxProgressCount,
    const QString& label = QStringLiteral("Renaming"), bool abortable = false);
Progress get(const Notification& notification);
}

namespace InsertToken { // main-thread
void post(const QString& tokenId);
std::optional<QString> get(const Notification& notification);
}

namespace OpenRecipe { // queued, no object
void post(const QUrl& url);
void postJson(const QString& json);
std::optional<QUrl> getURL(const Notification& notification);
std::optional<QString> getJSON(const Notification& notification);
}

} // namespace AppNotification

Q_DECLARE_METATYPE(AppNotification::OpenFolderInfo)
