// SPDX-License-Identifier: GPL-3.0-or-later
#include "LoopbackHttpServer.h"
#include "RunTestSupport.h"
#include "core/AppNotification+Typed.h"
#include "files/FileAttributeLoader.h"
#include "platform/RequestSpacing.h"
#include "tokens/AttributeResolver.h"
#include "tokens/FileAttribute+add.h"
#include "tokens/FileAttributesWorker.h"
#include "tokens/GPSAddressResolver.h"
#include "tokens/GPSCache.h"
#include "tokens/NominatimGeocoder.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

using namespace std::chrono_literals;

namespace {

const QByteArray CITY = R"({"address":{"city":"Springfield","country":"Utopia"}})";
const QByteArray NOWHERE = R"({"error":"Unable to geocode"})";

// An address on this machine where nobody listens.
QString closedServer()
{
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(s);
    return QStringLiteral("http://127.0.0.1:%1").arg(ntohs(address.sin_port));
}

} // namespace

// Three photos at three positions, a rule that puts the city in front of the
// name, addresses from a loopback geocoder: the preview as the window drives
// it (the rows the table shows ask for their late update), then the rename.
class GPSAddressRunTest : public EngineRunTest {
protected:
    void SetUp() override
    {
        EngineRunTest::SetUp();
        FileAttributeLoader::install([](const QUrl& url) {
            const double degrees = 10 + QStringLiteral("abc").indexOf(url.fileName().at(0));
            FileAttributeDictionary attributes;
            AttributeDictionary::add(attributes, "{GPS}.Latitude", "Latitude", degrees + 0.5);
            AttributeDictionary::add(attributes, "{GPS}.LatitudeRef", QStringLiteral("N"));
            AttributeDictionary::add(attributes, "{GPS}.Longitude", "Longitude", degrees + 10.25);
            AttributeDictionary::add(attributes, "{GPS}.LongitudeRef", QStringLiteral("E"));
            return attributes;
        });
        FileAttributesWorker::shared().setRuleUsage([] { return true; });
        listFiles({ QStringLiteral("a.jpg"), QStringLiteral("b.jpg"), QStringLiteral("c.jpg") });
        setRules({ cityPrefix() });
        TestEnvironment::drainEvents();
    }
    void TearDown() override
    {
        waitForExecutors();
        AttributeResolver::setGPSAddressResolver(nullptr);
        FileAttributesWorker::shared().setRuleUsage({});
        FileAttributeLoader::install({});
        EngineRunTest::TearDown();
    }

    static Transformer cityPrefix()
    {
        Transformer rule = Transformer::newTransformer();
        rule.type = TransformerType::prefix;
        rule.properties.prefixText = TokenString(QList { TokenItem::attribute(QStringLiteral("GPS-AddressCity")), TokenItem::string(QStringLiteral("_")) });
        return rule;
    }

    void useServer(const QString& url)
    {
        // No second between requests here: the spacing has tests of its own.
        auto geocoder = std::make_shared<NominatimGeocoder>(url, 60s, std::make_shared<RequestSpacing>(Clock::system(), Clock::Duration::zero()));
        AttributeResolver::setGPSAddressResolver(std::make_shared<GPSAddressResolver>(cache, geocoder, 1ms));
    }

    // The preview, then the late updates of every row; the counts it ends with.
    // Nothing cached: every row waits for its address.
    FileValidationResult preview()
    {
        runOnTransformation([](std::stop_token stop) { FileAttributesWorker::shared().preloadAllAttributesNow(stop); });
        return previewWithLateUpdates(3);
    }

    QStringList warnings() const
    {
        QStringList all;
        for (const File& file : fileDataSource->getAllFiles()) {
            EXPECT_TRUE(file.validation.errors.isEmpty()) << file.source.fileInfo.name.toStdString();
            all << QStringList(file.validation.warnings.cbegin(), file.validation.warnings.cend()).join(';');
        }
        return all;
    }
    // What the run and the preview said: notices that hold nothing back.
    QStringList alerts() const
    {
        EXPECT_TRUE(delegate->warnings.empty()) << "no modal alert";
        QStringList texts;
        for (const auto& [message, informative] : delegate->notices)
            texts << message + QLatin1Char('|') + informative;
        return texts;
    }


    GPSCache cache;
};

TEST_F(GPSAddressRunTest, WithNothingCachedThePreviewEndsValidatedWhenTheAddressesArrive)
{
    LoopbackHttpServer server({ { 200, CITY } });
    useServer(server.baseUrl());
    const FileValidationResult counts = preview();
    EXPECT_EQ(newNames(), QStringList({ "Springfield_a.jpg", "Springfield_b.jpg", "Springfield_c.jpg" }));
    EXPECT_EQ(counts.renameCount, 3) << "the count and the Rename button follow the addresses";
    EXPECT_EQ(counts.errorCount, 0);
    EXPECT_EQ(warnings(), QStringList({ "", "", "" }));
    EXPECT_TRUE(alerts().isEmpty());
}

TEST_F(GPSAddressRunTest, OneUnresolvablePositionLeavesOnlyItsAddressEmpty)
{
    const QString inPreview = "The geocode request yielded no result. (error code 8)|The new names in the list are shown without GPS "
                              "Address information. Rename asks for it again.";
    const QString told = "The geocode request yielded no result. (error code 8)|The rest of the files will be renamed without GPS Address information.";
    // In file order; the rename run asks again for the position that failed.
    LoopbackHttpServer server({ { 200, CITY }, { 200, NOWHERE }, { 200, CITY }, { 200, NOWHERE } });
    useServer(server.baseUrl());
    const FileValidationResult counts = preview();
    EXPECT_EQ(newNames(), QStringList({ "Springfield_a.jpg", "_b.jpg", "Springfield_c.jpg" }));
    EXPECT_EQ(counts.renameCount, 3);
    EXPECT_EQ(counts.errorCount, 0);
    EXPECT_EQ(warnings(), QStringList({ "", "No GPS Address: The geocode request yielded no result. (error code 8)", "" }));
    EXPECT_EQ(alerts(), QStringList { inPreview });

    // Said before the rest is renamed, not after.
    QStringList onDiskWhenTold;
    delegate->onNotice = [&](const QString&) { onDiskWhenTold = entries(); };
    runRename();
    EXPECT_EQ(onDiskWhenTold, QStringList({ "a.jpg", "b.jpg", "c.jpg" }));
    EXPECT_EQ(storedNames(), QStringList({ "Springfield_a.jpg", "_b.jpg", "Springfield_c.jpg" })) << "the rest is renamed, as the alert says";
    EXPECT_EQ(entries(), QStringList({ "Springfield_a.jpg", "Springfield_c.jpg", "_b.jpg" }));
    EXPECT_EQ(alerts(), QStringList({ inPreview, told })) << "said once in the preview, once in the run";
}

TEST_F(GPSAddressRunTest, WithoutAServerTheNamesGoOnWithoutAddresses)
{
    useServer(closedServer());
    const FileValidationResult counts = preview();
    EXPECT_EQ(newNames(), QStringList({ "_a.jpg", "_b.jpg", "_c.jpg" }));
    EXPECT_EQ(counts.renameCount, 3);
    const QString why = "No GPS Address: The network was unavailable or a network error occurred. (error code 2)";
    EXPECT_EQ(warnings(), QStringList({ why, why, why }));
    ASSERT_EQ(alerts().size(), 1) << "said once, not for every file";
    EXPECT_TRUE(alerts().first().startsWith("The network was unavailable or a network error occurred. (error code 2)|This may be only temporary."));

    runRename();
    EXPECT_EQ(storedNames(), QStringList({ "_a.jpg", "_b.jpg", "_c.jpg" }));
    EXPECT_EQ(alerts().size(), 2);
}

// The preview could not find the addresses; by the rename the service answers.
// The run renames nothing to names the table never showed: it shows them, and
// the next rename uses them.
TEST_F(GPSAddressRunTest, AddressesFoundOnlyByTheRenameAreShownBeforeAnythingIsRenamed)
{
    const struct {
        const char* name;
        QList<LoopbackHttpServer::Answer> answers; // the rename's answers, in file order
        QStringList shown;                         // the table after the first rename
        QStringList renamed;                       // the disk after the second
    } cases[] = {
        { "all found", { { 200, CITY } }, { "Springfield_a.jpg", "Springfield_b.jpg", "Springfield_c.jpg" },
            { "Springfield_a.jpg", "Springfield_b.jpg", "Springfield_c.jpg" } },
        { "one found", { { 200, NOWHERE }, { 200, CITY }, { 200, NOWHERE } }, { "_a.jpg", "Springfield_b.jpg", "_c.jpg" },
            { "Springfield_b.jpg", "_a.jpg", "_c.jpg" } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        delegate->notices.clear();
        cache.clear();
        for (const QString& name : entries())
            QFile::remove(path(name));
        listFiles({ QStringLiteral("a.jpg"), QStringLiteral("b.jpg"), QStringLiteral("c.jpg") });
        TestEnvironment::drainEvents();

        QList<LoopbackHttpServer::Answer> answers { { 200, NOWHERE }, { 200, NOWHERE }, { 200, NOWHERE } };
        answers << c.answers;
        LoopbackHttpServer server(answers);
        useServer(server.baseUrl());
        preview();
        ASSERT_EQ(newNames(), QStringList({ "_a.jpg", "_b.jpg", "_c.jpg" }));

        runRename();
        EXPECT_EQ(entries(), QStringList({ "a.jpg", "b.jpg", "c.jpg" })) << "nothing renamed";
        EXPECT_EQ(newNames(), c.shown) << "the table shows what the next rename does";
        ASSERT_FALSE(alerts().isEmpty());
        EXPECT_EQ(alerts().last(), QString("GPS Address information was found after the preview.|The list now shows %1 with it. "
                                           "Nothing was renamed: check the new names, then rename again.")
                                       .arg(c.shown.filter("Springfield").size() == 1 ? "1 new name" : "3 new names"));
        EXPECT_TRUE(delegate->partialCompletions.empty());

        runRename();
        EXPECT_EQ(entries(), c.renamed);
        EXPECT_EQ(storedNames(), c.shown);
    }
}
