// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/Version.h"

#include <QByteArray>
#include <QUrl>

#include <functional>
#include <optional>

// The version document of the maker's site.
struct VersionInfo {
    QString version;
    QUrl url;
    QString message;
    QString signature;

    Version semVersion() const { return Version(version); }

    // All four keys are required and must hold texts; "url" must be an
    // absolute address. On failure `error` says why.
    static std::optional<VersionInfo> fromJson(const QByteArray& json, QString* error = nullptr);
};

// Once a launch: asks the maker's site for the latest version and offers a
// newer one. Silent unless a newer version is offered.
namespace VersionCheck {

// The version document on the site the build was configured with; none when
// it was configured with none (no request at all). The environment has no say.
std::optional<QUrl> versionURL();
// The version document on the site of `address`: its path is always
// VERSION_DOCUMENT_PATH. None for an empty or relative address.
std::optional<QUrl> versionURL(const QString& address);
inline const QString VERSION_DOCUMENT_PATH = QStringLiteral("/download/version.json");
Version currentVersion();

// Reads the preference and, when it is on, starts the check off the main thread.
void checkVersion();

// What the check does with a newer version; tests replace both.
struct Steps {
    std::function<bool(const VersionInfo&)> askToDownload; // called on the check's thread
    std::function<void(const QUrl&, const QString& signature)> download;
};
Steps defaultSteps();

// The document, or none on any failure (logged where the failure says why).
std::optional<VersionInfo> fetchLatestVersion(const QUrl& url);
// The whole check, blocking the calling worker thread.
void runCheck(const QUrl& url, const Version& current, const Steps& steps);

// Main thread: the offer; true when the user chose to update.
bool askToDownloadNewVersion(const VersionInfo& info);

} // namespace VersionCheck
