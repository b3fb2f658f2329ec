#include "core/String+csv.h"

#include "core/TextOffsets.h"

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
    for (const QChar separator : { QLatin1Char(','), QLatin1Char('\t') })
        if (field.contains(separator))
            return escapedForCSV(field, separator);
    return escapedForCSV(field);
}

void parseCSV(const QString& text, const std::function<void(const QStringList&)>& processRow)
{
    if (text.isEmpty())
        return;
    static const QString quote = QStringLiteral("\"");
    static const QStringList lineEnds { QStringLiteral("\n"), QStringLiteral("\r"), QStringLiteral("\r\n") };
    static const QStringList candidates { QStringLiteral(","), QStringLiteral(";"), QStringLiteral("\t") };

    const auto complete = [&](QStringList row) {
        while (row.size() < 2)
            row.append(QString());
        processRow(row);
    };

    // Characters, so a carriage return and line feed are one line end.
    const QStringList chars = TextOffsets(text).characters();
    QString field;
    QStringList row;
    QString separator;
    bool inQuotes = false;
    for (qsizetype i = 0; i < chars.size(); ++i) {
        const QString& c = chars[i];
        if (inQuotes) {
            if (c != quote) {
                field += c;
            } else if (i + 1 < chars.size() && chars[i + 1] == quote) {
                field += quote;
                ++i;
            } else {
                inQuotes = false;
            }
            continue;
        }
        if (lineEnds.contains(c)) {
            row.append(field);
            complete(row);
            row.clear();
            field.clear();
            continue;
        }
        if (c == quote && field.isEmpty()) {
            inQuotes = true;
            continue;
        }
        if (separator.isEmpty() && candidates.contains(c))
            separator = c;
        if (!separator.isEmpty() && c == separator) {
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
