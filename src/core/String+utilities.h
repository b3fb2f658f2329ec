// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>

// Small text operations shared by the rules, the sort and the file list.
// "Characters" are grapheme clusters (TextOffsets).
namespace String {

// U+A789 MODIFIER LETTER COLON, the stand-in for ":" in file names.
inline const QString modifier_letter_colon = QString(QChar(0xA789));

// The text without its non-spacing marks (after canonical decomposition), in NFC.
QString withoutDiacritics(const QString& text);
bool hasDiacritics(const QString& text);
QString numericCharacters(const QString& text);
// The digits read as one number; 0 without digits or above the 64-bit range.
quint64 numeric(const QString& text);
QString stringByDeduplicating(const QString& text, const QString& characters);
QString fileAndFolderSafeName(const QString& text);
// Text from outside (files' metadata, the network) made fit for a name: line
// breaks and tabs become one space between words and go at the ends; other
// control characters and the bidirectional embeddings, overrides and
// isolates are dropped.
QString withoutControlCharacters(const QString& text);
QStringList splitIncludingSeparator(const QString& text, const QString& separators);

// UTF-16 position of a character offset, clamped to the text.
qsizetype clampedIndex(const QString& text, qsizetype characterOffset);
qsizetype clampedIndex(const QString& text, qsizetype utf16Position, qsizetype characterOffset);

QString longest(const QStringList& texts);

// A stored value as text: texts, Booleans, integers and doubles; none otherwise.
std::optional<QString> fromAny(const QVariant& value);
QString fromAny(const QVariant& value, const QString& defaultValue);
std::optional<QString> nonEmpty(const QString& text);

QString stringByDeletingPrefix(const QString& text, const QString& prefix);
QString stringByDeletingSuffix(const QString& text, const QString& suffix);
bool hasPrefix(const QString& text, const QStringList& prefixes);

} // namespace String
