// SPDX-License-Identifier: GPL-3.0-or-later
#include "RenameRoad.h"
#include "tokens/FileAttributesWorker.h"

#include <QImage>
#include <QPixmap>

// The window's main road on a shown window that is painted at every step. Run
// pinned to one CPU, it shows that no background job waits for the main thread
// on a pool the painter also fills on: the window would then never draw again.
class MainRoadOneCpuTest : public RenameRoadTest {
protected:
    void SetUp() override
    {
        RenameRoadTest::SetUp();
        window->resize(1200, 800);
    }

    // Paints the whole window, as a screen update does, until `condition` holds.
    bool paintedUntil(const std::function<bool()>& condition)
    {
        return TestEnvironment::processEventsUntil([&] {
            const QImage picture = window->grab().toImage();
            return !picture.isNull() && condition();
        });
    }

    Transformer cameraModelPrefix() const
    {
        Transformer rule = Transformer::newTransformer();
        rule.type = TransformerType::prefix;
        rule.properties.prefixText = TokenString::attribute(QStringLiteral("{TIFF}.Model")) + QStringLiteral("_");
        return rule;
    }

    QString folderWithAPhoto()
    {
        const QString folder = makeFolder({ "notes.txt" });
        EXPECT_TRUE(MediaFixtures::writeJpeg(folder + "/photo.jpg", &MediaFixtures::cameraExif));
        return folder;
    }
};

TEST_F(MainRoadOneCpuTest, OpenPreviewAndRenameWithAnExifToken)
{
    const QString folder = folderWithAPhoto();
    transformers->load({ cameraModelPrefix() });
    AppNotification::OpenFolder::post({ QUrl::fromLocalFile(folder) }, false, FileAction::replace);
    ASSERT_TRUE(paintedUntil([&] { return newNames() == QStringList({ "_notes.txt", "BF-1_photo.jpg" }); }))
        << newNames().join(", ").toStdString();

    renameAndWait();
    EXPECT_EQ(entries(folder), QStringList({ "BF-1_photo.jpg", "_notes.txt" }));
    // The window lists the files under their new names.
    const auto listed = [&] {
        QStringList names;
        for (const File& file : fileDataSource->getAllFiles())
            names << file.source.fileInfo.name;
        return names;
    };
    EXPECT_TRUE(paintedUntil([&] { return listed() == QStringList({ "_notes", "BF-1_photo" }); }))
        << listed().join(", ").toStdString();
}

// Clearing the rule list cancels the validation, which hops to the main thread
// from a background job while the preload runs and the window paints.
TEST_F(MainRoadOneCpuTest, ClearingTheRulesWhileThePreloadRunsKeepsTheWindowDrawing)
{
    const QString folder = folderWithAPhoto();
    transformers->load({ cameraModelPrefix() });
    AppNotification::OpenFolder::post({ QUrl::fromLocalFile(folder) }, false, FileAction::replace);
    ASSERT_TRUE(paintedUntil([&] { return fileDataSource->count() == 2; }));

    transformers->clear();
    transformers->load({});
    ASSERT_TRUE(paintedUntil([&] { return newNames() == QStringList({ "notes.txt", "photo.jpg" }); }))
        << newNames().join(", ").toStdString();
    ASSERT_TRUE(paintedUntil([] { return !FileAttributesWorker::shared().currentTask().isValid(); }));

    // The rule back: the preview fills in from what was preloaded.
    transformers->load({ cameraModelPrefix() });
    ASSERT_TRUE(paintedUntil([&] { return newNames() == QStringList({ "_notes.txt", "BF-1_photo.jpg" }); }))
        << newNames().join(", ").toStdString();
    renameAndWait();
    EXPECT_EQ(entries(folder), QStringList({ "BF-1_photo.jpg", "_notes.txt" }));
}
