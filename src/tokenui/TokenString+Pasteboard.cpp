// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokenui/TokenString+Pasteboard.h"

#include "core/CanonicalText.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMimeData>
#include <QRegularExpression>
#include <QStringDecoder>

namespace TokenStringPasteboard {

QStringList writableTypes()
{
    return { tokenStringType, stringType };
}

QString plainText(const TokenString& tokenString)
{
    // Typed text goes out as it stands, blanks at its ends included; a chip
    // gives its label without the arrow.
    QString text;
    for (const TokenItem& item : tokenString.items())
        text += item.type == TokenType::STRING ? item.value : item.description();
    return text;
}

std::optional<QByteArray> propertyList(const TokenString& tokenString, const QString& type)
{
    if (type == tokenStringType) {
        QJsonArray array;
        for (const TokenItem& item : tokenString.items())
            array.append(QJsonObject::fromVariantMap(item.properties()));
        return QJsonDocument(array).toJson(QJsonDocument::Compact);
    }
    if (type == stringType)
        return plainText(tokenString).toUtf8();
    return std::nullopt;
}

void write(QMimeData& mimeData, const TokenString& tokenString)
{
    for (const QString& type : writableTypes())
        if (auto data = propertyList(tokenString, type))
            mimeData.setData(type, *data);
}

std::optional<TokenString> read(const QByteArray& propertyList, const QString& type)
{
    if (type == tokenStringType) {
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(propertyList, &error);
        if (error.error != QJsonParseError::NoError || !document.isArray())
            return std::nullopt;
        QVariantList properties;
        for (const QJsonValue& entry : document.array()) {
            if (!entry.isObject())
                return std::nullopt;
            const QJsonObject object = entry.toObject();
            for (auto it = object.begin(); it != object.end(); ++it)
                if (!it.value().isString())
                    return std::nullopt;
            properties << object.toVariantMap();
        }
        return TokenString::fromProperties(properties);
    }
    if (type == stringType) {
        QStringDecoder decoder(QStringDecoder::Utf8);
        const QString text = decoder.decode(propertyList);
        if (decoder.hasError())
            return std::nullopt;
        return TokenString::string(text);
    }
    return std::nullopt;
}

std::optional<QList<TokenString>> tokenStrings(const QMimeData& mimeData)
{
    if (!mimeData.hasFormat(tokenStringType))
        return std::nullopt;
    auto tokenString = read(mimeData.data(tokenStringType), tokenStringType);
    if (!tokenString)
        return std::nullopt;
    return QList<TokenString> { *tokenString };
}

QList<TokenItem> tokenItems(const QMimeData& mimeData)
{
    QList<TokenItem> items;
    if (auto strings = tokenStrings(mimeData))
        for (const TokenString& tokenString : *strings)
            items << tokenString.items();
    return items;
}

QList<TokenType> tokenTypes(const QMimeData& mimeData)
{
    QList<TokenType> types;
    for (const TokenItem& item : tokenItems(mimeData))
        types << item.type;
    return types;
}

std::optional<QString> string(const QMimeData& mimeData)
{
    if (!mimeData.hasFormat(stringType))
        return std::nullopt;
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(mimeData.data(stringType));
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

std::optional<QUrl> fileTableViewRowUrl(const QMimeData& mimeData)
{
    if (!mimeData.hasFormat(fileTableViewRowUrlType))
        return std::nullopt;
    const QUrl url = QUrl::fromEncoded(mimeData.data(fileTableViewRowUrlType), QUrl::StrictMode);
    if (!url.isValid() || url.isEmpty())
        return std::nullopt;
    return url;
}

namespace {
QString textOfScope(const QUrl& url, TransformScope scope)
{
    static const QRegularExpression separators(QStringLiteral("/+"));
    const QString path = CanonicalText::nfc(url.isLocalFile() ? url.toLocalFile() : url.path())
                             .replace(separators, QStringLiteral("/"));
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const QString lastComponent = slash < 0 ? path : path.mid(slash + 1);
    const qsizetype dot = lastComponent.lastIndexOf(QLatin1Char('.'));
    const bool hasExtension = dot > 0;
    switch (scope) {
    case TransformScope::filename:
        return hasExtension ? lastComponent.left(dot) : lastComponent;
    case TransformScope::path:
        return slash < 0 ? QString() : (slash == 0 ? QStringLiteral("/") : path.left(slash));
    case TransformScope::ext:
        return hasExtension ? lastComponent.mid(dot + 1) : QString();
    case TransformScope::fullPath:
        return path;
    }
    return path;
}
} // namespace

std::optional<TokenString> getTokenString(const QMimeData& mimeData, const QStringList& types, TransformScope transformScope)
{
    const bool hasAny = std::any_of(types.begin(), types.end(), [&](const QString& t) { return mimeData.hasFormat(t); });
    if (!hasAny)
        return std::nullopt;
    if (auto url = fileTableViewRowUrl(mimeData))
        return TokenString::string(textOfScope(*url, transformScope));
    if (auto strings = tokenStrings(mimeData)) {
        QList<TokenItem> items;
        for (const TokenString& tokenString : *strings)
            items << tokenString.items();
        return TokenString(items);
    }
    if (auto text = string(mimeData))
        return TokenString::string(*text);
    return std::nullopt;
}

} // namespace TokenStringPasteboard
