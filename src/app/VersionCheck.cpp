// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/VersionCheck.h"

#include "app/UpdateUtil.h"
#include "core/Preference.h"
#include "platform/HttpGet.h"
#include "platform/Log.h"
#include "platform/MainThread.h"
#include "platform/Task.h"
#include "uikit/Alert.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
// The document is a few lines; anything larger is not it.
constexpr qint64 MAXIMUM_DOCUMENT_BYTES = 64 * 1024;
constexpr auto TIMEOUT = std::chrono::seconds(60);

void logFailure(const QString& error)
{
    Log::error(Log::Category::background, "Fetching latest version information failed. %{public}@", error);
}
} // namespace

std::optional<VersionInfo> VersionInfo::fromJson(const QByteArray& json, QString* error)
{
    const auto fail = [error](const QString& why) -> std::optional<VersionInfo> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return fail(parseError.errorString());
    if (!document.isObject())
        return fail(QStringLiteral("The document is not a JSON object"));
    const QJsonObject object = document.object();
    VersionInfo info;
    for (const auto& [key, field] : { std::pair { "version", &info.version }, std::pair { "message", &info.message },
             std::pair { "signature", &info.signature } }) {
        const QJsonValue value = object.value(QLatin1String(key));
        if (!value.isString())
            return fail(QStringLiteral("The key \"%1\" is missing or not a text").arg(QLatin1String(key)));
        *field = value.toString();
    }
    const QJsonValue url = object.value(QLatin1String("url"));
    if (!url.isString())
        return fail(QStringLiteral("The key \"url\" is missing or not a text"));
    info.url = QUrl(url.toString(), QUrl::StrictMode);
    if (!info.url.isValid() || info.url.isRelative())
        return fail(QStringLiteral("The key \"url\" is not an absolute address"));
    return info;
}

namespace VersionCheck {

std::optional<QUrl> versionURL()
{
    return versionURL(QStringLiteral(BRACKENFOLD_VERSION_URL));
}

std::optional<QUrl> versionURL(const QString& address)
{
    const QString text = address.trimmed();
    QUrl url(text, QUrl::StrictMode);
    if (text.isEmpty() || !url.isValid() || url.isRelative() || url.host().isEmpty())
        return std::nullopt;
    url.setPath(VERSION_DOCUMENT_PATH);
    url.setQuery(QString());
    url.setFragment(QString());
    return url;
}

Version currentVersion()
{
    return Version(QCoreApplication::applicationVersion());
}

Steps defaultSteps()
{
    return Steps {
        [](const VersionInfo& info) {
            bool accepted = false;
            MainThread::runBlocking([&] { accepted = askToDownloadNewVersion(info); });
            return accepted;
        },
        [](const QUrl& url, const QString& signature) { UpdateUtil::downloadAndLaunch(url, signature); },
    };
}

void checkVersion()
{
    if (!Preference::boolFor(PreferenceKey::versionCheckOnStartup)) {
        Log::debug(Log::Category::general, "Preference versionCheckOnStartup is switched off");
        return;
    }
    const std::optional<QUrl> url = versionURL();
    if (!url)
        return;
    const Version current = currentVersion();
    TaskHandle::detached([url = *url, current](std::stop_token) { runCheck(url, current, defaultSteps()); });
}

std::optional<VersionInfo> fetchLatestVersion(const QUrl& url)
{
    HttpGet::Options options;
    options.timeout = TIMEOUT;
    options.maximumBytes = MAXIMUM_DOCUMENT_BYTES;
    const HttpGet::Result result = HttpGet::get(url, options);
    if (result.kind != HttpGet::Result::Kind::finished) {
        logFailure(result.errorText);
        return std::nullopt;
    }
    if (!result.isSuccess())
        return std::nullopt;
    QString error;
    std::optional<VersionInfo> info = VersionInfo::fromJson(result.body, &error);
    if (!info)
        logFailure(error);
    return info;
}

void runCheck(const QUrl& url, const Version& current, const Steps& steps)
{
    const std::optional<VersionInfo> info = fetchLatestVersion(url);
    if (!info || !(current < info->semVersion()))
        return;
    if (steps.askToDownload(*info))
        steps.download(info->url, info->signature);
}

bool askToDownloadNewVersion(const VersionInfo& info)
{
    bool accepted = false;
    Alert::info(QStringLiteral("Brackenfold Update"), info.message + QStringLiteral("\n\nWould you like to update now?"),
        { QStringLiteral("Not now"), QStringLiteral("Update to ") + info.version },
        [&accepted](Alert::ModalResponse response) { accepted = response == Alert::FIRST_BUTTON + 1; });
    return accepted;
}

} // namespace VersionCheck
