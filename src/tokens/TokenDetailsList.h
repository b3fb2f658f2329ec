// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tokens/TokenDetails.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

// The token catalog: every attribute token a user can insert, read once from
// the catalog resource built into the program and never changed afterwards.
class TokenDetailsList {
public:
    static const TokenDetailsList& shared();
    // A catalog from the JSON text of the resource form; an unreadable text
    // gives an empty catalog.
    static TokenDetailsList fromJson(const QByteArray& json);
    // The path of the built-in resource.
    static QString resourcePath();

    QList<TokenDetailsRef> basicTokenDetails;
    QList<TokenDetailsRef> mediaTokenDetails;
    QList<TokenDetailsRef> exifTokenDetails;
    QList<TokenDetailsRef> gpsTokenDetails;
    QList<TokenDetailsRef> id3TokenDetails;
    QMap<QString, TokenDetailsRef> id3TokenDetailsDictionary;
    QList<TokenDetailsRef> avTokenDetails;
    QMap<QString, TokenDetailsRef> avTokenDetailsDictionary;
    QList<TokenDetailsRef> flacTokenDetails;
    QList<TokenDetailsRef> regexTokenDetails;
    QMap<QString, TokenDetailsRef> tokenDetailsDictionary;
    // The seven attribute sections, each sorted, one after the other.
    QList<TokenDetailsRef> allTokens;

    const QList<TokenDetailsRef>& all() const { return allTokens; }

    // The entry whose token id equals the text when case is ignored.
    TokenDetailsRef operator[](const QString& tokenId) const;
    // The entries of the seven attribute sections in resource order.
    qsizetype count() const;
    TokenDetailsRef operator[](qsizetype position) const;

private:
    TokenDetailsList() = default;
    QList<TokenDetailsRef>* section(TokenCategory category);
};
