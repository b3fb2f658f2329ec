// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/ReplacementTemplate.h"

#include "tokens/TransformError.h"

namespace ReplacementTemplate {

namespace {
TransformError invalidTemplate(const QString& informativeText)
{
    return TransformError::fatal(QStringLiteral("Invalid replace text"), informativeText);
}
} // namespace

QString escaped(const QString& text)
{
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('$'))
            result += QLatin1Char('\\');
        result += c;
    }
    return result;
}

void check(const QString& replacementTemplate, int groupCount)
{
    const qsizetype size = replacementTemplate.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = replacementTemplate.at(i);
        if (c == QLatin1Char('\\')) {
            ++i;
            continue;
        }
        if (c != QLatin1Char('$'))
            continue;
        const QChar next = i + 1 < size ? replacementTemplate.at(i + 1) : QChar();
        if (next == QLatin1Char('{'))
            continue; // a named group: the expression itself answers for it
        if (!next.isDigit()) {
            throw invalidTemplate(QStringLiteral(
                "A \"$\" must be followed by the number of a capture group; write \"\\$\" for a dollar sign."));
        }
        // The engine reads as many digits as still name a group: "$12" with
        // one group is group 1 followed by "2".
        if (next.digitValue() > groupCount) {
            throw invalidTemplate(groupCount == 0
                    ? QStringLiteral("\"$%1\" names a capture group, but the pattern has none.").arg(next.digitValue())
                    : QStringLiteral("\"$%1\" names no capture group: the pattern has %2.")
                          .arg(next.digitValue())
                          .arg(groupCount));
        }
    }
}

} // namespace ReplacementTemplate
