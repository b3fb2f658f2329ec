// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Logger.h"

namespace Logger {

QString calledBy(const QString& file, const QString& function)
{
    QString stem = file.mid(file.lastIndexOf(QLatin1Char('/')) + 1);
    const int dot = stem.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0)
        stem.truncate(dot);
    if (function.isEmpty())
        return stem;
    return stem + QLatin1Char('.') + function;
}

} // namespace Logger
