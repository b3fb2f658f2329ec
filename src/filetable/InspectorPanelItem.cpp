// SPDX-License-Identifier: GPL-3.0-or-later
#include "filetable/InspectorPanelItem.h"

#include "filetable/FileDetailsFormatter.h"

#include <QRegularExpression>

InspectorPanelItem::InspectorPanelItem(const FileAttribute& fileAttribute)
    : id(fileAttribute.id)
    , label(readableLabel(fileAttribute.id))
    , attributeValue(FileDetailsFormatter::string(fileAttribute.attributeValue))
{
}

QString InspectorPanelItem::readableLabel(const QString& id)
{
    QString key = id;
    if (key.startsWith(QLatin1Char('{')))
        key = key.mid(key.indexOf(QLatin1Char('.')) + 1);
    // Words: runs of capitals (an acronym, before a capitalised word), a
    // capital with its small letters, small letters, digits with their letters.
    static const QRegularExpression words(QStringLiteral("[A-Z]+(?![a-z])|[A-Z][a-z]*|[a-z]+|[0-9]+[a-z]*"));
    QStringList parts;
    for (auto it = words.globalMatch(key); it.hasNext();)
        parts << it.next().captured();
    if (parts.isEmpty())
        return id;
    QString source;
    const QString first = parts.first().toLower();
    if (first == QLatin1String("media")) {
        parts.removeFirst();
    } else if (first == QLatin1String("av") || first == QLatin1String("flac") || first == QLatin1String("id")) {
        source = first == QLatin1String("id") ? QStringLiteral("ID3") : first.toUpper();
        parts.removeFirst();
        // "id3" splits into "id" and "3".
        if (first == QLatin1String("id") && !parts.isEmpty() && parts.first() == QLatin1String("3"))
            parts.removeFirst();
    }
    if (parts.isEmpty())
        return id;
    for (QString& part : parts) {
        const bool acronym = part.size() > 1 && part == part.toUpper() && part.front().isLetter();
        if (!acronym)
            part = part.toLower();
    }
    parts.first()[0] = parts.first().at(0).toUpper();
    QString label = parts.join(QLatin1Char(' '));
    if (!source.isEmpty())
        label += QStringLiteral(" (%1)").arg(source);
    return label;
}
