// SPDX-License-Identifier: GPL-3.0-or-later
#include "NotificationRecorder.h"
#include "TestEnvironment.h"
#include "app/PreferencesViewController.h"
#include "app/PreferencesWindowController.h"
#include "app/VersionCheck.h"
#include "core/AppNotification.h"
#include "core/Preference.h"
#include "platform/NotificationCenter.h"
#include "tokens/AttributeResolver.h"
#include "tokens/GPSCache.h"
#include "uikit/ScriptedAlertPresenter.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class PreferencesWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Preference::set(QStringList(), PreferenceKey::customDirectories);
        PreferencesWindowController::shared().preferencesAction(nullptr);
        view = PreferencesWindowController::shared().contentViewController();
        ASSERT_NE(view, nullptr);
        fixedCount = view->numberOfRows();
    }
    void TearDown() override { PreferencesWindowController::shared().cancel(nullptr); }

    QStringList custom() const { return Preference::stringArrayFor(PreferenceKey::customDirectories); }
    QTableWidget* table() const { return view->findChild<QTableWidget*>("allowedDirectoriesTable"); }

    PreferencesViewController* view = nullptr;
    int fixedCount = 0;
    ScriptedAlertPresenter alerts;
};

TEST_F(PreferencesWindowTest, EverySwitchShowsAndWritesItsPreference)
{
    const struct {
        const char* outlet;
        const PreferenceKey& key;
    } switches[] = {
        { "performVersionCheck", PreferenceKey::versionCheckOnStartup },
        { "openMostRecentRecipeOnStartup", PreferenceKey::openMostRecentRecipeOnStartup },
        { "enableGPSAddressLookup", PreferenceKey::gpsAddressLookup },
        { "renameAliases", PreferenceKey::renameAliases },
        { "renameHiddenFiles", PreferenceKey::renameHiddenFiles },
        { "autoResolveDuplicates", PreferenceKey::autoResolveDuplicates },
        { "includeEmptyFoldersForRenaming", PreferenceKey::renameEmptyFolders },
        { "autoIgnoreFilePermissionErrors", PreferenceKey::autoIgnoreFilePermissionErrors },
    };
    for (const auto& s : switches) {
        auto* box = view->findChild<QCheckBox*>(s.outlet);
        ASSERT_NE(box, nullptr) << s.outlet;
        EXPECT_FALSE(box->accessibleName().isEmpty()) << s.outlet;
        EXPECT_FALSE(box->toolTip().isEmpty()) << s.outlet;
        const bool before = Preference::boolFor(s.key);
        EXPECT_EQ(box->isChecked(), before) << s.outlet;
        if (!box->isEnabled())
            continue; // greyed in a build without a version address, tested below
        QTest::keyClick(box, Qt::Key_Space); // reachable from the keyboard
        EXPECT_EQ(Preference::boolFor(s.key), !before) << s.outlet;
        Preference::set(before, s.key);
        view->viewWillAppear();
        EXPECT_EQ(box->isChecked(), before) << s.outlet << ": read afresh";
    }
}

// Counts the new starts it is asked for.
class CountingAddressLookup : public GPSAddressLookup {
public:
    QString resolveGPSAddressAttribute(const TokenItem&, const FileAttributes&, const GPSLookupSources&) override { return {}; }
    void forgetFailures() override { ++forgotten; }
    int forgotten = 0;
};

TEST_F(PreferencesWindowTest, TheAddressLookupSwitchTakesEffectAtOnce)
{
    const auto lookup = std::make_shared<CountingAddressLookup>();
    AttributeResolver::setGPSAddressResolver(lookup);
    NotificationRecorder recorder({ NotificationName::applyChanges });
    auto* box = view->findChild<QCheckBox*>("enableGPSAddressLookup");
    ASSERT_NE(box, nullptr);
    const bool before = Preference::boolFor(PreferenceKey::gpsAddressLookup);
    QTest::keyClick(box, Qt::Key_Space);
    QTest::keyClick(box, Qt::Key_Space);
    EXPECT_EQ(lookup->forgotten, 2) << "switched on again, addresses that failed are asked for again";
    EXPECT_TRUE(TestEnvironment::processEventsUntil([&] { return recorder.count(NotificationName::applyChanges) > 0; }))
        << "the preview follows the switch";
    EXPECT_EQ(Preference::boolFor(PreferenceKey::gpsAddressLookup), before);
    AttributeResolver::setGPSAddressResolver(nullptr);
}

// The status column draws its marks, so they read without an emoji font, and
// says each one in words to screen readers.
TEST_F(PreferencesWindowTest, TheStatusColumnShowsDrawnMarksWithTheirMeaning)
{
    Preference::set(QStringList { "/", "/srv/photos/" }, PreferenceKey::customDirectories);
    view->viewWillAppear();
    auto* table = view->findChild<QTableWidget*>();
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->rowCount(), fixedCount + 2);
    const QList<std::pair<int, QString>> rows { { 0, "Fixed folder" }, { fixedCount, "Allows any folder" },
        { fixedCount + 1, "Custom folder" } };
    QList<QImage> marks;
    for (const auto& [row, meaning] : rows) {
        QTableWidgetItem* status = table->item(row, 1);
        ASSERT_NE(status, nullptr);
        EXPECT_TRUE(status->text().isEmpty()) << "no emoji that a font may lack";
        EXPECT_EQ(status->data(Qt::AccessibleTextRole).toString(), meaning);
        EXPECT_EQ(status->toolTip(), meaning);
        const QImage image = status->icon().pixmap(QSize(16, 16)).toImage();
        int ink = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                ink += qAlpha(image.pixel(x, y)) > 128 ? 1 : 0;
        EXPECT_GT(ink, 12) << meaning.toStdString();
        marks << image;
    }
    EXPECT_NE(marks.at(0), marks.at(1));
    EXPECT_NE(marks.at(1), marks.at(2));
}

TEST_F(PreferencesWindowTest, CustomFoldersAreNormalisedAndChecked)
{
    ASSERT_GT(fixedCount, 0) << "the home folder is always there";
    EXPECT_EQ(view->objectValue(PreferencesViewController::DIRECTORY_PATH, 0).toString().back(), '/');
    EXPECT_EQ(view->objectValue(PreferencesViewController::DIRECTORY_STATUS, 0).toString(), QString::fromUtf8("🔒"));

    Preference::set(QStringList { "/", "/" }, PreferenceKey::customDirectories);
    view->viewWillAppear();
    EXPECT_EQ(view->objectValue(PreferencesViewController::DIRECTORY_STATUS, fixedCount).toString(), QString::fromUtf8("⚠️"));
    EXPECT_TRUE(view->errorMessage().startsWith(QString::fromUtf8("⚠️ Using / is discouraged")));

    view->setObjectValue(QString("Volumes/Data"), PreferencesViewController::DIRECTORY_PATH, fixedCount);
    EXPECT_EQ(custom(), (QStringList { "/Volumes/Data/", "/" }));
    view->setObjectValue(QString("/srv/photos"), PreferencesViewController::DIRECTORY_PATH, fixedCount + 1);
    EXPECT_EQ(custom(), (QStringList { "/Volumes/Data/", "/srv/photos/" }));
    EXPECT_EQ(view->errorMessage(), "") << "no / left";
    EXPECT_EQ(view->objectValue(PreferencesViewController::DIRECTORY_STATUS, fixedCount + 1).toString(), QString::fromUtf8("✓"));
    EXPECT_TRUE(alerts.requests.empty());

    view->setObjectValue(QString("/srv//photos"), PreferencesViewController::DIRECTORY_PATH, fixedCount + 1);
    view->setObjectValue(QString("/elsewhere"), PreferencesViewController::DIRECTORY_PATH, 0);
    view->setObjectValue(QString(""), PreferencesViewController::DIRECTORY_PATH, fixedCount);
    view->setObjectValue(42, PreferencesViewController::DIRECTORY_PATH, fixedCount);
    EXPECT_EQ(custom(), (QStringList { "/Volumes/Data/", "/srv/photos/" })) << "refused and ignored edits change nothing";
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return alerts.requests.size() == 2; }));
    EXPECT_EQ(alerts.requests[0].messageText, "Invalid folder");
    EXPECT_EQ(alerts.requests[0].informativeText, "Double slashes \"//\" are not allowed in Path");
    EXPECT_EQ(alerts.requests[1].informativeText, "Fixed folders cannot be edited");

    table()->setCurrentCell(fixedCount + 1, 0);
    view->removeDirectory();
    EXPECT_EQ(custom(), QStringList { "/Volumes/Data/" });
    table()->setCurrentCell(0, 0);
    view->removeDirectory();
    EXPECT_EQ(custom(), QStringList { "/Volumes/Data/" }) << "a fixed row is not removed";
}

TEST_F(PreferencesWindowTest, EditingACellStoresTheFolder)
{
    view->addChosenDirectory("/");
    QTableWidgetItem* item = table()->item(fixedCount, 0);
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->flags() & Qt::ItemIsEditable);
    EXPECT_FALSE(table()->item(0, 0)->flags() & Qt::ItemIsEditable);
    item->setText("mnt/archive");
    EXPECT_EQ(custom(), QStringList { "/mnt/archive/" });
}

// The fixed rows begin with the home folder; Add Folder asks for a folder and
// adds the one chosen, once.
TEST_F(PreferencesWindowTest, AddFolderChoosesAFolderAfterTheHomeFolderAndVolumes)
{
    EXPECT_EQ(view->objectValue(PreferencesViewController::DIRECTORY_PATH, 0).toString(), DirectoryValidator().homeDirectory());

    QTemporaryDir chosen;
    QPushButton* add = view->findChild<QPushButton*>("addAllowedDirectory");
    ASSERT_NE(add, nullptr);
    QTest::mouseClick(add, Qt::LeftButton);
    QFileDialog* chooser = view->folderChooser();
    ASSERT_NE(chooser, nullptr);
    EXPECT_EQ(chooser->fileMode(), QFileDialog::Directory);
    chooser->reject();
    EXPECT_TRUE(custom().isEmpty()) << "cancelled: nothing added";
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    for (int twice = 0; twice < 2; ++twice) {
        view->addDirectory();
        ASSERT_NE(view->folderChooser(), nullptr);
        view->folderChooser()->setDirectory(QFileInfo(chosen.path()).path());
        view->folderChooser()->selectFile(chosen.path());
        static_cast<QDialog*>(view->folderChooser())->accept();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    EXPECT_EQ(custom(), QStringList { chosen.path() + "/" });
    EXPECT_EQ(table()->currentRow(), fixedCount);
    EXPECT_TRUE(alerts.requests.empty());
}

// A build that names no site cannot check: the switch is greyed and says why.
TEST_F(PreferencesWindowTest, TheVersionCheckNeedsAnAddressOfTheBuild)
{
    auto* box = view->findChild<QCheckBox*>("performVersionCheck");
    ASSERT_NE(box, nullptr);
    const QLabel* reason = view->findChild<QLabel*>("versionCheckUnavailable");
    if (VersionCheck::versionURL()) {
        EXPECT_TRUE(box->isEnabled());
        EXPECT_EQ(reason, nullptr);
        return;
    }
    EXPECT_FALSE(box->isEnabled());
    EXPECT_EQ(box->toolTip(), PreferencesViewController::NO_VERSION_ADDRESS);
    ASSERT_NE(reason, nullptr);
    EXPECT_EQ(reason->text(), PreferencesViewController::NO_VERSION_ADDRESS);
}

TEST_F(PreferencesWindowTest, TheCacheCountAndItsClearing)
{
    GPSCache::shared().put(1.5, 2.5, GPSAddress());
    view->viewWillAppear();
    EXPECT_EQ(view->cachedCoordinatesText(), QStringLiteral("Cached coordinates: %1").arg(GPSCache::shared().count()));
    QPushButton* clear = view->findChild<QPushButton*>("clearCacheButton");
    ASSERT_NE(clear, nullptr);
    QTest::mouseClick(clear, Qt::LeftButton);
    EXPECT_EQ(view->cachedCoordinatesText(), "Cached coordinates: 0");
    EXPECT_EQ(Preference::stringFor(PreferenceKey::gpsCache), R"({"cache":{}})");
    const QLabel* attribution = view->findChild<QLabel*>("gpsAttributionLabel");
    ASSERT_NE(attribution, nullptr);
    EXPECT_TRUE(attribution->text().contains(QString::fromUtf8("© OpenStreetMap contributors")));
}

// The version shown is the application's; other tests of this process may have set one.
TEST_F(PreferencesWindowTest, TheVersionLabelShowsTheApplicationVersion)
{
    const QString before = QCoreApplication::applicationVersion();
    const struct {
        const char* version;
        const char* shown;
    } cases[] = { { "", "Version 0.0.0" }, { "2.4.1", "Version 2.4.1" } };
    const QLabel* label = view->findChild<QLabel*>("versionLabel");
    ASSERT_NE(label, nullptr);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.version);
        QCoreApplication::setApplicationVersion(QString::fromLatin1(c.version));
        view->viewWillAppear();
        EXPECT_EQ(label->text(), QString::fromLatin1(c.shown));
    }
    QCoreApplication::setApplicationVersion(before);
}

// While a rename run holds the window (input blocked) the settings it reads
// stay as they are, also in a window opened meanwhile; blocks nest as in the
// main window, and the window can still be closed.
TEST_F(PreferencesWindowTest, SettingsCannotChangeWhileInputIsBlocked)
{
    const auto post = [](const QString& name, int times) {
        for (int i = 0; i < times; ++i)
            NotificationCenter::defaultCenter().post({ name, {}, {} });
    };
    auto* box = view->findChild<QCheckBox*>("autoResolveDuplicates");
    ASSERT_NE(box, nullptr);
    const bool before = Preference::boolFor(PreferenceKey::autoResolveDuplicates);
    const auto tryToChange = [&] {
        QTest::mouseClick(box, Qt::LeftButton);
        return Preference::boolFor(PreferenceKey::autoResolveDuplicates) != before;
    };

    post(NotificationName::disableUserInput, 2);
    EXPECT_FALSE(tryToChange());
    post(NotificationName::enableUserInput, 1);
    PreferencesWindowController::shared().cancel(nullptr);
    PreferencesWindowController::shared().preferencesAction(nullptr);
    EXPECT_FALSE(tryToChange()) << "one block is still open";
    auto* close = PreferencesWindowController::shared().window()->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Close);
    QTest::mouseClick(close, Qt::LeftButton);
    EXPECT_FALSE(PreferencesWindowController::shared().window()->isVisible());

    post(NotificationName::enableUserInput, 2);
    PreferencesWindowController::shared().preferencesAction(nullptr);
    EXPECT_TRUE(tryToChange());
    Preference::set(before, PreferenceKey::autoResolveDuplicates);
}

TEST_F(PreferencesWindowTest, TheWindowIsKeptBetweenOpenings)
{
    QDialog* window = PreferencesWindowController::shared().window();
    EXPECT_TRUE(window->isVisible());
    PreferencesWindowController::shared().cancel(nullptr);
    EXPECT_FALSE(window->isVisible());
    PreferencesWindowController::shared().preferencesAction(nullptr);
    EXPECT_EQ(PreferencesWindowController::shared().window(), window);
    EXPECT_TRUE(window->isVisible());
}

} // namespace
