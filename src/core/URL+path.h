// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/URLComponents.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

// File URLs and the path parts the rules edit. Only file:// URLs are
// percent-decoded: a plain path is taken as given (a file may be named
// "a%20b"). Symbolic links are this platform's aliases.
namespace URL {

// The path in NFC, repeated "/" collapsed, split into its parts.
URLComponents components(const QUrl& url);
// The standardised URL as text, still percent-encoded, without "file://".
QString fullPath(const QUrl& url);
// A file URL with "~" expanded; a relative path is taken from the home folder.
QUrl normalized(const QUrl& url);
// The final target of a symbolic link, through links to links; the URL itself
// otherwise, or when the chain dangles or loops.
QUrl resolvedAlias(const QUrl& url);
// True unless the path ends in "/"; nothing on disk is consulted.
bool isFile(const QUrl& url);
// Paths (or file:// URLs) given on the command line or by the desktop, as file
// URLs of existing items, links resolved, in the given order.
QList<QUrl> from(const QStringList& filePaths);

} // namespace URL
