// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileTableFixture.h"
#include "NotificationRecorder.h"
#include "core/AppNotification+Typed.h"
#include "core/Date.h"
#include "filetable/FileTableModel.h"
#include "filetable/FileDetailsFormatter.h"
#include "filetable/FileDetailsViewController.h"
#include "filetable/TableViewController.h"
#include "files/FileAttributeLoader.h"
#include "platform/BackgroundPool.h"
#include "rules/Transformers.h"

#include <QItemSelectionModel>
#include <QLabel>
#include <QTableView>
#include <QTextBrowser>
#include <QToolButton>

#include <gtest/gtest.h>

#include <unicode/timezone.h>

#include <atomic>
#include <semaphore>

namespace {

FileAttribute attribute(const QString& id, const QString& label, AttributeValue value)
{
    return FileAttribute { id, label, std::move(value) };
}

FileAttributeDictionary textAttributes(const QString& kind, qint64 size)
{
    return { { "kind", attribute("kind", "Kind", AttributeValue::string(kind)) },
        { "file-size", attribute("file-size", "Size", AttributeValue::number(size)) } };
}

QStringList labels(const QList<InspectorPanelItem>& items)
{
    QStringList list;
    for (const InspectorPanelItem& item : items)
        list << item.label + "=" + item.attributeValue;
    return list;
}

} // namespace

TEST(FileDetailsFormatterTest, NumbersDatesAndTexts)
{
    EXPECT_EQ(FileDetailsFormatter::string(QVariant(3.14159265)), QStringLiteral("3.14159"));
    EXPECT_EQ(FileDetailsFormatter::string(QVariant(qint64(42))), QStringLiteral("42"));
    EXPECT_FALSE(FileDetailsFormatter::string(QVariant()).has_value());
    // A number attribute is shown as its own text, without rounding.
    EXPECT_EQ(FileDetailsFormatter::string(AttributeValue::number(3.14159265)), QStringLiteral("3.14159265"));
    EXPECT_EQ(FileDetailsFormatter::string(QVariant::fromValue(AttributeValue::string("Text"))), QStringLiteral("Text"));
    // Dates in the user's time zone, not as UTC.
    const std::unique_ptr<icu::TimeZone> saved(icu::TimeZone::createDefault());
    icu::TimeZone::adoptDefault(icu::TimeZone::createTimeZone("Europe/Berlin"));
    const QDateTime date(QDate(2023, 7, 14), QTime(18, 22, 5), Qt::UTC);
    EXPECT_EQ(FileDetailsFormatter::string(AttributeValue::date(date)), QStringLiteral("2023-07-14 20:22:05"));
    icu::TimeZone::setDefault(*saved);
}

TEST(FileDetailsContent, AttributeLabelsAreWordsNotKeys)
{
    const struct {
        const char* id;
        const char* label;
    } cases[] = {
        { "{Exif}.DateTimeOriginal", "Date time original" },
        { "AV-track-number-of", "Track number of (AV)" },
        { "id3-title", "Title (ID3)" },
        { "FLAC-Tracknumber-Of", "Tracknumber of (FLAC)" },
        { "media-title", "Title" },
        { "{Exif}.ISOSpeedRatings", "ISO speed ratings" },
        { "{Exif}.FNumber", "F number" },
        { "{Exif}.FocalLenIn35mmFilm", "Focal len in 35mm film" },
        { "GPS-AddressZIP", "GPS address ZIP" },
        { "date-added-to-directory", "Date added to directory" },
        { "PixelWidth", "Pixel width" },
        { "kind", "Kind" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(InspectorPanelItem::readableLabel(c.id), QString::fromUtf8(c.label)) << c.id;
    // The row keeps the id that inserts the token.
    const InspectorPanelItem item(FileAttribute { "AV-track-number-of", "AV-track-number-of", AttributeValue::string("03/12") });
    EXPECT_EQ(item.id, QStringLiteral("AV-track-number-of"));
    EXPECT_EQ(item.label, QStringLiteral("Track number of (AV)"));
}

TEST(FileDetailsContent, TitleNamesAndPaths)
{
    File file = makeFile("/data/photo.jpeg");
    file.transformed.transformedName = "holiday";
    file.transformed.transformedExt = "jpg";
    file.transformed.transformedPath = "/data/2023";
    // The counter that makes the name unique is part of it.
    file.transformed.uniqueSuffix = " 2";
    EXPECT_EQ(FileDetailsViewController::title(file), QStringLiteral("photo.jpeg"));
    EXPECT_EQ(labels(FileDetailsViewController::nameAndPathItems(file)),
        (QStringList { "Original Name=photo.jpeg", "Transformed Name=holiday 2.jpg", "Original Path=/data",
            "Transformed Path=/data/2023" }));
    for (const InspectorPanelItem& item : FileDetailsViewController::nameAndPathItems(file))
        EXPECT_TRUE(item.id.isEmpty());

    // A folder is named by its path, and its counter is part of the new name too.
    File folder = makeFile("/data/Album", true);
    folder.transformed.transformedPath = "/data/Trip";
    folder.transformed.uniqueSuffix = " 2";
    EXPECT_EQ(labels(FileDetailsViewController::nameAndPathItems(folder)).mid(0, 2),
        (QStringList { "Original Name=Album", "Transformed Name=Trip 2" }));

    EXPECT_EQ(FileDetailsViewController::title(makeFile("/data/Album", true)), QStringLiteral("📁 Album"));
    EXPECT_EQ(FileDetailsViewController::title(makeFile("/data/README")), QStringLiteral("README"));
}

TEST(FileDetailsContent, AttributesInCatalogOrderOnlyThoseItNames)
{
    File file = makeFile("/data/a.txt");
    EXPECT_TRUE(FileDetailsViewController::attributeItems(file).isEmpty()); // not read yet
    file.attributes = FileAttributes { {
        { "file-size", attribute("file-size", "Size", AttributeValue::number(qint64(1234))) },
        { "KIND", attribute("KIND", "Kind", AttributeValue::string("Text")) },
        { "not-in-catalog", attribute("not-in-catalog", "Other", AttributeValue::string("x")) },
    } };
    const QList<InspectorPanelItem> items = FileDetailsViewController::attributeItems(file);
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0].id, QStringLiteral("KIND"));
    EXPECT_EQ(items[0].attributeValue, QStringLiteral("Text"));
    EXPECT_EQ(items[1].id, QStringLiteral("file-size"));
    EXPECT_EQ(items[1].attributeValue, QStringLiteral("1234"));
}

TEST(FileDetailsContent, MessagesOfTheNewName)
{
    using Icon = FileDetailsViewController::MessageIcon;
    using Line = FileDetailsViewController::MessageLine;
    struct Case {
        const char* what;
        File file;
        QList<Line> expected;
    };
    File dirty = withError(makeFile("/a/x.txt"));
    dirty.transformed.isDirty = true;
    const QList<Case> cases {
        { "pending whatever its messages", dirty, { { Icon::pending, "Pending Validation" } } },
        { "errors sorted, warnings not shown", withWarning(withError(withError(settled(makeFile("/a/x.txt")), "b error"), "a error")),
            { { Icon::error, "a error" }, { Icon::error, "b error" } } },
        { "warnings", withWarning(settled(makeFile("/a/x.txt")), "check"), { { Icon::warning, "check" } } },
        { "nothing to say", settled(makeFile("/a/x.txt")), { { Icon::ok, "Ok" } } },
    };
    for (const Case& c : cases)
        EXPECT_EQ(FileDetailsViewController::transformationMessages(c.file), c.expected) << c.what;
}

class FileDetailsTest : public FileTableFixture {
protected:
    void SetUp() override
    {
        FileTableFixture::SetUp();
        transformers = std::make_shared<Transformers>();
        DependencyInjectionRegistry::shared().registerInstance(transformers);
        FileAttributeLoader::install([this](const QUrl& url) {
            ++loads;
            if (url == blockedUrl) {
                blockedLoadStarted = true;
                gate.acquire();
            }
            return textAttributes(url.fileName(), url.fileName().size());
        });
        host.resize(400, 600);
        inspector = new FileDetailsViewController(&host);
        host.show();
    }
    void TearDown() override
    {
        gate.release(8);
        // Loads the inspector has stopped waiting for still run on workers,
        // with this fixture's loader: every one ends before the fixture goes.
        BackgroundPool::waitForDone();
        TestEnvironment::drainEvents();
        FileAttributeLoader::install({});
        FileTableFixture::TearDown();
    }
    bool settle()
    {
        return TestEnvironment::processEventsUntil([this] { return inspector->pendingLoads() == 0; });
    }
    File listed(int row) const { return *store->getFile(row); }

    std::shared_ptr<Transformers> transformers;
    std::atomic<int> loads { 0 };
    std::atomic<bool> blockedLoadStarted { false };
    QUrl blockedUrl;
    std::counting_semaphore<8> gate { 0 };
    QWidget host;
    FileDetailsViewController* inspector = nullptr;
};

TEST_F(FileDetailsTest, ShowsTheFilesAttributesReadOffTheMainThreadAndKeepsThem)
{
    fill({ settled(makeFile("/data/notes.txt")), settled(makeFile("/data/b.txt")) });
    inspector->updateFileInspectorFor(listed(0));
    EXPECT_EQ(inspector->fileNameTitle()->text(), QStringLiteral("notes.txt"));
    ASSERT_TRUE(settle());
    EXPECT_EQ(labels(inspector->fileDetails()),
        (QStringList { "Original Name=notes.txt", "Transformed Name=notes.txt", "Original Path=/data",
            "Transformed Path=/data", "Kind=notes.txt", "File size=9" }));
    EXPECT_EQ(inspector->tableView()->model()->rowCount(), 6);
    // Every label is shown whole, in a narrow panel too.
    for (const int width : { 400, 160 }) {
        host.resize(width, 600);
        TestEnvironment::drainEvents();
        QTableView* table = inspector->tableView();
        for (int row = 0; row < table->model()->rowCount(); ++row) {
            const QString label = table->model()->index(row, 0).data().toString();
            EXPECT_GE(table->columnWidth(0), table->fontMetrics().horizontalAdvance(label)) << label.toStdString() << " at " << width;
        }
    }
    EXPECT_TRUE(inspector->transformationErrors()->toPlainText().contains("Ok"));
    // The store keeps what was read: showing the file again reads nothing.
    EXPECT_TRUE(store->getFile(0)->attributesInitialized());
    const int before = loads;
    inspector->updateFileInspectorFor(listed(0));
    ASSERT_TRUE(settle());
    EXPECT_EQ(loads, before);
    EXPECT_EQ(inspector->fileDetails().size(), 6);
}

TEST_F(FileDetailsTest, AStaleLoadNeverOverwritesANewerOne)
{
    fill({ settled(makeFile("/data/slow.txt")), settled(makeFile("/data/quick.txt")) });
    blockedUrl = QUrl::fromLocalFile("/data/slow.txt");
    inspector->updateFileInspectorFor(listed(0));
    ASSERT_TRUE(TestEnvironment::processEventsUntil([this] { return blockedLoadStarted.load(); }));
    inspector->updateFileInspectorFor(listed(1));
    ASSERT_TRUE(settle());
    const QStringList quick = labels(inspector->fileDetails());
    EXPECT_TRUE(quick.contains("Kind=quick.txt"));

    // The first file's attributes arrive last: kept by the store, not shown.
    gate.release();
    ASSERT_TRUE(TestEnvironment::processEventsUntil([this] { return store->getFile(0)->attributesInitialized(); }));
    TestEnvironment::drainEvents();
    EXPECT_EQ(labels(inspector->fileDetails()), quick);
    EXPECT_EQ(inspector->fileNameTitle()->text(), QStringLiteral("quick.txt"));
}

TEST_F(FileDetailsTest, AHiddenInspectorIsLeftAlone)
{
    fill({ settled(makeFile("/data/a.txt")), settled(makeFile("/data/b.txt")) });
    inspector->updateFileInspectorFor(listed(0));
    ASSERT_TRUE(settle());
    host.hide();
    inspector->updateFileInspectorFor(listed(1));
    ASSERT_TRUE(inspector->currentFile());
    EXPECT_EQ(inspector->currentFile()->sourceUrl(), QUrl::fromLocalFile("/data/a.txt"));
    EXPECT_EQ(inspector->fileNameTitle()->text(), QStringLiteral("a.txt"));
}

TEST_F(FileDetailsTest, AFileThatLeftTheListShowsNoFile)
{
    fill({ settled(makeFile("/data/a.txt")) });
    inspector->updateFileInspectorFor(listed(0));
    ASSERT_TRUE(settle());
    fill({ settled(makeFile("/data/other.txt")) });
    inspector->dataSourceUpdated();
    EXPECT_EQ(inspector->fileNameTitle()->text(), QStringLiteral("No file selected"));
    EXPECT_EQ(inspector->transformationErrors()->toPlainText(), QStringLiteral("No file selected"));
    EXPECT_TRUE(inspector->fileDetails().isEmpty());
    EXPECT_TRUE(inspector->renamePlan().isEmpty());
}

TEST_F(FileDetailsTest, ActivatingAnAttributeRowInsertsItsToken)
{
    fill({ settled(makeFile("/data/a.txt")) });
    inspector->updateFileInspectorFor(listed(0));
    ASSERT_TRUE(settle());
    QTableView* table = inspector->tableView();
    NotificationRecorder recorder({ NotificationName::insertToken });
    table->setCurrentIndex(table->model()->index(2, 0)); // "Original Path"
    emit table->activated(table->currentIndex());
    table->setCurrentIndex(table->model()->index(5, 1)); // the size
    emit table->activated(table->currentIndex());
    TestEnvironment::drainEvents();
    ASSERT_EQ(recorder.received.size(), 1u);
    EXPECT_EQ(AppNotification::InsertToken::get(recorder.received[0]), QStringLiteral("file-size"));
}

TEST_F(FileDetailsTest, TheRenamePlanIsBehindItsDisclosureAndFollowsTheRules)
{
    File file = settled(makeFile("/data/a.txt"));
    file.attributes = FileAttributes {};
    fill({ file });
    transformers->reset();
    inspector->updateFileInspectorFor(listed(0));
    ASSERT_TRUE(settle());
    EXPECT_FALSE(inspector->renamePlanTableView()->isVisible());
    ASSERT_EQ(inspector->renamePlan().size(), transformers->list().size() + 1);
    EXPECT_EQ(inspector->renamePlan().first().label, QStringLiteral("Original Name"));
    EXPECT_EQ(inspector->renamePlan().first().fullPath, QStringLiteral("/data/\na.txt"));
    EXPECT_EQ(inspector->renamePlanTableView()->model()->rowCount(), inspector->renamePlan().size());
    inspector->renamePlanDisclosure()->click();
    EXPECT_TRUE(inspector->renamePlanTableView()->isVisible());
    inspector->renamePlanDisclosure()->click();
    EXPECT_FALSE(inspector->renamePlanTableView()->isVisible());
}

TEST_F(FileDetailsTest, TheCloseButtonAsksToHideTheInspector)
{
    NotificationRecorder recorder({ NotificationName::hideFileInspector });
    inspector->closeButton()->click();
    TestEnvironment::drainEvents();
    EXPECT_EQ(recorder.count(NotificationName::hideFileInspector), 1);
}

TEST_F(FileDetailsTest, TheSelectedFileOfTheTableIsShown)
{
    fill({ settled(makeFile("/data/a.txt")), settled(makeFile("/data/b.txt")) });
    TableViewController table;
    table.view()->resize(400, 300);
    TestEnvironment::drainEvents();
    table.fileTableView()->selectionModel()->select(table.model()->index(1, 0),
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    inspector->updateFileInspectorFor(table.selectedFile());
    ASSERT_TRUE(settle());
    EXPECT_EQ(inspector->fileNameTitle()->text(), QStringLiteral("b.txt"));
    EXPECT_TRUE(labels(inspector->fileDetails()).contains("Kind=b.txt"));
}
