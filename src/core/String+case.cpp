// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/String+case.h"

#include "core/IcuString.h"

#include <unicode/locid.h>

namespace String {

QString uppercased(const QString& text)
{
    icu::UnicodeString value = IcuString::toIcu(text);
    value.toUpper(icu::Locale::getRoot());
    return IcuString::fromIcu(value);
}

QString lowercased(const QString& text)
{
    icu::UnicodeString value = IcuString::toIcu(text);
    value.toLower(icu::Locale::getRoot());
    return IcuString::fromIcu(value);
}

QString capitalized(const QString& text)
{
    icu::UnicodeString value = IcuString::toIcu(text);
    value.toTitle(nullptr, icu::Locale::getRoot());
    return IcuString::fromIcu(value);
}

} // namespace String
