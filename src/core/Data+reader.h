// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QFlags>
#include <QString>
#include <QStringConverter>

#include <optional>

// Reading binary metadata from the front of a buffer, and hexadecimal text.
// A take removes what it reads; with too few bytes it reads nothing and
// leaves the buffer as it was (except the 64-bit read, see there).
namespace Data {

QByteArray takeData(QByteArray& data, qsizetype size);
std::optional<qint64> takeByte(QByteArray& data);
std::optional<qint64> takeUInt16BigEndian(QByteArray& data);
std::optional<qint64> takeUInt32BigEndian(QByteArray& data);
std::optional<qint64> takeUInt32LittleEndian(QByteArray& data);
// Reads two halves; when only the first is there it stays consumed.
std::optional<quint64> takeUInt64BigEndian(QByteArray& data);
std::optional<qint64> takeSynchronizationSafeUInt32BigEndian(QByteArray& data);
// Too few bytes give "" (nothing consumed); bytes that do not decode give none
// and stay consumed.
std::optional<QString> takeString(QByteArray& data, qsizetype length);
std::optional<QString> takeString(QByteArray& data, qsizetype length, QStringConverter::Encoding encoding);

// The first four bytes; a shorter buffer reads as 0.
qint64 uint32BigEndian(const QByteArray& data);
qint64 uint32LitleEndian(const QByteArray& data);
std::optional<QString> string(const QByteArray& data);
// The first `length` bytes (all when shorter; a negative length reads none).
std::optional<QString> string(const QByteArray& data, qsizetype length);

enum class HexEncodingOption { upperCase = 1 };
Q_DECLARE_FLAGS(HexEncodingOptions, HexEncodingOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(HexEncodingOptions)

QString hexEncodedString(const QByteArray& data);
QString hexEncodedString(const QByteArray& data, HexEncodingOptions options);
// Every character other than a hexadecimal digit is skipped; an odd last digit
// is a byte of its own.
QByteArray fromHexEncodedString(const QString& text);

} // namespace Data
