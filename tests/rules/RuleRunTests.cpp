// SPDX-License-Identifier: GPL-3.0-or-later
#include "RuleFixtures.h"
#include "TestEnvironment.h"

#include "rules/FileIndex+counters.h"
#include "tokens/AttributeResolver.h"
#include "tokens/GPSAddressLookup.h"
#include "tokens/TransformError.h"

#include <stdexcept>

namespace {

// A GPS address source that fails the way a test asks it to.
class FailingAddressLookup : public GPSAddressLookup {
public:
    std::function<void()> fail;
    QString resolveGPSAddressAttribute(const TokenItem&, const FileAttributes&, const GPSLookupSources&) override
    {
        fail();
        return QStringLiteral("Berlin");
    }
};

class RuleRunTest : public RulesTest {
protected:
    void SetUp() override
    {
        RulesTest::SetUp();
        AttributeResolver::setGPSAddressResolver(lookup);
    }
    void TearDown() override
    {
        AttributeResolver::setGPSAddressResolver(nullptr);
        RulesTest::TearDown();
    }

    // A Prefix rule whose text needs a GPS address, on a file whose attributes are loaded.
    Transformer addressRule() const
    {
        return makeRule(TransformerType::prefix,
            [](auto& p) { p.prefixText = TokenString::attribute(QStringLiteral("GPS-AddressCity")); });
    }
    static File loadedFile(const QString& path)
    {
        File file = makeFile(path);
        file.attributes = FileAttributes {};
        return file;
    }

    std::shared_ptr<FailingAddressLookup> lookup = std::make_shared<FailingAddressLookup>();
};

} // namespace

TEST_F(RuleRunTest, TheKindRunsOnlyForFilesThatPassTheGates)
{
    struct Case {
        const char* path;
        bool directory;
        TransformScope scope;
        bool renameHidden;
        bool renameEmptyFolders;
        bool reaches;
    };
    const Case cases[] = {
        { "/data/photo.jpg", false, TransformScope::filename, false, false, true },
        { "/data/album", true, TransformScope::filename, true, true, false },
        { "/data/album", true, TransformScope::ext, true, true, false },
        { "/data/album", true, TransformScope::path, false, true, true },
        { "/data/album", true, TransformScope::path, true, false, false },
        { "/data/album", true, TransformScope::fullPath, false, true, true },
        { "/data/album", true, TransformScope::fullPath, true, false, false },
        { "/data/.photo.jpg", false, TransformScope::filename, false, true, false },
        { "/data/.photo.jpg", false, TransformScope::filename, true, true, true },
        { "/data/.photo.jpg", false, TransformScope::ext, false, true, false },
        { "/data/.photo.jpg", false, TransformScope::path, false, false, true },
        { "/data/.photo.jpg", false, TransformScope::fullPath, false, false, true },
        { "/data/.album", true, TransformScope::path, false, true, true },
        { "/data/.album", true, TransformScope::fullPath, false, true, false },
        { "/data/.album", true, TransformScope::fullPath, true, true, true },
        { "/data/.album", true, TransformScope::fullPath, true, false, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1 %2 hidden:%3 empty:%4")
                         .arg(c.path, rawValue(c.scope))
                         .arg(c.renameHidden)
                         .arg(c.renameEmptyFolders)
                         .toStdString());
        setPreferences(c.renameHidden, c.renameEmptyFolders);
        // A Numbering rule's counter shows that the gates let the file through.
        Transformer numbering = makeRule(TransformerType::numbering, {}, c.scope);
        File file = makeFile(c.path, c.directory);
        FileIndex fileIndex;
        numbering.transformQuick(file, fileIndex);
        EXPECT_TRUE(file.validation.errors.isEmpty());
        EXPECT_EQ(FileIndexCounters::value(fileIndex, numbering.id), c.reaches ? 1 : 0);

        // A Select rule passes every gate.
        Transformer select = makeRule(TransformerType::select, [](auto& p) { p.selectType = "matching"; }, c.scope);
        file.transformed.isSelected = true;
        select.transformQuick(file, fileIndex);
        EXPECT_FALSE(file.transformed.isSelected);
    }
}

TEST_F(RuleRunTest, DisabledRulesAndUnselectedFilesAreLeftAlone)
{
    File file = makeFile("/data/photo.jpg");
    FileIndex fileIndex;
    Transformer prefix = makeRule(TransformerType::prefix, [](auto& p) { p.prefixText = TokenString::string("new_"); });
    prefix.disabled = true;
    prefix.transformQuick(file, fileIndex);
    EXPECT_EQ(newName(file), "photo");

    Transformer select = makeRule(TransformerType::select, [](auto& p) { p.selectType = "matching"; });
    select.disabled = true;
    select.transformQuick(file, fileIndex);
    EXPECT_TRUE(file.transformed.isSelected);

    prefix.disabled = false;
    file.transformed.isSelected = false;
    prefix.transformQuick(file, fileIndex);
    EXPECT_EQ(newName(file), "photo");
    file.transformed.isSelected = true;
    prefix.transformQuick(file, fileIndex);
    EXPECT_EQ(newName(file), "new_photo");
}

TEST_F(RuleRunTest, ThePreviewNeverFailsAndTheFullRunThrowsAllButSkipped)
{
    struct Case {
        const char* name;
        std::function<void()> fail;
        TransformMode mode;
        bool throws;
        QString recorded; // "" when nothing goes into the file's errors
        bool lateFlag;
    };
    const auto fatal = [] { throw TransformError::fatal("GPS lookup failed", "No network"); };
    const auto late = [] { throw TransformError::lateUpdateRequired(); };
    const auto skipped = [] { throw TransformError::skipped(); };
    const auto aborted = [] { throw TransformError::aborted(); };
    const auto other = [] { throw std::runtime_error("disk gone"); };
    const Case cases[] = {
        { "quick skipped", skipped, TransformMode::quick, false, "", false },
        { "quick late", late, TransformMode::quick, false, "", true },
        { "quick fatal", fatal, TransformMode::quick, false, "GPS lookup failed: No network", false },
        { "quick aborted", aborted, TransformMode::quick, false, "Aborted", false },
        { "quick other", other, TransformMode::quick, false, "disk gone", false },
        { "full skipped", skipped, TransformMode::full, false, "", false },
        { "full late", late, TransformMode::full, true, "Waiting for file attributes to be loaded", false },
        { "full fatal", fatal, TransformMode::full, true, "GPS lookup failed: No network", false },
        { "full aborted", aborted, TransformMode::full, true, "Aborted", false },
        { "full other", other, TransformMode::full, true, "disk gone", false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        lookup->fail = c.fail;
        Transformer rule = addressRule();
        File file = loadedFile("/data/photo.jpg");
        FileIndex fileIndex;
        LogCapture log;
        bool threw = false;
        if (c.mode == TransformMode::quick) {
            rule.transformQuick(file, fileIndex);
        } else {
            try {
                rule.transform(file, fileIndex);
            } catch (...) {
                threw = true;
            }
        }
        EXPECT_EQ(threw, c.throws);
        EXPECT_EQ(newName(file), "photo");
        EXPECT_EQ(file.transformed.lateUpdateRequired, c.lateFlag);
        if (c.recorded.isEmpty()) {
            EXPECT_TRUE(file.validation.errors.isEmpty());
            EXPECT_TRUE(log.lines().filter("error:").isEmpty());
        } else {
            EXPECT_EQ(file.validation.errors, QSet<QString> { c.recorded });
            const QString line = QStringLiteral("%1 error: transformerId: %2 at fileIndex: [:], error: %3")
                                     .arg(c.mode == TransformMode::quick ? "transformQuick" : "transform", rule.id,
                                         c.recorded);
            EXPECT_TRUE(log.contains(line)) << log.lines().join('\n').toStdString();
        }
    }
}

TEST_F(RuleRunTest, ThePreviewFlagsFilesWhoseAttributesAreNotLoaded)
{
    Transformer rule = makeRule(TransformerType::suffix,
        [](auto& p) { p.suffixText = TokenString::string("_") + TokenItem::attribute("kind"); });
    File file = makeFile("/data/photo.jpg");
    FileIndex fileIndex;
    rule.transformQuick(file, fileIndex);
    EXPECT_TRUE(file.transformed.lateUpdateRequired);
    EXPECT_TRUE(file.validation.errors.isEmpty());
}

TEST_F(RuleRunTest, ANumberingCounterCountsOnlyFilesThatPassTheGates)
{
    QList<Transformer> rules {
        makeRule(TransformerType::select, [](auto& p) {
            p.selectType = "notmatching";
            p.selectMatch = "^skip";
        }),
        makeRule(TransformerType::numbering),
    };
    QList<File> files = makeFiles({ "/data/a.jpg", "/data/skip1.jpg", "/data/b.jpg", "/data/.hidden.jpg" });
    files << makeFile("/data/folder", true);
    FileIndex fileIndex;
    previewRules(rules, files, fileIndex);
    EXPECT_EQ(FileIndexCounters::value(fileIndex, rules[1].id), 2);
}
