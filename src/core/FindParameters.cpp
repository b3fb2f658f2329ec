// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/FindParameters.h"

#include "core/String+find.h"

QString FindParameters::pattern() const
{
    if (wildcards)
        return String::wildcardsAsRegex(findText);
    if (!regex)
        return String::regexLiteral(findText);
    return findText;
}
