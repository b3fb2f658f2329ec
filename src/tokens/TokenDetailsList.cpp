// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokens/TokenDetailsList.h"

#include "core/IcuString.h"
#include "core/Dictionary+caseInsensitive.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <unicode/coll.h>

#include <algorithm>
#include <memory>

namespace {
const QList<TokenCategory> ATTRIBUTE_SECTIONS = { TokenCategory::file, TokenCategory::media, TokenCategory::exif,
    TokenCategory::gps, TokenCategory::id3, TokenCategory::flac, TokenCategory::av };

QString sortText(const TokenDetails& details)
{
    return details.subKey().value_or(details.tokenId());
}

// Case-insensitive order of the current locale.
void sortSection(QList<TokenDetailsRef>& list)
{
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Collator> collator(icu::Collator::createInstance(icu::Locale::getDefault(), status));
    if (U_FAILURE(status) || !collator) {
        std::sort(list.begin(), list.end(), [](const TokenDetailsRef& a, const TokenDetailsRef& b) {
            return sortText(*a).compare(sortText(*b), Qt::CaseInsensitive) < 0;
        });
        return;
    }
    collator->setStrength(icu::Collator::SECONDARY);
    std::sort(list.begin(), list.end(), [&](const TokenDetailsRef& a, const TokenDetailsRef& b) {
        UErrorCode s = U_ZERO_ERROR;
        return collator->compare(IcuString::toIcu(sortText(*a)), IcuString::toIcu(sortText(*b)), s) == UCOL_LESS;
    });
}
} // namespace

QString TokenDetailsList::resourcePath()
{
    return QStringLiteral(":/TokenDetails.json");
}

const TokenDetailsList& TokenDetailsList::shared()
{
    static const TokenDetailsList catalog = [] {
        QFile file(resourcePath());
        if (!file.open(QIODevice::ReadOnly))
            return TokenDetailsList();
        return fromJson(file.readAll());
    }();
    return catalog;
}

QList<TokenDetailsRef>* TokenDetailsList::section(TokenCategory category)
{
    switch (category) {
    case TokenCategory::file: return &basicTokenDetails;
    case TokenCategory::media: return &mediaTokenDetails;
    case TokenCategory::exif: return &exifTokenDetails;
    case TokenCategory::gps: return &gpsTokenDetails;
    case TokenCategory::id3: return &id3TokenDetails;
    case TokenCategory::flac: return &flacTokenDetails;
    case TokenCategory::av: return &avTokenDetails;
    case TokenCategory::regex: return &regexTokenDetails;
    }
    return nullptr;
}

TokenDetailsList TokenDetailsList::fromJson(const QByteArray& json)
{
    TokenDetailsList catalog;
    const QJsonDocument document = QJsonDocument::fromJson(json);
    if (!document.isObject())
        return catalog;
    const QJsonObject root = document.object();
    for (TokenCategory category : TokenCategories::allCases()) {
        const QJsonValue value = root.value(TokenCategories::sectionKey(category));
        if (!value.isArray())
            continue;
        const QJsonArray entries = value.toArray();
        // A section holding anything but dictionaries is empty as a whole.
        if (!std::all_of(entries.begin(), entries.end(), [](const QJsonValue& v) { return v.isObject(); }))
            continue;
        QList<TokenDetailsRef>* list = catalog.section(category);
        for (const QJsonValue& entry : entries) {
            auto details = std::make_shared<const TokenDetails>(entry.toObject(), category);
            list->append(details);
            catalog.tokenDetailsDictionary.insert(details->tokenId(), details);
            if (category == TokenCategory::id3)
                catalog.id3TokenDetailsDictionary.insert(details->key(), details);
            if (category == TokenCategory::av)
                catalog.avTokenDetailsDictionary.insert(details->key(), details);
        }
    }
    for (TokenCategory category : ATTRIBUTE_SECTIONS) {
        QList<TokenDetailsRef> sorted = *catalog.section(category);
        sortSection(sorted);
        catalog.allTokens += sorted;
    }
    return catalog;
}

TokenDetailsRef TokenDetailsList::operator[](const QString& tokenId) const
{
    // Token ids differ by more than letter case, so an exact hit is the match;
    // it spares the scan on every kind test of a token item.
    if (const auto exact = tokenDetailsDictionary.constFind(tokenId); exact != tokenDetailsDictionary.cend())
        return exact.value();
    return Dictionary::value(tokenDetailsDictionary, tokenId).value_or(nullptr);
}

qsizetype TokenDetailsList::count() const
{
    return basicTokenDetails.size() + mediaTokenDetails.size() + exifTokenDetails.size() + gpsTokenDetails.size()
        + id3TokenDetails.size() + flacTokenDetails.size() + avTokenDetails.size();
}

TokenDetailsRef TokenDetailsList::operator[](qsizetype position) const
{
    if (position < 0)
        return nullptr;
    for (const QList<TokenDetailsRef>* list : { &basicTokenDetails, &mediaTokenDetails, &exifTokenDetails,
             &gpsTokenDetails, &id3TokenDetails, &flacTokenDetails, &avTokenDetails }) {
        if (position < list->size())
            return list->at(position);
        position -= list->size();
    }
    return nullptr;
}
