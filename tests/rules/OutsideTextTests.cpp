// SPDX-License-Identifier: GPL-3.0-or-later
#include "RuleFixtures.h"
#include "TestEnvironment.h"

#include "tokens/AttributeResolver.h"
#include "tokens/FileAttribute+add.h"
#include "tokens/GPSAddressResolver.h"
#include "tokens/GPSCache.h"

#include <QDateTime>

using namespace Qt::StringLiterals;

namespace {

// Text from files' metadata and from the geocoder, made hostile: line breaks,
// NUL, escape and the right-to-left override that shows "exe.txt" as "txt.exe".
const QString kHostile = u"\u202E\nLine1\r\nLine2\u0000\u001B[31m\u202Egpj.exe\u2066\u0007\n"_s;
const QString kCleaned = u"Line1 Line2[31mgpj.exe"_s;

class OutsideText : public RulesTest {
protected:
    void SetUp() override
    {
        RulesTest::SetUp();
        Preference::set(true, PreferenceKey::gpsAddressLookup);
        GPSAddress address;
        address.addressCity = kHostile;
        address.addressCountry = u"Utopia\u202E"_s;
        // Keyed at city and at country precision.
        cache = std::make_unique<GPSCache>(GPSAddressMap { { "10.12,-20.65", address }, { "10.1,-20.7", address } });
        AttributeResolver::setGPSAddressResolver(std::make_shared<GPSAddressResolver>(*cache, nullptr));
    }
    void TearDown() override
    {
        AttributeResolver::setGPSAddressResolver(nullptr);
        RulesTest::TearDown();
    }

    // A file whose name, folder and attributes all carry hostile text.
    static File hostileFile()
    {
        File file = makeFile(u"/data/Trip\u202E\n2024/IMG\n\u202E0001.jpg"_s);
        FileAttributeDictionary attributes;
        AttributeDictionary::add(attributes, "media-title", kHostile);
        AttributeDictionary::add(attributes, "media-artist", QVariant(QStringList { u"A\nB"_s, u"\u202EC"_s }));
        AttributeDictionary::add(attributes, Basic::dateModified, QDateTime::fromString("2024-05-01T10:00:00Z", Qt::ISODate));
        AttributeDictionary::add(attributes, "{GPS}.Latitude", "Latitude", 10.123456);
        AttributeDictionary::add(attributes, "{GPS}.LatitudeRef", QString("N"));
        AttributeDictionary::add(attributes, "{GPS}.Longitude", "Longitude", 20.654321);
        AttributeDictionary::add(attributes, "{GPS}.LongitudeRef", QString("W"));
        file.attributes = FileAttributes { attributes };
        return file;
    }

    std::unique_ptr<GPSCache> cache;
};

} // namespace

// Every source of token values, through both ways a rule resolves its text
// (plain and as a replacement template), in the preview and in the full run.
TEST_F(OutsideText, NoControlCharacterFromAnyTokenSourceReachesANewName)
{
    struct Case {
        const char* source;
        TokenItem item;
        QString expected;
    };
    TokenItem date = TokenItem::attribute("date-modified");
    date.dateFormat = u"yyyy'\n\u202E'MM"_s;
    date.timeZone = "UTC";
    TokenItem now = TokenItem::attribute("date-now");
    now.dateFormat = u"'\u0000x\u2029'yyyy"_s;
    TokenItem withPrefix = TokenItem::attribute("media-title");
    withPrefix.prefix = "[";
    withPrefix.suffix = "]";
    const Case cases[] = {
        { "metadata text", TokenItem::attribute("media-title"), kCleaned },
        { "metadata list", TokenItem::attribute("media-artist"), "A B, C" },
        { "date with a hostile format", date, "2024 05" },
        { "current date with a hostile format", now, u"x %1"_s.arg(QDate::currentDate().year()) },
        { "original file name", TokenItem::attribute("original-filename"), "IMG 0001" },
        { "parent folder", TokenItem::attribute("parent-directory-1"), "Trip 2024" },
        { "address from the geocoder", TokenItem::attribute("GPS-AddressCity"), kCleaned },
        { "address with an override at its end", TokenItem::attribute("GPS-AddressCountry"), "Utopia" },
        { "prefix and suffix of the user kept", withPrefix, "[" + kCleaned + "]" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source);
        const QList<Transformer> rules {
            makeRule(TransformerType::set, [&](auto& p) { p.setText = TokenString(c.item); }),
            makeRule(TransformerType::regex, [&](auto& p) {
                p.regexFindText = TokenString::string("(?s)^.*$");
                p.regexReplaceText = TokenString(c.item);
            }),
        };
        for (const Transformer& original : rules) {
            for (bool quick : { true, false }) {
                Transformer rule = original;
                File file = hostileFile();
                FileIndex fileIndex;
                if (quick)
                    rule.transformQuick(file, fileIndex);
                else
                    rule.transform(file, fileIndex);
                EXPECT_TRUE(file.validation.errors.isEmpty()) << file.validation.errors.values().join(';').toStdString();
                EXPECT_EQ(newName(file), c.expected) << rawValue(rule.type).toStdString() << (quick ? " preview" : " run");
            }
        }
    }
}
