// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/PreferenceKey.h"
#include "files/DirectoryValidator.h"

#include <QPointer>
#include <QVariant>
#include <QWidget>

#include <memory>
#include <vector>

class QCheckBox;
class QFileDialog;
class QLabel;
class QPushButton;
class QTableWidget;

// The content of the preferences window: the eight switches, the folders in
// which files may be renamed, the GPS address cache and the version. Every
// change is stored at once.
class PreferencesViewController : public QWidget {
    Q_OBJECT
public:
    static inline const QString INVALID_DIRECTORY = QStringLiteral("Invalid folder");
    static inline const QString FIXED_DIRECTORY_CANNOT_BE_EDITED = QStringLiteral("Fixed folders cannot be edited");
    static inline const QString DIRECTORY_PATH = QStringLiteral("directoryPath");
    static inline const QString DIRECTORY_STATUS = QStringLiteral("directoryStatus");
    static inline const QString NO_VERSION_ADDRESS = QStringLiteral(
        "This build was made without the address of a site to ask, so it cannot check for a new version.");

    explicit PreferencesViewController(QWidget* parent = nullptr);

    // Reads everything afresh, as each time the window is shown.
    void viewWillAppear();

    // The allowed-folders table: fixed rows, then the custom ones.
    int numberOfRows() const;
    QVariant objectValue(const QString& column, int row);
    void setObjectValue(const QVariant& value, const QString& column, int row);

    QString errorMessage() const;
    QString cachedCoordinatesText() const;

    // The folder chooser that Add Folder opened, while it is open.
    QFileDialog* folderChooser() const;

public slots:
    // Opens a folder chooser; the chosen folder joins the custom folders.
    void addDirectory();
    void addChosenDirectory(const QString& path);
    void removeDirectory();
    void clearCacheAction();

private:
    void initSettings();
    void initAboutInfo();
    void updateCachedCoordinatesLabel();
    void reloadTable();
    QStringList fixedRows() const;

    std::unique_ptr<DirectoryValidator> m_directoryValidator;
    std::vector<std::pair<QCheckBox*, PreferenceKey>> m_switches;
    QTableWidget* m_allowedDirectoriesTable;
    QPushButton* m_addAllowedDirectory;
    QPushButton* m_removeAllowedDirectory;
    QLabel* m_errorMessageText;
    QLabel* m_cachedCoordinatesLabel;
    QPushButton* m_clearCacheButton;
    QLabel* m_versionLabel;
    QLabel* m_copyrightLabel;
    bool m_reloading = false;
    QPointer<QFileDialog> m_folderChooser;
};
