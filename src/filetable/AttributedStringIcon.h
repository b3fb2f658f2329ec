// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QIcon>
#include <QList>
#include <QString>

// The small status icons that the file table (and the file inspector) show in
// front of a name. Each is built on first use, drawn by us, and shared for the
// rest of the run: a reader never changes it.
namespace AttributedStringIcon {

// A symbol of our own set drawn at `pointSize` with palette colours: the first
// colours the primary layer, the second the secondary one. A null icon for a
// symbol that is not in the set.
QIcon iconString(const QString& symbolName, const QList<QColor>& colors, qreal pointSize);
// A named image (the folder) scaled to a square of `size` at an opacity; an empty
// icon for a name it does not know.
QIcon imageString(const QString& imageName, qreal size, qreal alpha);

// The name of the folder image that imageString knows.
inline const QString FOLDER_IMAGE = QStringLiteral("folder");

const QIcon& file();
const QIcon& fileUnchanged();
const QIcon& fileOK();
const QIcon& filePending();
const QIcon& fileWarning();
const QIcon& fileError();
const QIcon& folder();
const QIcon& folderUnchanged();
const QIcon& checkmarkPending();
const QIcon& checkmarkOk();
const QIcon& exclamationWarning();
const QIcon& exclamationError();

} // namespace AttributedStringIcon
