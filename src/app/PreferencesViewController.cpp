// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/PreferencesViewController.h"

#include "app/VersionCheck.h"
#include "core/AppNotification.h"
#include "core/Preference.h"
#include "tokens/AttributeResolver.h"
#include "tokens/GPSCache.h"
#include "tokens/NominatimGeocoder.h"
#include "uikit/Alert.h"
#include "uikit/AppImages.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

struct SwitchRow {
    const char* outlet;
    const char* title;
    const char* tooltip;
    const PreferenceKey* key;
};

const QList<SwitchRow>& switchRows()
{
    static const QList<SwitchRow> rows {
        { "performVersionCheck", "Check for a new version at start-up",
            "Asks the Brackenfold web site once at every start whether a newer version exists", &PreferenceKey::versionCheckOnStartup },
        { "openMostRecentRecipeOnStartup", "Open the most recent recipe at start-up",
            "Starts with the rules of the recipe opened or saved last", &PreferenceKey::openMostRecentRecipeOnStartup },
        { "enableGPSAddressLookup", "Look up addresses of GPS positions online",
            "Address tokens ask an OpenStreetMap server for the address of a photo's position", &PreferenceKey::gpsAddressLookup },
        { "renameAliases", "Follow symbolic links",
            "A symbolic link stands for what it points to: that file or folder is renamed, and the link is made to point to its new name",
            &PreferenceKey::renameAliases },
        { "renameHiddenFiles", "Rename hidden files",
            "Files whose names begin with a dot are renamed too", &PreferenceKey::renameHiddenFiles },
        { "autoResolveDuplicates", "Resolve duplicate names automatically",
            "A new name that is taken gets a number instead of an error", &PreferenceKey::autoResolveDuplicates },
        { "includeEmptyFoldersForRenaming", "Include empty folders when renaming",
            "Rules on the path also rename folders", &PreferenceKey::renameEmptyFolders },
        { "autoIgnoreFilePermissionErrors", "Skip files that may not be renamed without asking",
            "Files without permission to rename them are left alone without a question", &PreferenceKey::autoIgnoreFilePermissionErrors },
    };
    return rows;
}

QString normalizedDirectory(QString text)
{
    if (!text.startsWith(QLatin1Char('/')))
        text.prepend(QLatin1Char('/'));
    if (!text.endsWith(QLatin1Char('/')))
        text.append(QLatin1Char('/'));
    return text;
}

} // namespace

PreferencesViewController::PreferencesViewController(QWidget* parent)
    : QWidget(parent)
    , m_directoryValidator(std::make_unique<DirectoryValidator>())
{
    setObjectName(QStringLiteral("settingsView"));
    auto* layout = new QVBoxLayout(this);

    auto* general = new QGroupBox(QStringLiteral("Settings"), this);
    auto* switches = new QVBoxLayout(general);
    for (const SwitchRow& row : switchRows()) {
        auto* box = new QCheckBox(QString::fromUtf8(row.title), general);
        box->setObjectName(QString::fromLatin1(row.outlet));
        box->setToolTip(QString::fromUtf8(row.tooltip));
        box->setAccessibleName(QString::fromUtf8(row.title));
        box->setAccessibleDescription(QString::fromUtf8(row.tooltip));
        const PreferenceKey key = *row.key;
        connect(box, &QCheckBox::clicked, this, [box, key] {
            Preference::set(box->checkState() == Qt::Checked, key);
            // At once: lookups under way stop, and the names follow the switch.
            if (key == PreferenceKey::gpsAddressLookup) {
                AttributeResolver::gpsAddressResolver()->forgetFailures();
                AppNotification::post(NotificationName::applyChanges);
            }
        });
        switches->addWidget(box);
        m_switches.emplace_back(box, key);
        if (key == PreferenceKey::versionCheckOnStartup && !VersionCheck::versionURL()) {
            // Nothing to ask: the switch is greyed, and says why.
            box->setEnabled(false);
            box->setToolTip(NO_VERSION_ADDRESS);
            box->setAccessibleDescription(NO_VERSION_ADDRESS);
            auto* reason = new QLabel(NO_VERSION_ADDRESS, general);
            reason->setObjectName(QStringLiteral("versionCheckUnavailable"));
            reason->setWordWrap(true);
            reason->setForegroundRole(QPalette::PlaceholderText);
            switches->addWidget(reason);
        }
    }
    layout->addWidget(general);

    auto* folders = new QGroupBox(QStringLiteral("Folders in which files may be renamed"), this);
    auto* folderLayout = new QVBoxLayout(folders);
    m_allowedDirectoriesTable = new QTableWidget(0, 2, folders);
    m_allowedDirectoriesTable->setObjectName(QStringLiteral("allowedDirectoriesTable"));
    m_allowedDirectoriesTable->setAccessibleName(QStringLiteral("Allowed folders"));
    m_allowedDirectoriesTable->setAccessibleDescription(
        QStringLiteral("Fixed folders are locked; double-click a custom folder to edit it"));
    m_allowedDirectoriesTable->setHorizontalHeaderLabels({ QStringLiteral("Folder"), QStringLiteral("Status") });
    m_allowedDirectoriesTable->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_allowedDirectoriesTable->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    m_allowedDirectoriesTable->verticalHeader()->hide();
    m_allowedDirectoriesTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_allowedDirectoriesTable->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(m_allowedDirectoriesTable, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (!m_reloading && item->column() == 0)
            setObjectValue(item->text(), DIRECTORY_PATH, item->row());
    });
    folderLayout->addWidget(m_allowedDirectoriesTable);
    auto* buttons = new QHBoxLayout;
    m_addAllowedDirectory = new QPushButton(QStringLiteral("&Add Folder"), folders);
    m_addAllowedDirectory->setObjectName(QStringLiteral("addAllowedDirectory"));
    m_addAllowedDirectory->setToolTip(QStringLiteral("Chooses a folder to add"));
    m_removeAllowedDirectory = new QPushButton(QStringLiteral("&Remove Folder"), folders);
    m_removeAllowedDirectory->setObjectName(QStringLiteral("removeAllowedDirectory"));
    m_removeAllowedDirectory->setToolTip(QStringLiteral("Removes the selected custom folder"));
    connect(m_addAllowedDirectory, &QPushButton::clicked, this, &PreferencesViewController::addDirectory);
    connect(m_removeAllowedDirectory, &QPushButton::clicked, this, &PreferencesViewController::removeDirectory);
    buttons->addWidget(m_addAllowedDirectory);
    buttons->addWidget(m_removeAllowedDirectory);
    buttons->addStretch(1);
    folderLayout->addLayout(buttons);
    m_errorMessageText = new QLabel(folders);
    m_errorMessageText->setObjectName(QStringLiteral("errorMessageText"));
    m_errorMessageText->setWordWrap(true);
    m_errorMessageText->setTextFormat(Qt::PlainText);
    folderLayout->addWidget(m_errorMessageText);
    layout->addWidget(folders);

    auto* gps = new QGroupBox(QStringLiteral("GPS addresses"), this);
    auto* gpsLayout = new QHBoxLayout(gps);
    m_cachedCoordinatesLabel = new QLabel(gps);
    m_cachedCoordinatesLabel->setObjectName(QStringLiteral("cachedCoordinatesLabel"));
    m_clearCacheButton = new QPushButton(QStringLiteral("&Clear Cache"), gps);
    m_clearCacheButton->setObjectName(QStringLiteral("clearCacheButton"));
    m_clearCacheButton->setToolTip(QStringLiteral("Forgets every address looked up so far"));
    connect(m_clearCacheButton, &QPushButton::clicked, this, &PreferencesViewController::clearCacheAction);
    auto* attribution = new QLabel(QStringLiteral("Address data ") + NominatimGeocoder::ATTRIBUTION, gps);
    attribution->setObjectName(QStringLiteral("gpsAttributionLabel"));
    gpsLayout->addWidget(m_cachedCoordinatesLabel);
    gpsLayout->addWidget(m_clearCacheButton);
    gpsLayout->addStretch(1);
    gpsLayout->addWidget(attribution);
    layout->addWidget(gps);

    m_versionLabel = new QLabel(this);
    m_versionLabel->setObjectName(QStringLiteral("versionLabel"));
    m_copyrightLabel = new QLabel(this);
    m_copyrightLabel->setObjectName(QStringLiteral("copyrightLabel"));
    layout->addWidget(m_versionLabel);
    layout->addWidget(m_copyrightLabel);

    viewWillAppear();
}

void PreferencesViewController::viewWillAppear()
{
    m_directoryValidator = std::make_unique<DirectoryValidator>();
    initSettings();
    m_errorMessageText->clear();
    reloadTable();
}

void PreferencesViewController::initSettings()
{
    for (const auto& [box, key] : m_switches)
        box->setChecked(Preference::boolFor(key));
    updateCachedCoordinatesLabel();
    initAboutInfo();
}

void PreferencesViewController::initAboutInfo()
{
    const QString version = QCoreApplication::applicationVersion();
    m_versionLabel->setText(QStringLiteral("Version ") + (version.isEmpty() ? QStringLiteral("0.0.0") : version));
    m_copyrightLabel->setText(QStringLiteral("© 2026 Quendrel"));
}

void PreferencesViewController::updateCachedCoordinatesLabel()
{
    m_cachedCoordinatesLabel->setText(QStringLiteral("Cached coordinates: %1").arg(GPSCache::shared().count()));
}

QString PreferencesViewController::cachedCoordinatesText() const
{
    return m_cachedCoordinatesLabel->text();
}

QString PreferencesViewController::errorMessage() const
{
    return m_errorMessageText->text();
}

QStringList PreferencesViewController::fixedRows() const
{
    return m_directoryValidator->supportedDirectories();
}

int PreferencesViewController::numberOfRows() const
{
    return int(fixedRows().size() + m_directoryValidator->customDirectories().size());
}

QVariant PreferencesViewController::objectValue(const QString& column, int row)
{
    const QStringList fixed = fixedRows();
    const QStringList custom = m_directoryValidator->customDirectories();
    const bool isFixed = row < fixed.size();
    const qsizetype customIndex = row - fixed.size();
    if (row < 0 || (!isFixed && customIndex >= custom.size()))
        return {};
    const QString folder = isFixed ? fixed.at(row) : custom.at(customIndex);
    if (folder == QLatin1String("/")) {
        m_errorMessageText->setText(QString::fromUtf8(
            "⚠️ Using / is discouraged because it allows any directory. Please change it to something more specific."));
    }
    if (column == DIRECTORY_PATH)
        return folder;
    if (column == DIRECTORY_STATUS)
        return QString::fromUtf8(isFixed ? "🔒" : folder == QLatin1String("/") ? "⚠️" : "✓");
    return {};
}

void PreferencesViewController::setObjectValue(const QVariant& value, const QString& column, int row)
{
    if (value.typeId() != QMetaType::QString || value.toString().isEmpty())
        return;
    const QString folder = normalizedDirectory(value.toString());
    const qsizetype fixedCount = fixedRows().size();
    QStringList messages;
    if (row < fixedCount)
        messages << FIXED_DIRECTORY_CANNOT_BE_EDITED;
    else
        messages = m_directoryValidator->validatePathString(folder).values();
    if (!messages.isEmpty()) {
        Alert::warning(INVALID_DIRECTORY, messages.join(QLatin1Char('\n')));
    } else {
        QStringList custom = m_directoryValidator->customDirectories();
        const qsizetype index = row - fixedCount;
        if (index >= 0 && index < custom.size()) {
            custom[index] = folder;
            m_directoryValidator->setCustomDirectories(custom);
        }
    }
    m_errorMessageText->clear();
    reloadTable();
}

void PreferencesViewController::addDirectory()
{
    if (m_folderChooser) {
        m_folderChooser->raise();
        return;
    }
    auto* chooser = new QFileDialog(window(), QStringLiteral("Add Folder"));
    chooser->setObjectName(QStringLiteral("addFolderChooser"));
    chooser->setAcceptMode(QFileDialog::AcceptOpen);
    chooser->setFileMode(QFileDialog::Directory);
    chooser->setOption(QFileDialog::ShowDirsOnly);
    chooser->setDirectory(QDir::homePath());
    chooser->setAttribute(Qt::WA_DeleteOnClose);
    m_folderChooser = chooser;
    connect(chooser, &QFileDialog::fileSelected, this, &PreferencesViewController::addChosenDirectory);
    chooser->open();
}

QFileDialog* PreferencesViewController::folderChooser() const
{
    return m_folderChooser;
}

void PreferencesViewController::addChosenDirectory(const QString& path)
{
    if (path.isEmpty())
        return;
    const QString folder = normalizedDirectory(QDir::cleanPath(path));
    if (const QSet<QString> messages = m_directoryValidator->validatePathString(folder); !messages.isEmpty()) {
        Alert::warning(INVALID_DIRECTORY, messages.values().join(QLatin1Char('\n')));
        return;
    }
    QStringList custom = m_directoryValidator->customDirectories();
    // A folder listed already is only selected.
    if (!custom.contains(folder)) {
        custom << folder;
        m_directoryValidator->setCustomDirectories(custom);
    }
    m_errorMessageText->clear();
    reloadTable();
    m_allowedDirectoriesTable->setCurrentCell(int(fixedRows().size() + custom.indexOf(folder)), 0);
}

void PreferencesViewController::removeDirectory()
{
    const qsizetype index = m_allowedDirectoriesTable->currentRow() - fixedRows().size();
    QStringList custom = m_directoryValidator->customDirectories();
    if (m_allowedDirectoriesTable->currentRow() < 0 || index < 0 || index >= custom.size())
        return;
    custom.removeAt(index);
    m_directoryValidator->setCustomDirectories(custom);
    m_errorMessageText->clear();
    reloadTable();
}

void PreferencesViewController::clearCacheAction()
{
    GPSCache::shared().clear();
    Preference::setGpsCache({});
    updateCachedCoordinatesLabel();
}

void PreferencesViewController::reloadTable()
{
    m_reloading = true;
    const int rows = numberOfRows();
    const qsizetype fixedCount = fixedRows().size();
    m_allowedDirectoriesTable->setRowCount(rows);
    for (int row = 0; row < rows; ++row) {
        auto* path = new QTableWidgetItem(objectValue(DIRECTORY_PATH, row).toString());
        const bool fixed = row < fixedCount;
        const bool anyFolder = !fixed && objectValue(DIRECTORY_PATH, row).toString() == QLatin1String("/");
        // The marks are drawn, not emoji: without an emoji font those show as boxes.
        auto* status = new QTableWidgetItem(fixed ? AppImages::lock() : anyFolder ? AppImages::warning() : AppImages::checkmark(), QString());
        const QString meaning = fixed ? QStringLiteral("Fixed folder") : anyFolder ? QStringLiteral("Allows any folder") : QStringLiteral("Custom folder");
        path->setFlags(fixed ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
        status->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        status->setToolTip(meaning);
        status->setData(Qt::AccessibleTextRole, meaning);
        m_allowedDirectoriesTable->setItem(row, 0, path);
        m_allowedDirectoriesTable->setItem(row, 1, status);
    }
    m_reloading = false;
}
