// SPDX-License-Identifier: GPL-3.0-or-later
#include "LoopbackHttpServer.h"
#include "RunTestSupport.h"
#include "core/AppNotification+Typed.h"
#include "engine/FileValidationUtil.h"
#include "files/FileAttributeLoader.h"
#include "platform/RequestSpacing.h"
#include "tokens/AttributeResolver.h"
#include "tokens/FileAttribute+add.h"
#include "tokens/GPSAddressResolver.h"
#include "tokens/GPSCache.h"
#include "tokens/NominatimGeocoder.h"

#include <QDateTime>

using namespace std::chrono_literals;
using FileValidationUtil::Message::notUnique;

namespace {

Transformer setRule(const TokenItem& item)
{
    Transformer rule = Transformer::newTransformer();
    rule.type = TransformerType::set;
    rule.properties.setText = TokenString(item);
    return rule;
}

TokenItem minuteModified()
{
    TokenItem date = TokenItem::attribute(QStringLiteral("date-modified"));
    date.dateFormat = QStringLiteral("yyyy-MM-dd HH.mm");
    date.timeZone = QStringLiteral("UTC");
    return date;
}

} // namespace

// Three photos from one camera, taken at three places within one minute. A
// rule that names them after data the preview does not hold yet gives all
// three the same name once the data arrives, through the single-file queue
// that the table's rows ask.
class LateNameTest : public EngineRunTest {
protected:
    void SetUp() override
    {
        EngineRunTest::SetUp();
        FileAttributeLoader::install([](const QUrl& url) {
            const int photo = QStringLiteral("abc").indexOf(url.fileName().at(0));
            FileAttributeDictionary attributes;
            AttributeDictionary::add(attributes, QStringLiteral("{TIFF}.Make"), QStringLiteral("Make"), QStringLiteral("Camera"));
            AttributeDictionary::add(attributes, Basic::dateModified,
                QDateTime(QDate(2024, 5, 17), QTime(9, 41, 7 + 20 * photo), Qt::UTC));
            AttributeDictionary::add(attributes, "{GPS}.Latitude", "Latitude", 10.5 + photo);
            AttributeDictionary::add(attributes, "{GPS}.LatitudeRef", QStringLiteral("N"));
            AttributeDictionary::add(attributes, "{GPS}.Longitude", "Longitude", 20.25 + photo);
            AttributeDictionary::add(attributes, "{GPS}.LongitudeRef", QStringLiteral("E"));
            return attributes;
        });
    }
    void TearDown() override
    {
        waitForExecutors();
        AttributeResolver::setGPSAddressResolver(nullptr);
        FileAttributeLoader::install({});
        EngineRunTest::TearDown();
    }

    void useGeocoder(const QString& url, GPSCache& cache)
    {
        auto geocoder = std::make_shared<NominatimGeocoder>(url, 60s, std::make_shared<RequestSpacing>(Clock::system(), Clock::Duration::zero()));
        AttributeResolver::setGPSAddressResolver(std::make_shared<GPSAddressResolver>(cache, geocoder, 1ms));
    }

    // The names as the table shows them, counter included.
    QStringList shownNames() const
    {
        QStringList names;
        for (const File& file : fileDataSource->getAllFiles())
            names << file.transformed.targetFileName();
        return names;
    }
    QList<QSet<QString>> errors() const
    {
        QList<QSet<QString>> all;
        for (const File& file : fileDataSource->getAllFiles())
            all << file.validation.errors;
        return all;
    }
};

// Every name the table shows passed the checks of the whole list, and the run
// gives the disk those names: with counters the table showed, or, without
// automatic resolution, only the first file, the others refused up front.
TEST_F(LateNameTest, LateNamesPassTheChecksOfTheWholeList)
{
    struct Case {
        const char* label;
        Transformer rule;
        QString name; // the one new name of all three
        bool geocoder;
        bool inserted; // the token comes into a rule after a first preview
    };
    const Case cases[] = {
        { "camera maker", setRule(TokenItem::attribute(QStringLiteral("{TIFF}.Make"))), "Camera", false, false },
        { "city of the position", setRule(TokenItem::attribute(QStringLiteral("GPS-AddressCity"))), "Springfield", true, false },
        { "modification minute inserted", setRule(minuteModified()), "2024-05-17 09.41", false, true },
    };
    int round = 0;
    for (const Case& c : cases) {
        for (const bool autoResolve : { true, false }) {
            SCOPED_TRACE(std::string(c.label) + (autoResolve ? ", counters" : ", no counters"));
            setPreference(PreferenceKey::autoResolveDuplicates, autoResolve);
            const QString folder = QStringLiteral("run%1").arg(++round);
            listFiles({ folder + "/a.jpg", folder + "/b.jpg", folder + "/c.jpg" });
            LoopbackHttpServer server({ { 200, R"({"address":{"city":"Springfield","country":"Utopia"}})" } });
            GPSCache cache;
            if (c.geocoder)
                useGeocoder(server.baseUrl(), cache);
            if (c.inserted) {
                setRules({ prefixRule(QStringLiteral("x_")) });
                runPreview();
                ASSERT_EQ(shownNames(), QStringList({ "x_a.jpg", "x_b.jpg", "x_c.jpg" }));
            }
            setRules({ c.rule });
            delegate->questions.clear();

            const FileValidationResult counts = previewWithLateUpdates(3);
            const QString jpg = c.name + ".jpg";
            if (autoResolve) {
                EXPECT_EQ(shownNames(), QStringList({ jpg, c.name + " 2.jpg", c.name + " 3.jpg" }));
                EXPECT_EQ(errors(), QList<QSet<QString>>({ {}, {}, {} }));
                EXPECT_EQ(counts.renameCount, 3);
                EXPECT_EQ(counts.errorCount, 0);
            } else {
                EXPECT_EQ(shownNames(), QStringList({ jpg, jpg, jpg }));
                EXPECT_EQ(errors(), QList<QSet<QString>>({ {}, { notUnique }, { notUnique } }));
                EXPECT_EQ(counts.renameCount, 1) << "Rename is offered for the first file only";
                EXPECT_EQ(counts.errorCount, 2);
            }
            const QStringList shown = shownNames();

            runRename();
            QStringList expected = autoResolve ? shown : QStringList({ jpg, "b.jpg", "c.jpg" });
            expected.sort();
            EXPECT_EQ(entries(folder), expected);
            EXPECT_TRUE(delegate->questions.empty()) << "no file fails half-way";
            AttributeResolver::setGPSAddressResolver(nullptr);
        }
    }
}

// A list as it opens, before any rule: names no rule changed are never
// errors, whatever the checks for new names would say of them.
TEST_F(LateNameTest, AFreshListHasNoErrors)
{
    listFiles({ QStringLiteral("..two_dots"), QStringLiteral("..."), QStringLiteral("line\nfeed.txt"), QStringLiteral("plain.txt") });
    setRules({});
    NotificationRecorder validations({ NotificationName::validationResult });
    runPreview();
    ASSERT_FALSE(validations.received.empty());
    const FileValidationResultRef counts = AppNotification::ValidationResult::get(validations.received.back());
    EXPECT_EQ(counts->errorCount, 0);
    EXPECT_EQ(counts->renameCount, 0);
    EXPECT_EQ(errors(), QList<QSet<QString>>({ {}, {}, {}, {} }));
}
