// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Version.h"

#include "core/Int+format.h"

#include <QStringList>

#include <algorithm>

namespace {

std::optional<qint64> number(const QStringList& parts, qsizetype index)
{
    if (index >= parts.size())
        return std::nullopt;
    return Int::fromOptional(QVariant(parts.at(index)));
}

} // namespace

Version::Version(const std::optional<QString>& text)
{
    if (!text)
        return;
    version = *text;
    // A text with anything beyond ASCII is not read at all, digits included.
    if (std::any_of(text->cbegin(), text->cend(), [](QChar c) { return c.unicode() > 0x7F; }))
        return;
    const QStringList parts = text->split(QLatin1Char('.'), Qt::KeepEmptyParts);
    major = number(parts, 0).value_or(0);
    minor = number(parts, 1).value_or(0);
    patch = number(parts, 2);
}

QString Version::description() const
{
    QString text = QString::number(major) + QLatin1Char('.') + QString::number(minor);
    if (patch)
        text += QLatin1Char('.') + QString::number(*patch);
    return text;
}

std::strong_ordering Version::operator<=>(const Version& other) const
{
    if (const auto order = major <=> other.major; order != 0)
        return order;
    if (const auto order = minor <=> other.minor; order != 0)
        return order;
    return patch.value_or(0) <=> other.patch.value_or(0);
}

bool Version::operator==(const Version& other) const
{
    return (*this <=> other) == 0;
}
