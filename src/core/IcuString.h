// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <unicode/unistr.h>

// QString and ICU share UTF-16, so the conversions copy code units only.
namespace IcuString {

inline icu::UnicodeString toIcu(const QString& text)
{
    return icu::UnicodeString(reinterpret_cast<const UChar*>(text.utf16()), int32_t(text.size()));
}

inline QString fromIcu(const icu::UnicodeString& text)
{
    return QString(reinterpret_cast<const QChar*>(text.getBuffer()), text.length());
}

} // namespace IcuString
