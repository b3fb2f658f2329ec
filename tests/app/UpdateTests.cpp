// SPDX-License-Identifier: GPL-3.0-or-later
#include "LoopbackHttpServer.h"
#include "TestEnvironment.h"
#include "app/SignatureUtil.h"
#include "app/UpdateUtil.h"
#include "app/VersionCheck.h"
#include "core/Preference.h"
#include "uikit/ScriptedAlertPresenter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sodium.h>

using namespace std::chrono_literals;

namespace {

// ---- the version document

TEST(VersionDocument, AllFourTextsAreRequired)
{
    const struct {
        const char* json;
        bool valid;
    } cases[] = {
        { R"({"version":"4.3","url":"https://example.org/b.deb","message":"New","signature":"AB"})", true },
        { R"({"version":"4.3","url":"https://example.org/b.deb","message":"New","signature":"AB","extra":1})", true },
        { R"({"version":"4.3","url":"https://example.org/b.deb","message":"New"})", false },
        { R"({"version":4.3,"url":"https://example.org/b.deb","message":"New","signature":"AB"})", false },
        { R"({"version":"4.3","url":"not an address","message":"New","signature":"AB"})", false },
        { R"(["version"])", false },
        { "", false },
    };
    for (const auto& c : cases) {
        QString error;
        EXPECT_EQ(VersionInfo::fromJson(c.json, &error).has_value(), c.valid) << c.json;
        EXPECT_EQ(error.isEmpty(), c.valid) << c.json;
    }
}

QByteArray document(const QString& version)
{
    return QStringLiteral(R"({"version":"%1","url":"https://example.org/brackenfold.deb","message":"See https://example.org","signature":"00"})")
        .arg(version)
        .toUtf8();
}

// Runs the check against a loopback server; answers what was offered.
struct CheckRun {
    QStringList offered;
    QList<QUrl> downloaded;
    QStringList logged;
};

CheckRun check(const LoopbackHttpServer::Answer& answer, const QString& running, bool accept = true)
{
    LoopbackHttpServer server({ answer });
    CheckRun run;
    LogCapture log;
    VersionCheck::Steps steps {
        [&](const VersionInfo& info) {
            run.offered << info.version;
            return accept;
        },
        [&](const QUrl& url, const QString&) { run.downloaded << url; },
    };
    VersionCheck::runCheck(QUrl(server.baseUrl() + "/download/version.json"), Version(running), steps);
    for (const QString& line : log.lines())
        if (line.contains("Fetching latest version information failed."))
            run.logged << line;
    return run;
}

TEST(VersionCheckTest, OnlyANewerVersionIsOffered)
{
    const struct {
        const char* published;
        const char* running;
        bool offered;
    } cases[] = {
        { "4.3", "4.2", true },
        { "4.3", "4.3", false },
        { "4.3", "4.3.0", false },
        { "4.3.0.1", "4.3.0", false },
        { "4.3.0.1", "4.2", true },
        { "4.2", "4.3", false },
        { "5.0", "", true },
        { "4.é", "", false },
    };
    for (const auto& c : cases) {
        const CheckRun run = check({ 200, document(c.published) }, c.running);
        EXPECT_EQ(run.offered, c.offered ? QStringList { c.published } : QStringList()) << c.published << " vs " << c.running;
        EXPECT_EQ(run.downloaded.size(), c.offered ? 1 : 0);
        EXPECT_TRUE(run.logged.isEmpty());
    }
    const CheckRun declined = check({ 200, document("9.0") }, "4.2", false);
    EXPECT_EQ(declined.offered.size(), 1);
    EXPECT_TRUE(declined.downloaded.isEmpty());
}

TEST(VersionCheckTest, FailuresAreSilentOrLogged)
{
    EXPECT_TRUE(check({ 404, document("9.0") }, "1.0").logged.isEmpty());
    EXPECT_TRUE(check({ 304, "" }, "1.0").offered.isEmpty());
    const CheckRun empty = check({ 200, "" }, "1.0");
    EXPECT_TRUE(empty.offered.isEmpty());
    EXPECT_EQ(empty.logged.size(), 1);
    EXPECT_EQ(check({ 200, R"({"version":"9.0","url":"https://e.org/x","message":""})" }, "1.0").logged.size(), 1)
        << "no signature: the document is refused";
}

TEST(VersionCheckTest, NoAddressNoRequest)
{
    EXPECT_FALSE(VersionCheck::versionURL().has_value()) << "the build's address is empty";
    // The environment does not decide where the shipped program looks.
    qputenv("BRACKENFOLD_VERSION_URL", "https://elsewhere.example/download/version.json");
    EXPECT_FALSE(VersionCheck::versionURL().has_value());
    qunsetenv("BRACKENFOLD_VERSION_URL");

    const struct {
        const char* address;
        std::optional<QUrl> url;
    } cases[] = {
        { "https://example.org", QUrl("https://example.org/download/version.json") },
        { " https://example.org/ ", QUrl("https://example.org/download/version.json") },
        { "https://example.org/download/version.json", QUrl("https://example.org/download/version.json") },
        { "https://example.org:8443/news/index.html?x=1#top", QUrl("https://example.org:8443/download/version.json") },
        { "", std::nullopt },
        { "example.org", std::nullopt },
        { "https://", std::nullopt },
    };
    for (const auto& c : cases)
        EXPECT_EQ(VersionCheck::versionURL(QString::fromUtf8(c.address)), c.url) << c.address;

    LogCapture log;
    Preference::set(false, PreferenceKey::versionCheckOnStartup);
    VersionCheck::checkVersion();
    EXPECT_TRUE(log.contains("Preference versionCheckOnStartup is switched off"));
    Preference::set(true, PreferenceKey::versionCheckOnStartup);
}

TEST(VersionCheckTest, TheOfferShowsTheMessageWithLinksAndTheVersionText)
{
    ScriptedAlertPresenter alerts;
    VersionInfo info = *VersionInfo::fromJson(document("4.3.0.1"));
    alerts.answer = 1;
    EXPECT_TRUE(VersionCheck::askToDownloadNewVersion(info));
    ASSERT_EQ(alerts.requests.size(), 1u);
    const AlertRequest& offer = alerts.requests.front();
    EXPECT_EQ(offer.messageText, "Brackenfold Update");
    EXPECT_EQ(offer.buttons, (QStringList { "Not now", "Update to 4.3.0.1" }));
    EXPECT_EQ(offer.informativeText, "See https://example.org\n\nWould you like to update now?");
    EXPECT_TRUE(offer.linkify);
    EXPECT_EQ(offer.style, AlertStyle::informational);
    alerts.answer = 0;
    EXPECT_FALSE(VersionCheck::askToDownloadNewVersion(info));
    alerts.answer = AlertPresenter::NO_BUTTON;
    EXPECT_FALSE(VersionCheck::askToDownloadNewVersion(info)) << "closing the offer is not accepting it";
}

// ---- signatures

struct KeyPair {
    unsigned char publicKey[crypto_sign_PUBLICKEYBYTES];
    unsigned char secretKey[crypto_sign_SECRETKEYBYTES];
    KeyPair()
    {
        EXPECT_GE(sodium_init(), 0);
        crypto_sign_keypair(publicKey, secretKey);
    }
    QString publicHex() const
    {
        return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(publicKey), sizeof publicKey).toHex().toUpper());
    }
    QString sign(const QByteArray& data) const
    {
        unsigned char signature[crypto_sign_BYTES];
        crypto_sign_detached(signature, nullptr, reinterpret_cast<const unsigned char*>(data.constData()), data.size(), secretKey);
        return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(signature), sizeof signature).toHex().toUpper());
    }
};

TEST(SignatureTest, OnlyTheseBytesUnderThisKeyVerify)
{
    const KeyPair keys;
    const KeyPair other;
    const QByteArray data = "the update";
    const QString signature = keys.sign(data);
    QString broken = signature.toLower();
    broken.insert(64, "\n");
    QByteArray changed = data;
    changed[0] = 'T';
    const QString keyInTwoLines = keys.publicHex().left(32) + "\n" + keys.publicHex().mid(32);
    const struct {
        const char* name;
        QByteArray data;
        std::optional<QString> signature;
        QString key;
        bool valid;
    } cases[] = {
        { "signed", data, signature, keys.publicHex(), true },
        { "lower case over two lines", data, broken, keyInTwoLines, true },
        { "one byte changed", changed, signature, keys.publicHex(), false },
        { "other key", data, signature, other.publicHex(), false },
        { "no signature", data, std::nullopt, keys.publicHex(), false },
        { "short signature", data, signature.left(100), keys.publicHex(), false },
        { "no key", data, signature, QString(), false },
    };
    for (const auto& c : cases)
        EXPECT_EQ(SignatureUtil::validateSignedData(c.data, c.signature, c.key), c.valid) << c.name;
}

// ---- the download

class UpdateDownload : public ::testing::Test {
protected:
    UpdateUtil::Hooks hooks()
    {
        UpdateUtil::Hooks hooks { folder.path(), keys.publicHex(),
            [this](const QString& path) { opened << path; }, [this] { ++quits; } };
        hooks.maximumBytes = 1 << 20;
        return hooks;
    }
    bool download(const LoopbackHttpServer::Answer& answer, const QString& signature, const QString& name = "brackenfold_4.3.deb")
    {
        LoopbackHttpServer server({ answer });
        const bool downloaded = UpdateUtil::download(QUrl(server.baseUrl() + "/download/" + name), signature, hooks());
        requests = server.requests().size();
        return downloaded;
    }
    // Everything in the folder and beside it.
    QStringList files() const
    {
        QStringList all = QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        for (const QString& beside : QDir(QFileInfo(folder.path()).path()).entryList(QDir::Files | QDir::Hidden | QDir::System))
            all << "../" + beside;
        return all;
    }

    QTemporaryDir root;
    QTemporaryDir folder { root.filePath("updates-XXXXXX") };
    KeyPair keys;
    ScriptedAlertPresenter alerts;
    QStringList opened;
    int quits = 0;
    qsizetype requests = 0;
    // What a Debian package begins with.
    const QByteArray body = QByteArray("!<arch>\ndebian-binary   1342943816  0     0     100644  4         `\n2.0\n")
        + QByteArray(5000, 'x') + "payload";
};

TEST_F(UpdateDownload, AVerifiedFileIsWrittenOpenedAndTheApplicationQuits)
{
    ASSERT_TRUE(download({ 200, body }, keys.sign(body)));
    EXPECT_EQ(files(), QStringList { "brackenfold_4.3.deb" });
    const QString path = folder.filePath("brackenfold_4.3.deb");
    QFile written(path);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), body);
    EXPECT_FALSE(QFileInfo(path).isExecutable());
    EXPECT_EQ(QFileInfo(path).permissions() & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther), 0);
    EXPECT_TRUE(opened.isEmpty()) << "nothing opens before the user saw the message";

    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return quits == 1; }));
    ASSERT_EQ(alerts.requests.size(), 1u);
    EXPECT_EQ(alerts.requests.front().messageText, "Download completed successfully.");
    EXPECT_EQ(alerts.requests.front().informativeText, "The application will now close to allow installation to proceed.");
    EXPECT_EQ(opened, QStringList { path });
}

TEST_F(UpdateDownload, NothingUnverifiedIsKept)
{
    QByteArray forgedBody = body;
    forgedBody[100] = 'y';
    const KeyPair other;
    const QByteArray script = "#!/bin/sh\necho hello\n";
    const QByteArray redirect = "HTTP/1.1 302 Found\r\nLocation: http://203.0.113.9/brackenfold_4.3.deb\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
    const struct {
        const char* name;
        LoopbackHttpServer::Answer answer;
        QString signature;
        const char* file = "brackenfold_4.3.deb";
        bool asked = true;
    } cases[] = {
        { "forged", { 200, forgedBody }, keys.sign(body) },
        { "signed by another key", { 200, body }, other.sign(body) },
        { "the signature of other bytes", { 200, body }, keys.sign(body + "more") },
        { "signature cut short", { 200, body }, keys.sign(body).left(100) },
        { "empty signature", { 200, body }, QString("") },
        { "truncated", { 200, body.left(body.size() - 3) }, keys.sign(body) },
        { "body cut short", { 200, body.left(body.size() - 3), {}, "HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" }, keys.sign(body) },
        { "endless", { 200, body, {}, {}, true }, keys.sign(body) },
        { "not found", { 404, body }, keys.sign(body) },
        { "redirected to plain http elsewhere", { 302, {}, {}, redirect }, keys.sign(body) },
        // The name picks the desktop's handler: a signed file is still refused under another type.
        { "a signed package named as a script", { 200, body }, keys.sign(body), "brackenfold_4.3.sh", false },
        { "a signed package named as a web page", { 200, body }, keys.sign(body), "index.html", false },
        { "signed bytes that are no package", { 200, script }, keys.sign(script) },
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(download(c.answer, c.signature, c.file)) << c.name;
        EXPECT_EQ(files(), QStringList()) << c.name;
        EXPECT_EQ(requests > 0, c.asked) << c.name;
    }
    EXPECT_FALSE(UpdateUtil::download(QUrl("http://203.0.113.9/brackenfold_4.3.deb"), keys.sign(body), hooks()))
        << "plain http elsewhere is never asked";
    EXPECT_EQ(files(), QStringList());
    // Every failure's alert, the last one included, before the scripted presenter goes.
    const std::size_t failures = std::size(cases) + 1;
    TestEnvironment::processEventsUntil([&] { return alerts.requests.size() == failures; });
    ASSERT_EQ(alerts.requests.size(), failures);
    for (const AlertRequest& request : alerts.requests) {
        EXPECT_EQ(request.messageText, "Update failed");
        EXPECT_EQ(request.informativeText, "Please try again later");
    }
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_EQ(quits, 0);
}

TEST(UpdateFiles, NamesFromTheAddressAreSanitised)
{
    const struct {
        const char* url;
        const char* name;
    } cases[] = {
        { "https://e.org/d/brackenfold_4.3_amd64.deb", "brackenfold_4.3_amd64.deb" },
        { "https://e.org/d/", "update.bin" },
        { "https://e.org/d/..", "update.bin" },
        { "https://e.org/d/.hidden", "hidden" },
        { "https://e.org/d/a%20b%2F..%2Fc;rm.sh", "crm.sh" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(UpdateUtil::sanitizedFileName(QUrl(c.url)), c.name) << c.url;
    const QString folder = UpdateUtil::updateFolder();
    ASSERT_FALSE(folder.isEmpty());
    EXPECT_TRUE(folder.startsWith(TestEnvironment::homePath()));
    EXPECT_EQ(QFileInfo(folder).permissions() & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther), 0);
}

} // namespace
