// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/AppNotification+Typed.h"

#include "platform/Log.h"
#include "platform/MainThread.h"
#include "platform/NotificationCenter.h"

#include <QUuid>

namespace AppNotification {

namespace {

// The object a wrapper sends: its own name.
QVariant wrapper(const char* name)
{
    return QVariant(QString::fromLatin1(name));
}

void postNow(const QString& name, const QVariant& object, const QVariantMap& userInfo)
{
    NotificationCenter::defaultCenter().post(Notification { name, object, userInfo });
}

void postFromMainThread(const QString& name, const QVariant& object, const QVariantMap& userInfo)
{
    NotificationCenter::defaultCenter().postOnMainThread(Notification { name, object, userInfo });
}

template <typename T>
std::optional<T> typed(const Notification& notification, const QString& key)
{
    const QVariant value = notification.value(key);
    if (!value.isValid() || value.metaType() != QMetaType::fromType<T>())
        return std::nullopt;
    return value.value<T>();
}

// Integers of any width count as integers.
std::optional<qint64> integer(const Notification& notification, const QString& key)
{
    const QVariant value = notification.value(key);
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Long:
    case QMetaType::Short:
        return value.toLongLong();
    default:
        return std::nullopt;
    }
}

} // namespace

namespace SelectAttribute {
void post(QObject* tableView)
{
    postFromMainThread(NotificationName::selectAttribute, QVariant::fromValue(tableView), {});
}
}

namespace ShowProgressIndicator {
QString post(const QString& message, const QString& function)
{
    const QString messageId = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    Log::debug(Log::Category::ui, "✉️ %{public}s post: showProgressIndicator: %{public}s \"%{public}s\"",
        function, messageId, message);
    postNow(NotificationName::showProgressIndicator, wrapper("ShowProgressIndicator"),
        { { QStringLiteral("message"), message }, { QStringLiteral("messageId"), messageId } });
    return messageId;
}
Payload get(const Notification& n)
{
    return { typed<QString>(n, QStringLiteral("message")).value_or(QString()),
        typed<QString>(n, QStringLiteral("messageId")).value_or(QString()) };
}
}

namespace HideProgressIndicator {
void post(const QString& messageId, const QString& function)
{
    Log::debug(Log::Category::ui, "✉️ %{public}s post: hideProgressIndicator: %{public}s", function, messageId);
    postNow(NotificationName::hideProgressIndicator, wrapper("HideProgressIndicator"),
        { { QStringLiteral("messageId"), messageId } });
}
QString get(const Notification& n)
{
    return typed<QString>(n, QStringLiteral("messageId")).value_or(QString());
}
}

namespace DataSourceUpdated {
void post(const IndexSet& rowIndexes)
{
    postNow(NotificationName::dataSourceUpdated, wrapper("DataSourceUpdated"),
        { { ROWINDEXES, QVariant::fromValue(rowIndexes) } });
}
void post(int lowerBound, int upperBound)
{
    IndexSet rows;
    for (int row = lowerBound; row < upperBound; ++row)
        rows << row;
    post(rows);
}
std::optional<IndexSet> getRowIndexes(const Notification& n)
{
    return typed<IndexSet>(n, ROWINDEXES);
}
}

namespace SelectTransformer {
void post(const QString& transformerId)
{
    postFromMainThread(NotificationName::selectTransformer, wrapper("SelectTransformer"),
        { { QStringLiteral("transformerId"), transformerId } });
}
void postIndex(int index)
{
    postFromMainThread(NotificationName::selectTransformer, wrapper("SelectTransformer"),
        { { QStringLiteral("transformerIndex"), index } });
}
std::optional<QString> getId(const Notification& n)
{
    return typed<QString>(n, QStringLiteral("transformerId"));
}
std::optional<int> getIndex(const Notification& n)
{
    const auto value = integer(n, QStringLiteral("transformerIndex"));
    return value ? std::optional<int>(static_cast<int>(*value)) : std::nullopt;
}
}

namespace SetWindowTitle {
void post(const QString& windowTitle)
{
    postFromMainThread(NotificationName::setWindowTitle, wrapper("SetWindowTitle"),
        { { QStringLiteral("windowTitle"), windowTitle } });
}
std::optional<QString> get(const Notification& n)
{
    return typed<QString>(n, QStringLiteral("windowTitle"));
}
}

namespace RemoveFiles {
void post(const QSet<int>& orderedIndexes)
{
    postFromMainThread(NotificationName::removeFiles, wrapper("RemoveFiles"),
        { { QStringLiteral("orderedIndexes"), QVariant::fromValue(orderedIndexes) } });
}
QSet<int> get(const Notification& n)
{
    return typed<QSet<int>>(n, QStringLiteral("orderedIndexes")).value_or(QSet<int>());
}
}

namespace {
QVariantMap openFolderUserInfo(const QList<QUrl>& urls, bool ask, FileAction action)
{
    return { { QStringLiteral("urls"), QVariant::fromValue(urls) },
        { QStringLiteral("ask"), ask },
        { QStringLiteral("action"), QVariant::fromValue(action) } };
}
OpenFolderInfo openFolderInfo(const Notification& n)
{
    return { typed<QList<QUrl>>(n, QStringLiteral("urls")).value_or(QList<QUrl>()),
        typed<bool>(n, QStringLiteral("ask")).value_or(false),
        typed<FileAction>(n, QStringLiteral("action")).value_or(FileAction::replace) };
}
}

namespace OpenFolder {
void post(const QList<QUrl>& urls, bool ask, std::optional<FileAction> action)
{
    postNow(NotificationName::openFolder, wrapper("OpenFolder"),
        openFolderUserInfo(urls, ask, action.value_or(FileAction::replace)));
}
OpenFolderInfo get(const Notification& n)
{
    return openFolderInfo(n);
}
}

namespace OpenFolderAndWait {
void post(const QList<QUrl>& urls)
{
    postFromMainThread(NotificationName::openFolderAndWait, wrapper("OpenFolderAndWait"),
        { { QStringLiteral("urls"), QVariant::fromValue(urls) } });
}
std::optional<OpenFolderInfo> get(const Notification& n)
{
    return OpenFolderInfo { typed<QList<QUrl>>(n, QStringLiteral("urls")).value_or(QList<QUrl>()), false,
        FileAction::replace };
}
}

namespace ShowHideQuickLook {
void post(const std::optional<QVariant>& file, QObject* responder)
{
    QVariantMap userInfo;
    if (file)
        userInfo.insert(FILE, *file);
    postFromMainThread(NotificationName::showOrHideQuickLook, QVariant::fromValue(responder), userInfo);
}
std::optional<QVariant> getFile(const Notification& n)
{
    const QVariant value = n.value(FILE);
    return value.isValid() ? std::optional<QVariant>(value) : std::nullopt;
}
QObject* getResponder(const Notification& n)
{
    return n.object.metaType() == QMetaType::fromType<QObject*>() ? n.object.value<QObject*>() : nullptr;
}
}

namespace UpdateQuickLook {
void post(const std::optional<QVariant>& file)
{
    QVariantMap userInfo;
    if (file)
        userInfo.insert(FILE, *file);
    postFromMainThread(NotificationName::updateQuickLook, wrapper("UpdateQuickLook"), userInfo);
}
}

namespace ValidationResult {
void post(const FileValidationResultRef& validationResult)
{
    postFromMainThread(NotificationName::validationResult, wrapper("ValidationResult"),
        { { QStringLiteral("validationResult"), QVariant::fromValue(validationResult) } });
}
FileValidationResultRef get(const Notification& n)
{
    return typed<FileValidationResultRef>(n, QStringLiteral("validationResult")).value_or(nullptr);
}
}

namespace ShowModalAlertView {
void post(const QString& messageText, const QString& informativeText)
{
    postFromMainThread(NotificationName::showModalAlert, wrapper("ShowModalAlertView"),
        { { QStringLiteral("messageText"), messageText }, { QStringLiteral("informativeText"), informativeText } });
}
Payload get(const Notification& n)
{
    return { typed<QString>(n, QStringLiteral("messageText")).value_or(QString()),
        typed<QString>(n, QStringLiteral("informativeText")).value_or(QString()) };
}
}

namespace UpdateProgressView {
void post(qint64 currentProgressCount, qint64 maxProgressCount, const QString& label, bool abortable)
{
    postNow(NotificationName::updateProgressView, wrapper("UpdateProgressView"),
        { { QStringLiteral("currentProgressCount"), currentProgressCount },
            { QStringLiteral("maxProgressCount"), maxProgressCount },
            { QStringLiteral("label"), label },
            { QStringLiteral("abortable"), abortable } });
}
Progress get(const Notification& n)
{
    return { integer(n, QStringLiteral("currentProgressCount")).value_or(0),
        integer(n, QStringLiteral("maxProgressCount")).value_or(0),
        typed<QString>(n, QStringLiteral("label")).value_or(QStringLiteral("Renaming")),
        typed<bool>(n, QStringLiteral("abortable")).value_or(false) };
}
}

namespace InsertToken {
void post(const QString& tokenId)
{
    postFromMainThread(NotificationName::insertToken, wrapper("InsertToken"),
        { { QStringLiteral("tokenId"), tokenId } });
}
std::optional<QString> get(const Notification& n)
{
    return typed<QString>(n, QStringLiteral("tokenId"));
}
}

namespace OpenRecipe {
void post(const QUrl& url)
{
    MainThread::post([url] {
        AppNotification::post(NotificationName::openRecipe, {}, QVariantMap { { QStringLiteral("url"), url } },
            QStringLiteral("post(url:)"));
    });
}
void postJson(const QString& json)
{
    MainThread::post([json] {
        AppNotification::post(NotificationName::openRecipe, {}, QVariantMap { { QStringLiteral("json"), json } },
            QStringLiteral("post(json:)"));
    });
}
std::optional<QUrl> getURL(const Notification& n)
{
    return typed<QUrl>(n, QStringLiteral("url"));
}
std::optional<QString> getJSON(const Notification& n)
{
    return typed<QString>(n, QStringLiteral("json"));
}
}

} // namespace AppNotification
