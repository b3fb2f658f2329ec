// SPDX-License-Identifier: GPL-3.0-or-later
#include "uikit/FileDialogFolder.h"

#include "core/Preference.h"
#include "platform/DefaultsStore.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace FileDialogFolder {

namespace {
bool isFolder(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isAbsolute() && QFileInfo(path).isDir();
}
} // namespace

QString settingsKey(const QString& dialogName)
{
    return QStringLiteral("com.quendrel.brackenfold.lastFolder.") + dialogName;
}

QString startFolder(const QString& dialogName, const QString& context)
{
    if (isFolder(context))
        return QDir::cleanPath(context);
    const QString remembered = Preference::store().value(settingsKey(dialogName)).toString();
    if (isFolder(remembered))
        return QDir::cleanPath(remembered);
    return QDir::homePath();
}

void attach(QFileDialog* dialog, const QString& dialogName, const QString& context)
{
    dialog->setDirectory(startFolder(dialogName, context));
    QObject::connect(dialog, &QDialog::accepted, dialog, [dialog, dialogName] {
        // Straight to the store: a folder to start from changes no preview.
        Preference::store().setValue(settingsKey(dialogName), dialog->directory().absolutePath());
    });
}

} // namespace FileDialogFolder
