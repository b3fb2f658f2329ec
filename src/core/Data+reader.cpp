// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Data+reader.h"

#include <QStringDecoder>

namespace {

quint64 byteAt(const QByteArray& data, qsizetype i)
{
    return static_cast<unsigned char>(data.at(i));
}

quint64 bigEndian(const QByteArray& bytes)
{
    quint64 value = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i)
        value = (value << 8) | byteAt(bytes, i);
    return value;
}

std::optional<QString> decode(const QByteArray& bytes, QStringConverter::Encoding encoding)
{
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

int hexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

} // namespace

namespace Data {

QByteArray takeData(QByteArray& data, qsizetype size)
{
    if (size < 1 || size > data.size())
        return {};
    QByteArray taken = data.left(size);
    data.remove(0, size);
    return taken;
}

std::optional<qint64> takeByte(QByteArray& data)
{
    if (data.size() < 1)
        return std::nullopt;
    return qint64(bigEndian(takeData(data, 1)));
}

std::optional<qint64> takeUInt16BigEndian(QByteArray& data)
{
    if (data.size() < 2)
        return std::nullopt;
    return qint64(bigEndian(takeData(data, 2)));
}

std::optional<qint64> takeUInt32BigEndian(QByteArray& data)
{
    if (data.size() < 4)
        return std::nullopt;
    return qint64(bigEndian(takeData(data, 4)));
}

std::optional<qint64> takeUInt32LittleEndian(QByteArray& data)
{
    if (data.size() < 4)
        return std::nullopt;
    const QByteArray bytes = takeData(data, 4);
    return qint64(byteAt(bytes, 0) | byteAt(bytes, 1) << 8 | byteAt(bytes, 2) << 16 | byteAt(bytes, 3) << 24);
}

std::optional<quint64> takeUInt64BigEndian(QByteArray& data)
{
    if (data.size() < 4)
        return std::nullopt;
    const quint64 high = bigEndian(takeData(data, 4));
    if (data.size() < 4)
        return std::nullopt;
    return high << 32 | bigEndian(takeData(data, 4));
}

std::optional<qint64> takeSynchronizationSafeUInt32BigEndian(QByteArray& data)
{
    const auto x = takeUInt32BigEndian(data);
    if (!x)
        return std::nullopt;
    const qint64 v = *x;
    return (v & 0xFF) | ((v >> 1) & 0x7F80) | ((v >> 2) & 0x3FC000) | ((v >> 3) & 0x1FE00000);
}

std::optional<QString> takeString(QByteArray& data, qsizetype length)
{
    return takeString(data, length, QStringConverter::Utf8);
}

std::optional<QString> takeString(QByteArray& data, qsizetype length, QStringConverter::Encoding encoding)
{
    if (length < 1 || length > data.size())
        return QString();
    return decode(takeData(data, length), encoding);
}

qint64 uint32BigEndian(const QByteArray& data)
{
    return data.size() < 4 ? 0 : qint64(bigEndian(data.left(4)));
}

qint64 uint32LitleEndian(const QByteArray& data)
{
    if (data.size() < 4)
        return 0;
    return qint64(byteAt(data, 0) | byteAt(data, 1) << 8 | byteAt(data, 2) << 16 | byteAt(data, 3) << 24);
}

std::optional<QString> string(const QByteArray& data)
{
    return decode(data, QStringConverter::Utf8);
}

std::optional<QString> string(const QByteArray& data, qsizetype length)
{
    return decode(data.left(std::max<qsizetype>(length, 0)), QStringConverter::Utf8);
}

QString hexEncodedString(const QByteArray& data)
{
    return hexEncodedString(data, HexEncodingOption::upperCase);
}

QString hexEncodedString(const QByteArray& data, HexEncodingOptions options)
{
    const QByteArray hex = data.toHex();
    const QString text = QString::fromLatin1(hex);
    return options.testFlag(HexEncodingOption::upperCase) ? text.toUpper() : text;
}

QByteArray fromHexEncodedString(const QString& text)
{
    QByteArray bytes;
    int pending = -1;
    for (const QChar c : text) {
        const int value = hexValue(c);
        if (value < 0)
            continue;
        if (pending < 0) {
            pending = value;
        } else {
            bytes.append(char(pending << 4 | value));
            pending = -1;
        }
    }
    if (pending >= 0)
        bytes.append(char(pending));
    return bytes;
}

} // namespace Data
