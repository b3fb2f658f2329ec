// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/String+csv.h"

namespace String {

QString escapedForCSV(const QString& field, const QString& separator)
{
    const bool needsQuotes = (!separator.isEmpty() && field.contains(separator))
        || field.contains(QLatin1Char('"')) || field.contains(QLatin1Char('\n'))
        || field.contains(QLatin1Char('\r'));
    if (!needsQuotes)
        return field;
    QString escaped = field;
    escaped.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

QString escapedForCSVImport(const QString& field)
{
    // A byte order mark first in a file would be read as the file's encoding.
    for (const QChar separator : { QChar(u','), QChar(u'\t'), QChar(0xFEFF) })
        if (field.contains(separator))
            return escapedForCSV(field, separator);
    return escapedForCSV(field);
}

void parseCSV(const QString& text, const std::function<void(const QStringList&)>& processRow)
{
    if (text.isEmpty())
        return;
    const auto complete = [&](QStringList row) {
        while (row.size() < 2)
            row.append(QString());
        processRow(row);
    };
    const auto isCandidate = [](QChar c) { return c == u',' || c == u';' || c == u'\t'; };

    // Walked by code unit, not by character: a combining mark after a
    // separator or a quote belongs to the next field, never to the separator.
    // Every character that steers the reader is a single code unit.
    QString field;
    QStringList row;
    QChar separator;
    bool inQuotes = false;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text.at(i);
        if (inQuotes) {
            if (c != u'"') {
                field += c;
            } else if (i + 1 < size && text.at(i + 1) == u'"') {
                field += c;
                ++i;
            } else {
                inQuotes = false;
            }
            continue;
        }
        if (c == u'\n' || c == u'\r') {
            // A carriage return and line feed end one line.
            if (c == u'\r' && i + 1 < size && text.at(i + 1) == u'\n')
                ++i;
            row.append(field);
            complete(row);
            row.clear();
            field.clear();
            continue;
        }
        if (c == u'"' && field.isEmpty()) {
            inQuotes = true;
            continue;
        }
        if (separator.isNull() && isCandidate(c))
            separator = c;
        if (!separator.isNull() && c == separator) {
            row.append(field);
            field.clear();
        } else {
            field += c;
        }
    }
    if (!field.isEmpty() || !row.isEmpty()) {
        row.append(field);
        complete(row);
    }
}

} // namespace String
